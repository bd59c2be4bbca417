#include "core/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace lm {
namespace {

constexpr const char* kScratchMarker = ".lm-save-";
constexpr std::size_t kBufferSize = 1 << 20;
constexpr long long kCopyBlock = 4LL << 20;
constexpr long long kBlockAlignment = 4096;

bool g_faultSet = false;
AtomicFileWriter::InjectedFault g_fault;
int g_writersOpened = 0;
std::vector<std::string> g_openedTargets;

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A symbolic link is replaced through what it points at, not turned into a file.
std::string resolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

mode_t currentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

// Writes everything, or fails with ENOSPC once `room` bytes (-1: no limit)
// have gone through, as a disk that fills up would.
bool writeAll(int fd, const char* data, std::size_t size, long long room, long long& written,
              int& errorNumber) {
    while (size > 0) {
        std::size_t chunk = size;
        if (room >= 0) {
            if (room <= 0) {
                errorNumber = ENOSPC;
                return false;
            }
            if (static_cast<long long>(chunk) > room) chunk = static_cast<std::size_t>(room);
        }
        ssize_t n = ::write(fd, data, chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            errorNumber = errno;
            return false;
        }
        written += n;
        if (room >= 0) room -= n;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The errors with which copy_file_range refuses a pair of files it cannot
// copy between (other filesystems on older kernels, special files, some
// network filesystems); the bytes then go through memory.
bool copyRefused(int errorNumber) {
    return errorNumber == EXDEV || errorNumber == EINVAL || errorNumber == ENOSYS ||
           errorNumber == EOPNOTSUPP || errorNumber == EPERM || errorNumber == ETXTBSY;
}

// Filesystems without flock say so with these.
bool locksUnsupported(int errorNumber) {
    return errorNumber == ENOLCK || errorNumber == EOPNOTSUPP || errorNumber == ENOSYS ||
           errorNumber == EINVAL;
}

bool sameInode(int fd, const std::string& path) {
    struct stat opened;
    struct stat named;
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Locks a fresh scratch file for as long as its writer lives. False when a
// clean-up got to it first (it holds the lock, or has removed the name): the
// writer then makes another one.
bool lockScratch(int fd, const std::string& path) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return locksUnsupported(errno);
    return sameInode(fd, path);
}

bool processRuns(long pid) {
    return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

std::string systemReason(int errorNumber) {
    return std::strerror(errorNumber);
}

AtomicFileWriter::~AtomicFileWriter() {
    abandon();
}

void AtomicFileWriter::injectFaultForTesting(const InjectedFault& fault) {
    g_fault = fault;
    g_faultSet = true;
    g_writersOpened = 0;
    g_openedTargets.clear();
}

void AtomicFileWriter::clearFaultForTesting() {
    g_faultSet = false;
    g_openedTargets.clear();
}

std::vector<std::string> AtomicFileWriter::openedTargetsForTesting() {
    return g_openedTargets;
}

int AtomicFileWriter::injectedError(Stage stage) const {
    if (!g_faultSet || g_fault.stage != stage || g_fault.writer != m_index) return 0;
    return g_fault.errorNumber != 0 ? g_fault.errorNumber : ENOSPC;
}

// How many more bytes may reach the disk before a test's full disk: -1 = any.
long long AtomicFileWriter::injectedRoom() const {
    if (injectedError(Stage::Write) == 0) return -1;
    return std::max(0LL, g_fault.afterBytes - m_onDisk);
}

Status AtomicFileWriter::open(const std::string& targetPath, Replace replace) {
    abandon();
    m_replace = replace;
    m_target = resolveTarget(targetPath);
    m_written = 0;
    m_onDisk = 0;
    m_index = g_writersOpened++;
    if (g_faultSet) g_openedTargets.push_back(m_target);
    struct stat st;
    bool exists = stat(m_target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) return Error{targetPath, systemReason(EISDIR)};
    // A file marked read-only is protected on purpose, even from a user who
    // could write it anyway (root): refuse it as a plain write would.
    if (exists && (st.st_mode & 0222) == 0) return Error{targetPath, systemReason(EACCES)};
    if (exists && access(m_target.c_str(), W_OK) != 0)
        return Error{targetPath, systemReason(errno)};

    std::string pattern = folderOf(m_target) + "/." + nameOf(m_target) + kScratchMarker +
                          std::to_string(getpid()) + "-XXXXXX";
    if (int injected = injectedError(Stage::Create))
        return Error{targetPath, systemReason(injected)};
    for (int attempt = 0; m_fd < 0; ++attempt) {
        std::string buffer = pattern;
        int fd = mkstemp(&buffer[0]);
        if (fd < 0) return Error{targetPath, systemReason(errno)};
        if (lockScratch(fd, buffer)) {
            m_fd = fd;
            m_scratch = buffer;
        } else {
            ::close(fd);  // the clean-up that took it removes it
            if (attempt == 16) return Error{targetPath, "no scratch file could be kept beside it"};
        }
    }
    if (exists) {
        // The owner only where the process may give files away (root); the
        // group where the user belongs to it. A shared file stays shared.
        if (fchown(m_fd, st.st_uid, st.st_gid) != 0 && fchown(m_fd, uid_t(-1), st.st_gid) != 0) {
            // Not a member of the file's group: the new file keeps the user's.
        }
    }
    // After the owner: giving a file away clears its set-id bits.
    mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~currentUmask());
    fchmod(m_fd, mode);
    // The buffer grows with what is written, up to kBufferSize: a settings
    // line or a counter need not cost a megabyte.
    return {};
}

Status AtomicFileWriter::failWith(int errorNumber) {
    Error error{m_target, systemReason(errorNumber)};
    abandon();
    return error;
}

Status AtomicFileWriter::writeToDisk(const char* data, std::size_t size) {
    int errorNumber = 0;
    bool ok = writeAll(m_fd, data, size, injectedRoom(), m_onDisk, errorNumber);
    if (!ok) {
        if (injectedError(Stage::Write) != 0) errorNumber = injectedError(Stage::Write);
        return failWith(errorNumber);
    }
    return {};
}

Status AtomicFileWriter::flushBuffer() {
    if (m_buffer.empty()) return {};
    if (Status written = writeToDisk(m_buffer.data(), m_buffer.size()); !written) return written;
    m_buffer.clear();
    return {};
}

Status AtomicFileWriter::write(const char* data, std::size_t size) {
    if (m_fd < 0) return Error{m_target, "the file is not open for writing"};
    m_written += static_cast<long long>(size);
    if (m_buffer.size() + size <= kBufferSize) {
        m_buffer.append(data, size);
        return {};
    }
    Status flushed = flushBuffer();
    if (!flushed) return flushed;
    if (size >= kBufferSize) return writeToDisk(data, size);
    m_buffer.append(data, size);
    return {};
}

Status AtomicFileWriter::sourceEnded(const std::string& sourcePath) {
    abandon();
    return Error{sourcePath, "the file became shorter while it was saved"};
}

Status AtomicFileWriter::copyThroughMemory(int fd, long long offset, long long length,
                                           const std::string& sourcePath) {
    std::vector<char> block(static_cast<std::size_t>(std::min(length, kCopyBlock)));
    while (length > 0) {
        std::size_t want = static_cast<std::size_t>(std::min<long long>(length, block.size()));
        ssize_t n = ::pread(fd, block.data(), want, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            Error error{sourcePath, systemReason(errno)};
            abandon();
            return error;
        }
        if (n == 0) return sourceEnded(sourcePath);
        if (Status written = writeToDisk(block.data(), static_cast<std::size_t>(n)); !written)
            return written;
        offset += n;
        length -= n;
    }
    return {};
}

Status AtomicFileWriter::copyFrom(int fd, long long offset, long long length,
                                  const std::string& sourcePath) {
    if (m_fd < 0) return Error{m_target, "the file is not open for writing"};
    Status flushed = flushBuffer();
    if (!flushed) return flushed;
    m_written += length;
    // A test's full disk is counted byte by byte, as the plain copy writes.
    if (injectedRoom() >= 0) return copyThroughMemory(fd, offset, length, sourcePath);
    // The kernel shares or copies whole blocks only where source and target
    // offsets fall alike within a block; otherwise it copies each block in
    // two pieces (measured about twice as slow as a copy through memory on
    // ext4), so those ranges go through memory.
    if (offset % kBlockAlignment != m_onDisk % kBlockAlignment)
        return copyThroughMemory(fd, offset, length, sourcePath);
    loff_t from = offset;
    while (length > 0) {
        ssize_t n = ::copy_file_range(fd, &from, m_fd, nullptr,
                                      static_cast<std::size_t>(std::min(length, 1LL << 30)), 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (copyRefused(errno)) return copyThroughMemory(fd, from, length, sourcePath);
            return failWith(errno);
        }
        if (n == 0) return sourceEnded(sourcePath);
        m_onDisk += n;
        length -= n;
    }
    return {};
}

// The old way, for a file with several names: the finished content is copied
// over the target's own bytes, then the target is cut to its new length.
Status AtomicFileWriter::copyIntoTarget() {
    if (int injected = injectedError(Stage::Rename)) return failWith(injected);
    int target = ::open(m_target.c_str(), O_WRONLY | O_CLOEXEC);
    if (target < 0) return failWith(errno);
    loff_t from = 0;
    loff_t to = 0;
    long long left = m_onDisk;
    int problem = 0;
    bool throughMemory = false;
    std::vector<char> block;
    while (left > 0 && problem == 0) {
        ssize_t n;
        if (!throughMemory) {
            n = ::copy_file_range(m_fd, &from, target, &to,
                                  static_cast<std::size_t>(std::min(left, 1LL << 30)), 0);
            if (n < 0 && copyRefused(errno)) {
                throughMemory = true;
                continue;
            }
        } else {
            if (block.empty()) block.resize(static_cast<std::size_t>(std::min(left, kCopyBlock)));
            std::size_t want = static_cast<std::size_t>(std::min<long long>(left, block.size()));
            n = ::pread(m_fd, block.data(), want, from);
            if (n > 0) {
                long long done = 0;
                int writeProblem = 0;
                if (::lseek(target, to, SEEK_SET) < 0 ||
                    !writeAll(target, block.data(), static_cast<std::size_t>(n), -1, done,
                              writeProblem)) {
                    problem = writeProblem != 0 ? writeProblem : errno;
                    break;
                }
                from += n;
                to += n;
            }
        }
        if (n < 0) {
            if (errno != EINTR) problem = errno;
            continue;
        }
        if (n == 0) problem = EIO;
        left -= n;
    }
    if (problem == 0 && ::ftruncate(target, static_cast<off_t>(m_onDisk)) != 0) problem = errno;
    if (problem == 0 && fsync(target) != 0) problem = errno;
    if (::close(target) != 0 && problem == 0) problem = errno;
    if (problem != 0) return failWith(problem);
    abandon();
    return {};
}

Status AtomicFileWriter::commit() {
    if (m_fd < 0) return Error{m_target, "the file is not open for writing"};
    Status flushed = flushBuffer();
    if (!flushed) return flushed;
    if (int injected = injectedError(Stage::Sync)) return failWith(injected);
    if (m_replace == Replace::InPlace) return copyIntoTarget();
    if (fsync(m_fd) != 0) return failWith(errno);
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        int errorNumber = errno;
        m_fd = -1;
        unlink(m_scratch.c_str());
        m_scratch.clear();
        return Error{m_target, systemReason(errorNumber)};
    }
    int injected = injectedError(Stage::Rename);
    if (injected != 0 || std::rename(m_scratch.c_str(), m_target.c_str()) != 0) {
        int errorNumber = injected != 0 ? injected : errno;
        unlink(m_scratch.c_str());
        m_scratch.clear();
        return Error{m_target, systemReason(errorNumber)};
    }
    m_scratch.clear();
    // Make the rename itself durable.
    int dirFd = ::open(folderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        fsync(dirFd);
        ::close(dirFd);
    }
    return {};
}

void AtomicFileWriter::abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_scratch.empty()) {
        unlink(m_scratch.c_str());
        m_scratch.clear();
    }
    m_buffer.clear();
}

Status writeFileAtomically(const std::string& path, std::string_view content) {
    AtomicFileWriter writer;
    Status status = writer.open(path);
    if (!status) return status;
    status = writer.write(content);
    if (!status) return status;
    return writer.commit();
}

bool isScratchFileName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name.find(kScratchMarker) != std::string::npos;
}

void removeStaleScratchFiles(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (!isScratchFileName(name)) continue;
        const std::string path = folder + "/" + name;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        // A writer holds the lock on its scratch file until it is done with
        // it, so a lock granted here means the writer is gone. Without locks
        // on this filesystem, the process named in the file name must be gone.
        bool leftOver;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            leftOver = sameInode(fd, path);
        } else if (locksUnsupported(errno)) {
            std::size_t marker = name.rfind(kScratchMarker);
            leftOver = !processRuns(
                std::strtol(name.c_str() + marker + std::strlen(kScratchMarker), nullptr, 10));
        } else {
            leftOver = false;  // its save is still running
        }
        if (leftOver) unlink(path.c_str());
        ::close(fd);
    }
    closedir(dir);
}

}  // namespace lm

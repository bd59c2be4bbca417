#include "core/atomicfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
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

Status AtomicFileWriter::open(const std::string& targetPath) {
    abandon();
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
    std::string buffer = pattern;
    if (int injected = injectedError(Stage::Create))
        return Error{targetPath, systemReason(injected)};
    int fd = mkstemp(&buffer[0]);
    if (fd < 0) return Error{targetPath, systemReason(errno)};
    m_fd = fd;
    m_scratch = buffer;
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

Status AtomicFileWriter::commit() {
    if (m_fd < 0) return Error{m_target, "the file is not open for writing"};
    Status flushed = flushBuffer();
    if (!flushed) return flushed;
    if (int injected = injectedError(Stage::Sync)) return failWith(injected);
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
        std::size_t marker = name.rfind(kScratchMarker);
        long pid = std::strtol(name.c_str() + marker + std::strlen(kScratchMarker), nullptr, 10);
        bool ownerRuns = pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
        if (!ownerRuns || pid == getpid()) unlink((folder + "/" + name).c_str());
    }
    closedir(dir);
}

}  // namespace lm

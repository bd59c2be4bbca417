#include "core/readablefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace lm {
namespace {

constexpr std::size_t kFirstBlock = 16 * 1024;
constexpr std::size_t kLargestBlock = 1024 * 1024;

FileIdentity identityFrom(const struct stat& st) {
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(st.st_dev);
    identity.inode = static_cast<std::uint64_t>(st.st_ino);
    identity.size = static_cast<std::int64_t>(st.st_size);
    identity.modifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return identity;
}

}  // namespace

Result<FileIdentity> fileIdentityOf(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return Error{path, systemReason(errno)};
    return identityFrom(st);
}

Result<FileIdentity> fileIdentityOfDescriptor(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return Error{"", systemReason(errno)};
    return identityFrom(st);
}

unsigned long hardLinkCount(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return 0;
    return static_cast<unsigned long>(st.st_nlink);
}

Result<OpenedFile> openRegularFile(const std::string& path, bool createMissing) {
    // Without O_NONBLOCK, opening a named pipe waits for a writer, for good.
    int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    if (createMissing) flags |= O_CREAT;
    int fd = ::open(path.c_str(), flags, 0666);
    if (fd < 0) return Error{path, systemReason(errno)};
    struct stat st;
    int problem = ::fstat(fd, &st) != 0 ? errno : 0;
    if (!problem && S_ISDIR(st.st_mode)) problem = EISDIR;
    if (!problem && !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Error{path, "Not a regular file (a named pipe, a device or a socket)"};
    }
    // Regular files ignore the flag; clear it all the same, for plain reads.
    if (!problem && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) problem = errno;
    if (problem) {
        ::close(fd);
        return Error{path, systemReason(problem)};
    }
    return OpenedFile{fd, identityFrom(st)};
}

ReadableFile::~ReadableFile() {
    if (m_fd >= 0) ::close(m_fd);
}

Status ReadableFile::open(const std::string& path, Missing missing) {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    m_path = path;
    Result<OpenedFile> opened = openRegularFile(path, missing == Missing::CreateEmpty);
    if (!opened) return opened.error();
    m_fd = opened->fd;
    m_identity = opened->identity;
    return {};
}

Result<std::size_t> ReadableFile::readAt(std::int64_t offset, char* buffer,
                                         std::size_t size) const {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(m_fd, buffer + done, size - done, static_cast<off_t>(offset) + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Error{m_path, systemReason(errno)};
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

BlockReader::BlockReader(const ReadableFile& file, std::int64_t offset)
    : m_file(file), m_nextOffset(offset), m_blockOffset(offset), m_blockSize(kFirstBlock) {}

bool BlockReader::next() {
    m_blockOffset = m_nextOffset;
    m_size = 0;
    std::int64_t left = m_file.length() - m_nextOffset;
    if (left <= 0 || !m_status.ok()) return false;
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(left, m_blockSize));
    if (m_buffer.size() < want) m_buffer.resize(want);
    Result<std::size_t> read = m_file.readAt(m_nextOffset, m_buffer.data(), want);
    if (!read) {
        m_status = read.status();
        return false;
    }
    if (*read == 0) return false;  // the file shrank under us; treat as its end
    m_size = *read;
    m_nextOffset += static_cast<std::int64_t>(m_size);
    m_blockSize = std::min(m_blockSize * 4, kLargestBlock);
    return true;
}

}  // namespace lm

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"

namespace lm {

// Enough of a file's metadata to notice that it is no longer the file we
// read: another inode (it was replaced), another size or another time of
// last change.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;

    bool operator==(const FileIdentity& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedNs == other.modifiedNs;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The identity of the file at `path`, or an Error when it cannot be stat'ed.
Result<FileIdentity> fileIdentityOf(const std::string& path);
// The identity of the file open at `fd`.
Result<FileIdentity> fileIdentityOfDescriptor(int fd);
// How many names (hard links) the file at `path` has; 0 when it cannot be stat'ed.
unsigned long hardLinkCount(const std::string& path);

// A descriptor open for reading, and what it is.
struct OpenedFile {
    int fd = -1;
    FileIdentity identity;
};

// Opens `path` read-only; with `createMissing` a file that does not exist is
// created empty first. Only a regular file is accepted: a folder, a named
// pipe, a device or a socket is refused with the path and the reason, as a
// pipe would block the open until someone writes to it and a device may never
// end. The caller closes the descriptor.
Result<OpenedFile> openRegularFile(const std::string& path, bool createMissing = false);

// A file opened for reading, closed when the object goes. Reads go by
// explicit offset, so several readers can share one open file.
class ReadableFile {
  public:
    ReadableFile() = default;
    ~ReadableFile();
    ReadableFile(const ReadableFile&) = delete;
    ReadableFile& operator=(const ReadableFile&) = delete;

    enum class Missing { Fail, CreateEmpty };
    // Opens `path`; anything but a regular file is refused. With CreateEmpty a file that does
    // not exist is created empty first, as the page reader does.
    Status open(const std::string& path, Missing missing = Missing::Fail);
    bool isOpen() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    std::int64_t length() const { return m_identity.size; }
    const FileIdentity& identity() const { return m_identity; }
    int descriptor() const { return m_fd; }

    // Reads up to `size` bytes at 0-based `offset`; fewer only at the end of
    // the file. Returns the count read.
    Result<std::size_t> readAt(std::int64_t offset, char* buffer, std::size_t size) const;

  private:
    std::string m_path;
    int m_fd = -1;
    FileIdentity m_identity;
};

// Walks an open file forward from an offset in blocks that start small (one
// page of labels needs little) and grow to 1 MiB for long scans.
class BlockReader {
  public:
    BlockReader(const ReadableFile& file, std::int64_t offset);

    // Reads the next block. False at the end of the file or on an error;
    // status() tells which.
    bool next();
    const char* data() const { return m_buffer.data(); }
    std::size_t size() const { return m_size; }
    // 0-based file offset of data()[0].
    std::int64_t blockOffset() const { return m_blockOffset; }
    const Status& status() const { return m_status; }

  private:
    const ReadableFile& m_file;
    std::int64_t m_nextOffset;
    std::int64_t m_blockOffset;
    std::size_t m_size = 0;
    std::size_t m_blockSize;
    std::vector<char> m_buffer;
    Status m_status;
};

}  // namespace lm

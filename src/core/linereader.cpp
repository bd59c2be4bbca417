#include "core/linereader.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/readablefile.h"

namespace lm {
namespace {

// Large enough that system calls cost nothing next to the work on the bytes.
constexpr std::size_t kBlockSize = 1 << 20;
constexpr std::size_t kSmallestBlock = 4096;

// Export lines are a few dozen characters. A line this long is no export's:
// a file of gigabytes with no line feed (a binary or sparse one past its first
// kilobytes) would otherwise be held whole in memory, and slowly.
constexpr std::size_t kLongestLine = 64 * 1024 * 1024;

}  // namespace

LineReader::LineReader(LineEnd lineEnd) : m_lineEnd(lineEnd) {}

LineReader::~LineReader() {
    close();
}

Status LineReader::open(const std::string& path) {
    close();
    m_path = path;
    m_pos = m_end = 0;
    m_eof = m_failed = m_cancelled = false;
    m_error = Error{};
    m_bytesRead = m_size = 0;

    Result<OpenedFile> opened = openRegularFile(path);
    if (!opened) return opened.error();
    const int fd = opened->fd;
    m_fd = fd;
    m_size = static_cast<long long>(opened->identity.size);
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    // A small export needs no block of a megabyte; one byte more than its
    // size lets the first read see the end.
    std::size_t wanted = kBlockSize;
    if (m_size < static_cast<long long>(kBlockSize))
        wanted = std::max<std::size_t>(static_cast<std::size_t>(m_size) + 1, kSmallestBlock);
    if (!m_buffer || m_capacity < wanted) {
        m_buffer.reset(new char[wanted]);
        m_capacity = wanted;
    }
    return {};
}

void LineReader::close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

bool LineReader::fill() {
    if (m_fd < 0 || m_eof || m_failed) return false;
    for (;;) {
        ssize_t n = ::read(m_fd, m_buffer.get(), m_capacity);
        if (n < 0) {
            if (errno == EINTR) continue;
            m_failed = true;
            m_error = Error{m_path, systemReason(errno)};
            return false;
        }
        if (n == 0) {
            m_eof = true;
            return false;
        }
        m_pos = 0;
        m_end = static_cast<std::size_t>(n);
        m_bytesRead += n;
        if (m_progress && !m_progress(m_bytesRead, std::max(m_size, m_bytesRead))) {
            m_failed = m_cancelled = true;
            m_error = Error{m_path, "stopped by the operator"};
            m_pos = m_end = 0;
            return false;
        }
        return true;
    }
}

bool LineReader::atEnd() {
    return m_pos == m_end && !fill();
}

std::string_view LineReader::finishLine(std::string_view line) const {
    if (m_lineEnd == LineEnd::LineFeedOrCrLf && !line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::string_view LineReader::readLine() {
    m_carry.clear();
    for (;;) {
        if (m_pos == m_end && !fill()) return m_carry;  // the input ended inside the line
        const char* start = m_buffer.get() + m_pos;
        std::size_t available = m_end - m_pos;
        const void* lineFeed = std::memchr(start, '\n', available);
        if (!lineFeed) {
            m_carry.append(start, available);
            m_pos = m_end;
            if (m_carry.size() > kLongestLine) return failLongLine();
            continue;
        }
        std::size_t length = static_cast<const char*>(lineFeed) - start;
        m_pos += length + 1;
        if (m_carry.empty()) return finishLine(std::string_view(start, length));
        m_carry.append(start, length);
        return finishLine(m_carry);
    }
}

std::string_view LineReader::failLongLine() {
    const long long begins = m_bytesRead - static_cast<long long>(m_carry.size()) + 1;
    m_failed = true;
    m_error = Error{m_path, "the line that begins at byte " + std::to_string(begins) +
                                " is longer than 64 MiB: this is not a text export"};
    m_carry.clear();
    m_carry.shrink_to_fit();
    return {};
}

void LineReader::skipLine() {
    for (;;) {
        if (m_pos == m_end && !fill()) return;
        const char* start = m_buffer.get() + m_pos;
        const void* lineFeed = std::memchr(start, '\n', m_end - m_pos);
        if (lineFeed) {
            m_pos += static_cast<const char*>(lineFeed) - start + 1;
            return;
        }
        m_pos = m_end;
    }
}

}  // namespace lm

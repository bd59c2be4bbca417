#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/result.h"

namespace lm {

// Tells the caller how far a long file operation has come. Returning false
// asks the operation to stop; it then leaves its output as it was.
using ProgressCallback = std::function<bool(long long bytesDone, long long bytesTotal)>;

// Reads an export file line by line as bytes, in large blocks, so that files
// of any size go through quickly and never sit in memory whole. A line is the
// run of bytes before the next line feed; the line feed is not part of it.
class LineReader {
  public:
    enum class LineEnd {
        LineFeed,        // a carriage return before the line feed stays in the line
        LineFeedOrCrLf,  // a carriage return right before the line feed is dropped too
    };

    explicit LineReader(LineEnd lineEnd = LineEnd::LineFeed);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens `path` for reading, closing any file opened before. A folder is
    // refused here rather than failing at the first read.
    Status open(const std::string& path);
    void close();

    // Called after every block read with the bytes read so far and the file's size.
    void setProgress(ProgressCallback progress) { m_progress = std::move(progress); }

    // True when no byte is left: the end of the file, a read failure or a stop
    // asked for by the progress callback (failed() tells the last two apart).
    bool atEnd();
    // The bytes up to the next line feed, which is consumed; at the end of the
    // input, whatever is left (possibly nothing). The view stays valid until
    // the next call of any member. A line longer than 64 MiB fails the reader.
    std::string_view readLine();
    // Consumes the bytes up to and including the next line feed.
    void skipLine();

    bool failed() const { return m_failed; }
    bool cancelled() const { return m_cancelled; }
    // Why reading failed: the file's path and the system's message.
    const Error& error() const { return m_error; }

    long long bytesRead() const { return m_bytesRead; }
    // The size the file had when it was opened.
    long long size() const { return m_size; }

  private:
    bool fill();
    std::string_view failLongLine();
    std::string_view finishLine(std::string_view line) const;

    LineEnd m_lineEnd;
    int m_fd = -1;
    std::string m_path;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_capacity = 0;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
    std::string m_carry;  // a line that runs over the end of a block
    bool m_eof = false;
    bool m_failed = false;
    bool m_cancelled = false;
    Error m_error;
    long long m_bytesRead = 0;
    long long m_size = 0;
    ProgressCallback m_progress;
};

}  // namespace lm

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/readablefile.h"
#include "core/result.h"

namespace lm {

// A label file is a stream of label texts, each followed by two tildes. One
// byte is one Windows-1252 character; there is no header and no page marker.
inline constexpr std::string_view kTextTerminator = "~~";
inline constexpr char kTilde = '~';

// Positions are signed 32-bit, 1-based, so a label file can be this long.
constexpr std::int64_t kLargestLabelFileLength = 2147483647;

// The text given to each label set that Insert Blank adds.
inline constexpr const char* kBlankLabelText = "<Blank>";

// Longer label texts are refused when read; see LabelTextReader::read.
constexpr std::size_t kLongestLabelText = 64 * 1024 * 1024;

// Refuses a file too long for 32-bit positions, with a message for the operator.
Status checkLabelFileLength(const std::string& path, std::int64_t length);

// Reads label texts forward from a 1-based position, the way every page is
// read: a tilde followed by a tilde ends the text; a tilde followed by any
// other character belongs to the text with that character; a text that the
// end of the file cuts short is dropped.
class LabelTextReader {
  public:
    LabelTextReader(const ReadableFile& file, std::int64_t startPosition);

    // Reads the next text into `text`. True when a complete text was read,
    // false when the file ended first (then `text` holds nothing useful). A
    // complete text longer than kLongestLabelText is an Error: no label is
    // that long, and the page would not fit in memory or on screen.
    Result<bool> read(std::string& text);
    // Passes over the next text without keeping it; same result as read().
    Result<bool> skip();
    // 1-based position of the last byte consumed; startPosition - 1 before
    // anything was read, the file length once the end was reached.
    std::int64_t lastPosition() const;

  private:
    Result<bool> readText(std::string* text);
    bool fill();

    const ReadableFile& m_file;
    BlockReader m_blocks;
    std::size_t m_index = 0;  // next byte within the current block
    bool m_started = false;
};

// Why a text cannot be stored so that it reads back as it was.
enum class TextProblem {
    None,
    TwoTildes,      // "~~" inside would end the label there
    EndsWithTilde,  // its last tilde would join the terminator and move to the next label
};

TextProblem textProblem(std::string_view text);

// The operator's words for a problem, e.g. "holds two tildes in a row (~~)".
std::string describeTextProblem(TextProblem problem);

}  // namespace lm

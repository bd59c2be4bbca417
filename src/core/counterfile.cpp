#include "core/counterfile.h"

#include <cerrno>
#include <climits>

#include "core/atomicfile.h"
#include "core/readablefile.h"

namespace lm {
namespace {

// Enough for any number the file can sensibly hold, with room for blanks.
constexpr std::size_t kReadLimit = 256;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The whole number `line` holds, or false.
bool parseWholeNumber(const std::string& line, long long& value) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i])) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    std::size_t firstDigit = i;
    unsigned long long magnitude = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + static_cast<unsigned>(line[i] - '0');
        if (magnitude > static_cast<unsigned long long>(LLONG_MAX)) return false;
    }
    if (i == firstDigit) return false;
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i != line.size()) return false;
    value = negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
    return true;
}

}  // namespace

Result<long long> readCounterFile(const std::string& path) {
    ReadableFile file;
    Status opened = file.open(path, ReadableFile::Missing::Fail);
    if (!opened) return opened.error();
    char bytes[kReadLimit];
    Result<std::size_t> read = file.readAt(0, bytes, sizeof bytes);
    if (!read) return read.error();
    std::string text(bytes, *read);
    std::size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd == std::string::npos && *read == sizeof bytes)
        return Error{path, "the file does not hold a counter value"};
    long long value = 0;
    if (!parseWholeNumber(text.substr(0, lineEnd), value))
        return Error{path, "the file does not hold a whole number"};
    return value;
}

Status writeCounterFile(const std::string& path, long long value) {
    return writeFileAtomically(path, std::to_string(value) + "\r\n");
}

}  // namespace lm

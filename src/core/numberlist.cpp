#include "core/numberlist.h"

#include "core/numbers.h"

namespace lm {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isSeparator(char c) {
    return c == ',' || c == '-';
}

// The value of the digits of `text` from `begin` to `end`, saturated just
// above the largest accepted number so that long digit runs cannot overflow.
long long digitsValue(const std::string& text, std::size_t begin, std::size_t end) {
    long long value = 0;
    for (std::size_t i = begin; i < end; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLargestEnteredNumber) return kLargestEnteredNumber + 1;
    }
    return value;
}

// The numeric value of a list fragment as the number reader takes it:
// leading blanks skipped, then the digits up to the first other character.
long long leadingValue(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = i;
    while (end < text.size() && isDigit(text[end])) ++end;
    return digitsValue(text, i, end);
}

std::size_t nextSeparator(const std::string& text, std::size_t from) {
    while (from < text.size() && !isSeparator(text[from])) ++from;
    return from;
}

}  // namespace

int ValidateNumbers(const std::string& PassedNumbers) {
    const std::string& list = PassedNumbers;
    const std::size_t n = list.size();
    if (n == 0) return 1;
    for (char c : list)
        if (!isDigit(c) && !isSeparator(c)) return 0;

    std::size_t i = 0;
    while (true) {
        // After a range followed by a separator at the very end the scan
        // stands past the list; the empty rest reads as the end of the list.
        if (i >= n) return 1;
        if (isSeparator(list[i])) return 0;
        std::size_t firstEnd = nextSeparator(list, i);
        long long first = digitsValue(list, i, firstEnd);
        if (first > kLargestEnteredNumber) return 0;
        if (firstEnd == n) return 1;
        if (firstEnd == n - 1) return 0;  // trailing comma or hyphen after a plain number
        char separator = list[firstEnd];
        i = firstEnd + 1;
        if (separator == '-') {
            if (isSeparator(list[i])) return 0;
            std::size_t secondEnd = nextSeparator(list, i);
            long long second = digitsValue(list, i, secondEnd);
            if (second > kLargestEnteredNumber) return 0;
            if (first >= second) return 0;
            // The character after the second number is stepped over unseen.
            i = secondEnd + 1;
            if (i > n) return 1;
        }
    }
}

std::string GetNumber(std::string& NumNum) {
    if (NumNum.empty()) return {};
    std::string item;
    std::string rest;
    std::size_t comma = NumNum.find(',');
    if (comma == std::string::npos) {
        item = NumNum;
    } else {
        item = NumNum.substr(0, comma);
        rest = NumNum.substr(comma + 1);
    }
    std::size_t hyphen = item.find('-');
    if (hyphen == std::string::npos) {
        NumNum = rest;
        return item;
    }
    long long from = leadingValue(item.substr(0, hyphen));
    long long to = leadingValue(item.substr(hyphen + 1));
    std::string front;
    if (from + 1 < to) {
        front = formatSignedNumber(from + 1) + "-" + formatSignedNumber(to).substr(1);
    } else if (from + 1 == to) {
        front = formatSignedNumber(to);
    }
    // A range that is already exhausted (only possible in a list that did not
    // pass ValidateNumbers) puts nothing back, so every list comes to an end.
    if (front.empty()) {
        NumNum = rest;
    } else {
        NumNum = rest.empty() ? front : front + "," + rest;
    }
    return formatSignedNumber(from);
}

std::string withoutTrailingSpaces(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') --end;
    return text.substr(0, end);
}

std::string withoutLeadingSpaces(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ') ++begin;
    return text.substr(begin);
}

std::optional<int> parseCopiesEntry(const std::string& entry) {
    if (entry.empty()) return std::nullopt;
    for (char c : entry)
        if (!isDigit(c)) return std::nullopt;
    long long value = digitsValue(entry, 0, entry.size());
    if (value < 1 || value > kLargestEnteredNumber) return std::nullopt;
    return static_cast<int>(value);
}

InsertCountEntry checkInsertCountEntry(const std::string& entry, int insertLimit, int* count) {
    if (entry.empty()) return InsertCountEntry::Empty;
    for (char c : entry)
        if (!isDigit(c)) return InsertCountEntry::Refused;
    long long value = digitsValue(entry, 0, entry.size());
    if (value > kLargestEnteredNumber) return InsertCountEntry::Refused;
    if (insertLimit >= 0 && value > insertLimit) return InsertCountEntry::Refused;
    if (count) *count = static_cast<int>(value);
    return InsertCountEntry::Accepted;
}

}  // namespace lm

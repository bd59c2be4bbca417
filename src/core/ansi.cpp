#include "core/ansi.h"

namespace lm {
namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined bytes.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

char32_t ansiToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) {
        char32_t mapped = kHighControls[byte - 0x80];
        return mapped ? mapped : char32_t(byte);
    }
    return char32_t(byte);
}

int unicodeToAnsi(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i) {
        char32_t mapped = kHighControls[i];
        if (mapped == c || (mapped == 0 && c == char32_t(0x80 + i))) return 0x80 + i;
    }
    return -1;
}

std::u32string decodeAnsi(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (char b : bytes) text += ansiToUnicode(static_cast<unsigned char>(b));
    return text;
}

bool encodeAnsi(std::u32string_view text, std::string& out, std::size_t* badIndex) {
    out.clear();
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        int b = unicodeToAnsi(text[i]);
        if (b < 0) {
            if (badIndex) *badIndex = i;
            return false;
        }
        out += static_cast<char>(b);
    }
    return true;
}

std::string ansiToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) appendUtf8(out, ansiToUnicode(static_cast<unsigned char>(b)));
    return out;
}

}  // namespace lm

#pragma once

#include <string>
#include <string_view>

namespace lm {

// Label texts are stored one byte per character in Windows-1252. The five
// bytes that code page leaves undefined map to the code point of the same
// number, so every byte survives a round trip through Unicode.

char32_t ansiToUnicode(unsigned char byte);

// The byte for a code point, or -1 when Windows-1252 has no such character.
int unicodeToAnsi(char32_t codePoint);

std::u32string decodeAnsi(std::string_view bytes);

// Encodes text; on a character Windows-1252 cannot hold returns false and
// sets *badIndex to its index in the input.
bool encodeAnsi(std::u32string_view text, std::string& out, std::size_t* badIndex = nullptr);

// Label bytes as UTF-8, for the command-line tool's output.
std::string ansiToUtf8(std::string_view bytes);

}  // namespace lm

#pragma once

#include <QString>

#include <string>

namespace lm {

// Converts between a label's bytes as the label file holds them (Windows-1252,
// lines ended by CR LF) and the text a label control shows. On the way in, CR LF,
// CR CR LF (older imports of Windows exports), a lone CR and a lone LF each
// become one line break; on the way out every line
// break becomes CR LF. Undefined Windows-1252 bytes map to the code point of the
// same number, so every byte can be shown and written back.
QString labelBytesToText(const std::string& bytes);

// `text` uses '\n', U+2029 (paragraph separator) or U+2028 (line separator)
// for line breaks, as QTextDocument's raw text does. A character that
// Windows-1252 cannot hold becomes '?' and clears *encodable.
std::string labelTextToBytes(const QString& text, bool* encodable = nullptr);

// True when every character of `text` has a Windows-1252 byte.
bool labelTextEncodable(const QString& text);

}  // namespace lm

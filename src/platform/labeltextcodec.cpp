#include "platform/labeltextcodec.h"

#include <QChar>
#include <QList>

#include "core/ansi.h"

namespace lm {
namespace {

bool isLineBreak(char32_t c) {
    return c == U'\n' || c == char32_t(QChar::ParagraphSeparator) ||
           c == char32_t(QChar::LineSeparator);
}

}  // namespace

QString labelBytesToText(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b == '\r') {
            // CR LF is one break, and so is CR CR LF: old imports of Windows
            // exports kept each line's own CR before adding CR LF. A run of
            // CRs without an LF is a break each.
            std::size_t end = i;
            while (end < bytes.size() && bytes[end] == '\r') ++end;
            if (end < bytes.size() && bytes[end] == '\n') {
                text += QLatin1Char('\n');
            } else {
                text += QString(static_cast<qsizetype>(end - i), QLatin1Char('\n'));
                --end;
            }
            i = end;
        } else if (b == '\n') {
            text += QLatin1Char('\n');
        } else {
            // Windows-1252 lies entirely in the Basic Multilingual Plane.
            text += QChar(static_cast<char16_t>(ansiToUnicode(b)));
        }
    }
    return text;
}

std::string labelTextToBytes(const QString& text, bool* encodable) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    bool ok = true;
    for (char32_t c : text.toUcs4()) {
        if (isLineBreak(c)) {
            bytes += "\r\n";
            continue;
        }
        int b = unicodeToAnsi(c);
        if (b < 0) {
            ok = false;
            b = '?';
        }
        bytes += static_cast<char>(b);
    }
    if (encodable) *encodable = ok;
    return bytes;
}

bool labelTextEncodable(const QString& text) {
    bool ok = true;
    labelTextToBytes(text, &ok);
    return ok;
}

}  // namespace lm

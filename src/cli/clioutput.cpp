#include "cli/clioutput.h"

#include <cstdio>
#include <optional>

#include "core/ansi.h"

namespace lm::cli {
namespace {

// Decodes UTF-8; nothing on a malformed sequence.
std::optional<std::u32string> decodeUtf8(const std::string& text) {
    std::u32string out;
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        std::size_t extra;
        char32_t c;
        if (lead < 0x80) {
            extra = 0;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            c = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + extra >= text.size() && extra > 0) return std::nullopt;
        for (std::size_t k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        out += c;
        i += extra + 1;
    }
    return out;
}

}  // namespace

int usageError(CliStreams& streams, const std::string& command, const std::string& problem) {
    streams.err << "labelmaker-cli " << command << ": " << problem << "\n"
                << "Run \"labelmaker-cli " << command << " --help\" for its usage.\n";
    return kExitRefused;
}

int fileError(CliStreams& streams, const Error& error) {
    streams.err << "labelmaker-cli: " << error.message() << "\n";
    return kExitFileError;
}

int refused(CliStreams& streams, const std::string& message) {
    streams.err << message << "\n";
    return kExitRefused;
}

std::string jsonString(std::string_view labelBytes) {
    std::string utf8 = ansiToUtf8(labelBytes);
    std::string out = "\"";
    for (char c : utf8) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::optional<std::string> labelBytesFromArgument(const std::string& utf8) {
    std::optional<std::u32string> text = decodeUtf8(utf8);
    if (!text) return std::nullopt;
    std::string bytes;
    if (!encodeAnsi(*text, bytes)) return std::nullopt;
    return bytes;
}

}  // namespace lm::cli

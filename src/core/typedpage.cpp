#include "core/typedpage.h"

#include <unistd.h>
#include <cerrno>
#include <charconv>

#include "core/atomicfile.h"
#include "core/readablefile.h"

namespace lm {
namespace {

constexpr std::string_view kFormatLine = "Kelvarine Label Maker unsaved page 1\n";
// More texts than any label type has pages for, and a bound on what a
// damaged count could make us allocate.
constexpr long long kMostTexts = 1000;
constexpr long long kMostBytes = 1LL << 30;

void putNumber(std::string& out, const char* key, long long value) {
    out += key;
    out += ' ';
    out += std::to_string(value);
    out += '\n';
}

void putBytes(std::string& out, const char* key, const std::string& bytes) {
    putNumber(out, key, static_cast<long long>(bytes.size()));
    out += bytes;
    out += '\n';
}

// Reads what encodeTypedPage wrote, refusing at the first thing out of place.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : m_rest(bytes) {}

    bool expect(std::string_view text) {
        if (m_rest.substr(0, text.size()) != text) return false;
        m_rest.remove_prefix(text.size());
        return true;
    }

    std::optional<long long> number(const char* key, long long most) {
        if (!expect(key) || !expect(" ")) return std::nullopt;
        long long value = -1;
        auto [end, error] = std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value);
        if (error != std::errc() || value < 0 || value > most) return std::nullopt;
        m_rest.remove_prefix(static_cast<std::size_t>(end - m_rest.data()));
        if (!expect("\n")) return std::nullopt;
        return value;
    }

    std::optional<std::string> bytes(const char* key) {
        std::optional<long long> size = number(key, kMostBytes);
        if (!size || static_cast<unsigned long long>(*size) >= m_rest.size()) return std::nullopt;
        std::string text(m_rest.substr(0, static_cast<std::size_t>(*size)));
        m_rest.remove_prefix(static_cast<std::size_t>(*size));
        if (!expect("\n")) return std::nullopt;
        return text;
    }

    std::optional<std::vector<std::string>> texts(const char* countKey) {
        std::optional<long long> count = number(countKey, kMostTexts);
        if (!count) return std::nullopt;
        std::vector<std::string> texts;
        for (long long i = 0; i < *count; ++i) {
            std::optional<std::string> text = bytes("text");
            if (!text) return std::nullopt;
            texts.push_back(std::move(*text));
        }
        return texts;
    }

    bool atEnd() const { return m_rest.empty(); }

  private:
    std::string_view m_rest;
};

}  // namespace

bool TypedPage::operator==(const TypedPage& other) const {
    return fileName == other.fileName && pageNumber == other.pageNumber &&
           labelType == other.labelType && spineTexts == other.spineTexts &&
           pocketTexts == other.pocketTexts;
}

std::string encodeTypedPage(const TypedPage& page) {
    std::string out(kFormatLine);
    putBytes(out, "file", page.fileName);
    putNumber(out, "page", page.pageNumber);
    putNumber(out, "type", page.labelType);
    putNumber(out, "spines", static_cast<long long>(page.spineTexts.size()));
    for (const std::string& text : page.spineTexts) putBytes(out, "text", text);
    putNumber(out, "pockets", static_cast<long long>(page.pocketTexts.size()));
    for (const std::string& text : page.pocketTexts) putBytes(out, "text", text);
    out += "end\n";
    return out;
}

Result<TypedPage> decodeTypedPage(std::string_view bytes) {
    const Error damaged{"", "it is not a page of labels kept by the Label Maker, or it is damaged"};
    Reader reader(bytes);
    if (!reader.expect(kFormatLine)) return damaged;
    TypedPage page;
    std::optional<std::string> file = reader.bytes("file");
    std::optional<long long> number = file ? reader.number("page", 32767) : std::nullopt;
    std::optional<long long> type = number ? reader.number("type", 1000) : std::nullopt;
    if (!type || *number < 1) return damaged;
    std::optional<std::vector<std::string>> spines = reader.texts("spines");
    std::optional<std::vector<std::string>> pockets =
        spines ? reader.texts("pockets") : std::nullopt;
    if (!pockets || !reader.expect("end\n") || !reader.atEnd()) return damaged;
    page.fileName = std::move(*file);
    page.pageNumber = static_cast<int>(*number);
    page.labelType = static_cast<int>(*type);
    page.spineTexts = std::move(*spines);
    page.pocketTexts = std::move(*pockets);
    return page;
}

Status writeTypedPageFile(const std::string& path, const TypedPage& page) {
    return writeFileAtomically(path, encodeTypedPage(page));
}

Result<std::optional<TypedPage>> readTypedPageFile(const std::string& path) {
    if (access(path.c_str(), F_OK) != 0 && errno == ENOENT) return std::optional<TypedPage>();
    ReadableFile file;
    Status opened = file.open(path);
    if (!opened) return opened.error();
    if (file.length() > kMostBytes) return Error{path, "the file is too large"};
    std::string bytes(static_cast<std::size_t>(file.length()), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        Result<std::size_t> read =
            file.readAt(static_cast<std::int64_t>(done), bytes.data() + done, bytes.size() - done);
        if (!read) return read.error();
        if (*read == 0) break;
        done += *read;
    }
    bytes.resize(done);
    Result<TypedPage> page = decodeTypedPage(bytes);
    if (!page) return Error{path, page.error().reason};
    return std::optional<TypedPage>(page.value());
}

}  // namespace lm

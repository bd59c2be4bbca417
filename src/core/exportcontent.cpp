#include "core/exportcontent.h"

#include <algorithm>
#include <vector>

#include "core/connexionextract.h"
#include "core/readablefile.h"

namespace lm {
namespace {

// Text exports in Windows-1252 never hold a NUL byte; binary files and UTF-16
// text nearly always do in their first few kilobytes. Looking no further keeps
// the check quick on an export of any size, a sparse one of gigabytes included.
constexpr std::size_t kBytesLookedAt = 64 * 1024;

const char* const kNotText =
    "it holds NUL bytes: a binary file, or text in UTF-16, is no export. Nothing was imported.";

}  // namespace

Result<ExportContent> exportContent(const std::string& path) {
    ReadableFile file;
    if (Status opened = file.open(path); !opened) return opened.error();
    if (file.length() == 0) return ExportContent::Empty;
    std::vector<char> start(
        static_cast<std::size_t>(std::min<std::int64_t>(file.length(), kBytesLookedAt)));
    Result<std::size_t> got = file.readAt(0, start.data(), start.size());
    if (!got) return got.error();
    if (*got == 0) return ExportContent::Empty;
    const auto end = start.begin() + static_cast<std::ptrdiff_t>(*got);
    return std::find(start.begin(), end, '\0') != end ? ExportContent::Binary : ExportContent::Text;
}

Status checkTextExport(const std::string& path) {
    Result<ExportContent> content = exportContent(path);
    if (!content) return content.error();
    if (*content == ExportContent::Binary) return Error{path, kNotText};
    return {};
}

Status checkTextExports(const std::string& folder) {
    Result<std::vector<ExportFile>> files = listExportFiles(folder);
    if (!files) return files.error();
    for (const ExportFile& file : *files)
        if (Status checked = checkTextExport(file.path); !checked) return checked;
    return {};
}

}  // namespace lm

#include "cli/exportinput.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "core/readablefile.h"

namespace lm::cli {
namespace {

// Text exports in Windows-1252 never hold a NUL byte; binary files and UTF-16
// text nearly always do in their first few kilobytes.
constexpr std::size_t kBytesLookedAt = 64 * 1024;

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

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

int refusedInput(CliStreams& streams, const std::string& command, const std::string& problem) {
    streams.err << "labelmaker-cli " << command << ": " << problem << "\n";
    return kExitRefused;
}

std::string exportContentProblem(const std::string& path, ExportContent content) {
    switch (content) {
        case ExportContent::Text:
            break;
        case ExportContent::Empty:
            return path + " is empty: there is nothing to convert; nothing was written";
        case ExportContent::Binary:
            return path +
                   " is not a text export: it holds NUL bytes (a binary file, or text in "
                   "UTF-16); nothing was written";
    }
    return {};
}

std::string labelSets(long long count) {
    return std::to_string(count) + (count == 1 ? " label set" : " label sets");
}

}  // namespace lm::cli

#include "cli/exportinput.h"

#include <filesystem>

namespace lm::cli {

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

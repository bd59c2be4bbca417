#include "cli/commandoptions.h"

#include "cli/clioutput.h"
#include "core/labeltypes.h"
#include "core/pagestate.h"

namespace lm::cli {
namespace {

std::optional<int> boundedOption(const ParsedArguments& parsed, CliStreams& streams,
                                 const std::string& command, const std::string& option,
                                 long long lowest, long long highest, const std::string& what) {
    std::optional<std::string> text = parsed.value(option);
    if (!text) {
        usageError(streams, command, option + " is required");
        return std::nullopt;
    }
    std::optional<long long> value = digitsValue(*text);
    if (!value || *value < lowest || *value > highest) {
        usageError(streams, command, option + " must be " + what + ", not \"" + *text + "\"");
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

}  // namespace

std::optional<int> labelTypeOption(const ParsedArguments& parsed, CliStreams& streams,
                                   const std::string& command) {
    return boundedOption(parsed, streams, command, "--type", kFirstLabelType, kLastLabelType,
                         "a label type from 1 to 10");
}

std::optional<int> pageOption(const ParsedArguments& parsed, CliStreams& streams,
                              const std::string& command) {
    return boundedOption(parsed, streams, command, "--page", 1, kLastPageNumber,
                         "a page number from 1 to 32767");
}

std::optional<int> labelOption(const ParsedArguments& parsed, CliStreams& streams,
                               const std::string& command) {
    return boundedOption(parsed, streams, command, "--label", 0, 32767,
                         "a label number (spine control i as i, pocket control i as i + 40)");
}

}  // namespace lm::cli

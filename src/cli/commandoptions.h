#pragma once

#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/clicommand.h"

namespace lm::cli {

// --type N: a label type from 1 to 10, reported as a usage error otherwise.
std::optional<int> labelTypeOption(const ParsedArguments& parsed, CliStreams& streams,
                                   const std::string& command);

// --page P: a page the window can show, 1 to 32767.
std::optional<int> pageOption(const ParsedArguments& parsed, CliStreams& streams,
                              const std::string& command);

// --label L: SelectedLabel's value, 0 (nothing selected) or more.
std::optional<int> labelOption(const ParsedArguments& parsed, CliStreams& streams,
                               const std::string& command);

}  // namespace lm::cli

#pragma once

#include <string>
#include <vector>

#include "cli/clicommand.h"

namespace lm::cli {

// Every command of the tool, in the order of commandlist.h.
const std::vector<CliCommand>& commandTable();

// The command called `name`, or nullptr.
const CliCommand* findCommand(const std::string& name);

}  // namespace lm::cli

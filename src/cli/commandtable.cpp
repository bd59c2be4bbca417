#include "cli/commandtable.h"

namespace lm::cli {

#define LM_CLI_COMMAND(factory) CliCommand factory();
#include "cli/commandlist.h"
#undef LM_CLI_COMMAND

const std::vector<CliCommand>& commandTable() {
    static const std::vector<CliCommand> table = {
#define LM_CLI_COMMAND(factory) factory(),
#include "cli/commandlist.h"
#undef LM_CLI_COMMAND
    };
    return table;
}

const CliCommand* findCommand(const std::string& name) {
    for (const CliCommand& command : commandTable())
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace lm::cli

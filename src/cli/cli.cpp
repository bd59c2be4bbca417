#include "cli/cli.h"

#include <algorithm>

#include "cli/commandtable.h"

namespace lm::cli {
namespace {

void printOverview(std::ostream& out) {
    out << "Usage: labelmaker-cli COMMAND [OPTIONS] ...\n"
           "Works on Kelvarine Label Maker label files.\n\nCommands:\n";
    std::size_t width = 0;
    for (const CliCommand& command : commandTable()) width = std::max(width, command.name.size());
    for (const CliCommand& command : commandTable())
        out << "  " << command.name << std::string(width - command.name.size() + 2, ' ')
            << command.summary << "\n";
    out << "\nRun \"labelmaker-cli COMMAND --help\" for the options of a command.\n";
}

bool asksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") return true;
    return false;
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        printOverview(err);
        return kExitRefused;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printOverview(out);
        return kExitDone;
    }
    const CliCommand* command = findCommand(args[0]);
    if (!command) {
        err << "labelmaker-cli: unknown command \"" << args[0]
            << "\"; run \"labelmaker-cli --help\" for the list\n";
        return kExitRefused;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (asksForHelp(rest)) {
        out << command->help;
        return kExitDone;
    }
    CliStreams streams{out, err};
    return command->run(rest, streams);
}

int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    return runCli(args, out, err);
}

}  // namespace lm::cli

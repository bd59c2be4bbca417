#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace lm::cli {

// Exit statuses every command shares. Commands may add their own above these
// (extract uses 3 for records it could not write).
constexpr int kExitDone = 0;
constexpr int kExitFileError = 1;  // a file could not be read or written
constexpr int kExitRefused = 2;    // bad arguments, or input the window would refuse

// Where a command writes: its results to out, messages to err.
struct CliStreams {
    std::ostream& out;
    std::ostream& err;
};

// One command of labelmaker-cli. `run` gets the arguments after the command
// name; "--help" never reaches it (the tool prints `help` instead).
struct CliCommand {
    std::string name;     // as typed: "pages"
    std::string summary;  // one line for the list of commands
    std::string help;     // the full text --help prints, usage line first
    std::function<int(const std::vector<std::string>& args, CliStreams& streams)> run;
};

}  // namespace lm::cli

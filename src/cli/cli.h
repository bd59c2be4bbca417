#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace lm::cli {

// Runs labelmaker-cli with `args` (the arguments after the program name):
// a command name followed by its arguments, or --help. Results go to `out`,
// messages to `err`. Returns the exit status.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same with main()'s arguments.
int runCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace lm::cli

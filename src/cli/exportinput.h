#pragma once

#include <string>

#include "cli/clicommand.h"
#include "core/exportcontent.h"
#include "core/result.h"

namespace lm::cli {

// True when both paths name one existing file (links and other spellings included).
bool sameFile(const std::string& a, const std::string& b);

// An input the command refuses: "labelmaker-cli <command>: <problem>".
int refusedInput(CliStreams& streams, const std::string& command, const std::string& problem);

// The refusal for Empty and Binary, in the operator's words; empty for Text.
std::string exportContentProblem(const std::string& path, ExportContent content);

// "1 label set", "3 label sets".
std::string labelSets(long long count);

}  // namespace lm::cli

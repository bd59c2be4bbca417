#pragma once

#include <string>

#include "cli/clicommand.h"
#include "core/result.h"

namespace lm::cli {

// What the import commands check about an export before anything is written.
enum class ExportContent {
    Text,
    Empty,   // nothing to convert
    Binary,  // NUL bytes near its start: a binary file, or text in UTF-16
};

// Looks at the start of `path`. An Error when it cannot be opened or read
// (a folder included), with the path and the system's reason.
Result<ExportContent> exportContent(const std::string& path);

// True when both paths name one existing file (links and other spellings included).
bool sameFile(const std::string& a, const std::string& b);

// An input the command refuses: "labelmaker-cli <command>: <problem>".
int refusedInput(CliStreams& streams, const std::string& command, const std::string& problem);

// The refusal for Empty and Binary, in the operator's words; empty for Text.
std::string exportContentProblem(const std::string& path, ExportContent content);

// "1 label set", "3 label sets".
std::string labelSets(long long count);

}  // namespace lm::cli

#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/clicommand.h"
#include "core/result.h"

namespace lm::cli {

// A wrong or missing argument: names the command and points to its help.
int usageError(CliStreams& streams, const std::string& command, const std::string& problem);

// A file that could not be read or written: its path and the system's reason.
int fileError(CliStreams& streams, const Error& error);

// Input the window would refuse, in the window's own words.
int refused(CliStreams& streams, const std::string& message);

// Label file bytes (Windows-1252) as a JSON string, quotes included.
std::string jsonString(std::string_view labelBytes);

// Text typed on the command line (UTF-8) as label file bytes; nothing when a
// character has no place in Windows-1252 or the text is not UTF-8.
std::optional<std::string> labelBytesFromArgument(const std::string& utf8);

}  // namespace lm::cli

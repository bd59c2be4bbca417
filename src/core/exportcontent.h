#pragma once

#include <string>

#include "core/result.h"

namespace lm {

// What the imports check about an export before anything is written.
enum class ExportContent {
    Text,
    Empty,   // nothing to convert
    Binary,  // NUL bytes near its start: a binary file, or text in UTF-16
};

// Looks at the start of `path`. An Error when it cannot be opened or read
// (a folder, a named pipe or a device included), with the path and the
// system's reason.
Result<ExportContent> exportContent(const std::string& path);

// Refuses an export with NUL bytes near its start, as a Binary one: read line
// by line it would give labels of rubbish, and a large one a single line held
// whole in memory. The Error carries the path and the operator's reason.
Status checkTextExport(const std::string& path);

// The same for every export file of a folder, as the folder extract reads them.
Status checkTextExports(const std::string& folder);

}  // namespace lm

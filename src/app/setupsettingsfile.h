#pragma once

#include <optional>

#include "core/settings.h"

namespace lm {

class Dialogs;

// The Setup commands' reads and writes of the settings file. A failure is
// told to the operator in a critical box that names the file and the reason;
// the caller then ends its command.

// The record on disk, or nothing when the file cannot be read.
std::optional<Settings> readSettingsOrReport(Dialogs& dialogs);

// Replaces the settings file with `settings`. False when the write failed;
// the file then holds what it held before.
bool writeSettingsOrReport(Dialogs& dialogs, const Settings& settings);

// The length of the working label file (created empty when missing), or
// nothing when it cannot be opened, which has been reported.
std::optional<long long> workingFileLengthOrReport(Dialogs& dialogs);

}  // namespace lm

#pragma once

#include "core/result.h"
#include "core/settings.h"

namespace lm::cli {

// The settings file's record, or the defaults when there is none. The tool
// only reads the operator's settings: it never creates the file.
Result<Settings> operatorSettings();

// The settings that lay out a sheet of `labelType`: the operator's own, or,
// for a type on another sheet (sp1 and sp2 share one), that type's default
// page margins with the operator's fonts, alignment and inner margins.
Settings settingsForSheet(Settings settings, int labelType);

}  // namespace lm::cli

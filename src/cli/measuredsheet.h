#pragma once

#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "paint/labelsheet.h"

namespace lm::cli {

// The calibration sheet that --type N names, or the settings' own label
// type's, laid out as pdf lays that type out: the crosshairs are where the
// labels' corners print. Nothing, with `*exitStatus` set after saying why,
// when the settings cannot be read or the type is not 1 to 10.
std::optional<LabelSheet> measuredSheet(const ParsedArguments& parsed, CliStreams& streams,
                                        const std::string& command, int* exitStatus);

}  // namespace lm::cli

#pragma once

#include <optional>
#include <string>

#include "cli/clicommand.h"
#include "core/printcalibration.h"
#include "paint/calibrationfile.h"

namespace lm::cli {

// The calibration file as the tool finds it. A file that cannot be read or
// holds no usable values is reported on err and counts as empty.
StoredCalibrations readCalibrationsTelling(CliStreams& streams);

// `printer`'s stored calibration; nothing, after saying so on err, when it
// has none. The caller then ends with kExitRefused.
std::optional<PrintCalibration> printerCalibration(const std::string& printer, CliStreams& streams,
                                                   const std::string& command);

}  // namespace lm::cli

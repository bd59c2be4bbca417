#include "cli/storedcalibration.h"

#include "cli/clioutput.h"
#include "cli/exportinput.h"

namespace lm::cli {

StoredCalibrations readCalibrationsTelling(CliStreams& streams) {
    StoredCalibrations stored = readCalibrations(calibrationFilePath());
    if (stored.problem)
        streams.err << "labelmaker-cli: " << stored.problem->message()
                    << "; it is ignored and no printer is calibrated\n";
    return stored;
}

std::optional<PrintCalibration> printerCalibration(const std::string& printer, CliStreams& streams,
                                                   const std::string& command) {
    const StoredCalibrations stored = readCalibrationsTelling(streams);
    if (std::optional<PrintCalibration> found = stored.of(QString::fromStdString(printer)))
        return found;
    refusedInput(streams, command,
                 "the printer \"" + printer +
                     "\" has no stored calibration (labelmaker-cli "
                     "calibrate stores one)");
    return std::nullopt;
}

}  // namespace lm::cli

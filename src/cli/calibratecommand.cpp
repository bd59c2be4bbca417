#include <QString>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/exportinput.h"
#include "cli/measuredsheet.h"
#include "cli/storedcalibration.h"
#include "core/calibrationmeasure.h"
#include "paint/calibrationfile.h"
#include "paint/calibrationsheet.h"

namespace lm::cli {
namespace {

const char* kName = "calibrate";

// "X1,Y1,X2,Y2": four plain decimal numbers.
std::optional<std::vector<double>> fourNumbers(const std::string& text) {
    std::vector<double> numbers;
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        char* end = nullptr;
        const double value = std::strtod(part.c_str(), &end);
        if (part.empty() || *end != '\0' || !std::isfinite(value)) return std::nullopt;
        numbers.push_back(value);
    }
    if (numbers.size() != 4 || (!text.empty() && text.back() == ',')) return std::nullopt;
    return numbers;
}

int show(const QString& printer, CliStreams& streams) {
    const StoredCalibrations stored = readCalibrationsTelling(streams);
    streams.out << printer.toStdString() << ": ";
    if (std::optional<PrintCalibration> c = stored.of(printer))
        streams.out << describeCalibration(*c) << "\n";
    else
        streams.out << "not calibrated\n";
    return kExitDone;
}

int reset(const QString& printer, CliStreams& streams) {
    readCalibrationsTelling(streams);
    bool removed = false;
    if (Status done = resetCalibration(calibrationFilePath(), printer, &removed); !done)
        return fileError(streams, done.error());
    streams.out << (removed ? "calibration removed for " : "no calibration stored for ")
                << printer.toStdString() << "\n";
    return kExitDone;
}

int store(const ParsedArguments& parsed, const QString& printer, CliStreams& streams) {
    const std::optional<std::string> unitText = parsed.value("--unit");
    if (!unitText) return usageError(streams, kName, "--measured needs --unit mm or --unit in");
    const std::optional<LengthUnit> unit = unitFromName(*unitText);
    if (!unit) return usageError(streams, kName, "--unit " + *unitText + ": that is not mm or in");
    const std::string measuredText = *parsed.value("--measured");
    const std::optional<std::vector<double>> m = fourNumbers(measuredText);
    if (!m)
        return usageError(streams, kName,
                          "--measured " + measuredText + ": that is not four numbers X1,Y1,X2,Y2");
    int status = kExitDone;
    const std::optional<LabelSheet> sheet = measuredSheet(parsed, streams, kName, &status);
    if (!sheet) return status;

    const CrosshairPair measured{twipsFromLength((*m)[0], *unit), twipsFromLength((*m)[1], *unit),
                                 twipsFromLength((*m)[2], *unit), twipsFromLength((*m)[3], *unit)};
    const CalibrationOutcome outcome =
        measureCalibration(calibrationCrosshairs(*sheet), measured, *unit);
    if (!outcome.calibration) return refusedInput(streams, kName, outcome.refusal);
    readCalibrationsTelling(streams);
    if (Status stored = storeCalibration(calibrationFilePath(), printer, *outcome.calibration);
        !stored)
        return fileError(streams, stored.error());
    streams.out << "calibration stored for " << printer.toStdString() << ": "
                << describeCalibration(*outcome.calibration) << "\n";
    return kExitDone;
}

int runCalibrate(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed = ParsedArguments::parse(args,
                                                                   {{"--printer", true},
                                                                    {"--type", true},
                                                                    {"--unit", true},
                                                                    {"--measured", true},
                                                                    {"--show", false},
                                                                    {"--reset", false}},
                                                                   0, problem);
    if (!parsed) return usageError(streams, kName, problem);
    const std::optional<std::string> printer = parsed->value("--printer");
    if (!printer || printer->empty()) return usageError(streams, kName, "--printer NAME is needed");
    const int modes =
        int(parsed->has("--measured")) + int(parsed->has("--show")) + int(parsed->has("--reset"));
    if (modes != 1)
        return usageError(streams, kName, "give exactly one of --measured, --show and --reset");
    const QString name = QString::fromStdString(*printer);
    if (parsed->has("--show")) return show(name, streams);
    if (parsed->has("--reset")) return reset(name, streams);
    return store(*parsed, name, streams);
}

}  // namespace

CliCommand calibrateCommand() {
    return {kName, "store, show or remove a printer's calibration",
            "Usage: labelmaker-cli calibrate --printer NAME [--type N] --unit mm|in\n"
            "                                --measured X1,Y1,X2,Y2\n"
            "       labelmaker-cli calibrate --printer NAME --show\n"
            "       labelmaker-cli calibrate --printer NAME --reset\n"
            "Print the calibration sheet (labelmaker-cli calibration-sheet, or Setup, Printer\n"
            "Calibration in the window) on the printer NAME, then measure with a ruler where\n"
            "its two crosshairs landed, from the paper's left edge (X) and top edge (Y): the\n"
            "first crosshair (X1,Y1, the first label's top-left corner) and the last (X2,Y2,\n"
            "the last label's bottom-right corner). From these the printer's offset and scale\n"
            "are worked out, x and y each, and every later print on NAME is corrected by\n"
            "them. A scale outside 0.95 to 1.05 or an offset beyond 10 mm either way is\n"
            "refused: that printer needs its paper or its settings seen to, not a\n"
            "correction.\n\n"
            "  --type N    the label type the sheet was printed for (1 to 10); by default the\n"
            "              settings' label type, as calibration-sheet prints it.\n"
            "  --unit U    mm or in: what the ruler reads.\n"
            "  --show      print NAME's stored values.\n"
            "  --reset     remove NAME's stored values.\n\n"
            "The values are kept per printer name in calibration.ini in the working folder\n"
            "($QORTEX_DIR, else ~/qortex), never in the settings file. A calibration file\n"
            "that cannot be read is reported and counts as empty; storing replaces it.\n"
            "Exit status: 0 done, 1 the calibration or settings file could not be read or\n"
            "written, 2 bad arguments or measurements refused.\n",
            runCalibrate};
}

}  // namespace lm::cli

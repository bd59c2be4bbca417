#include <QFile>

#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/guisession.h"
#include "cli/measuredsheet.h"
#include "cli/storedcalibration.h"
#include "paint/calibrationsheet.h"
#include "paint/pdfsheetwriter.h"

namespace lm::cli {
namespace {

const char* kName = "calibration-sheet";

int runCalibrationSheet(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed = ParsedArguments::parse(
        args, {{"--type", true}, {"--calibration", true}}, 1, problem, "OUT.pdf is needed");
    if (!parsed) return usageError(streams, kName, problem);
    const std::string& pdfPath = parsed->positionals()[0];
    int status = kExitDone;
    const std::optional<LabelSheet> sheet = measuredSheet(*parsed, streams, kName, &status);
    if (!sheet) return status;
    SheetPaintOptions options = calibrationSheetOptions();
    if (std::optional<std::string> printer = parsed->value("--calibration")) {
        std::optional<PrintCalibration> calibration = printerCalibration(*printer, streams, kName);
        if (!calibration) return kExitRefused;
        options.calibration = *calibration;
    }

    GuiSession gui;
    if (!gui.ok())
        return fileError(streams, Error{pdfPath,
                                        "the program runs without Qt Gui, which "
                                        "drawing the sheet needs"});
    PdfSheetWriter writer(QFile::decodeName(pdfPath.c_str()));
    writer.setTitle(QStringLiteral("Printer calibration sheet"));
    writer.setPaintOptions(options);
    Status written = writer.addSheet(*sheet);
    if (written) written = writer.finish();
    if (!written) {
        Error error = written.error();
        if (error.path.empty()) error.path = pdfPath;
        return fileError(streams, error);
    }
    streams.out << "calibration sheet written to " << pdfPath << "\n";
    return kExitDone;
}

}  // namespace

CliCommand calibrationSheetCommand() {
    return {kName, "write the sheet a printer is calibrated with, as a PDF",
            "Usage: labelmaker-cli calibration-sheet [--type N] [--calibration PRINTER] OUT.pdf\n"
            "Writes the calibration sheet of a label type into OUT.pdf: every label box as a\n"
            "thin outline, a crosshair at the first label's top-left corner and one at the\n"
            "last label's bottom-right corner, and how to measure them. Print it at actual\n"
            "size (no fitting to the page) on the printer to calibrate, measure the two\n"
            "crosshairs from the paper's top-left edge and give the four distances to\n"
            "labelmaker-cli calibrate.\n\n"
            "  --type N               the sheet of label type N (1 to 10) instead of the\n"
            "                         settings' type, laid out as pdf lays it out.\n"
            "  --calibration PRINTER  draw it with PRINTER's stored calibration, as a check:\n"
            "                         printed on PRINTER, the crosshairs land where the\n"
            "                         sheet says.\n\n"
            "OUT.pdf is created or replaced only once it is complete.\n"
            "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments, or\n"
            "PRINTER has no stored calibration.\n",
            runCalibrationSheet};
}

}  // namespace lm::cli

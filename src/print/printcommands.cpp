#include "print/printcommands.h"

#include <QFileInfo>
#include <QPrinter>

#include "app/statusmessage.h"
#include "app/windowcontext.h"
#include "platform/dialogs.h"
#include "paint/calibrationsheet.h"
#include "paint/labelsheet.h"
#include "print/calibrationdialog.h"
#include "print/printall.h"
#include "print/printercalibrations.h"
#include "print/printfailure.h"
#include "print/printjob.h"
#include "print/printersettings.h"
#include "print/printpage.h"
#include "print/printpreview.h"
#include "print/printreport.h"

namespace lm {

PrintCommands::PrintCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    setObjectName(QStringLiteral("PrintCommands"));
    connectMenuItem(window, "mnuFile_PrintSetup", this, [this] { mnuFile_PrintSetup_Click(); });
    connectMenuItem(window, "mnuFile_PrintPage", this, [this] { mnuFile_PrintPage_Click(); });
    connectMenuItem(window, "mnuFile_PrintAll", this, [this] { mnuFile_PrintAll_Click(); });
    connectMenuItem(window, "mnuFile_PrintPreview", this,
                    [this] { mnuFile_PrintPreview_Click(); });
    connectMenuItem(window, "mnuSetup_Calibration", this,
                    [this] { mnuSetup_Calibration_Click(); });
}

void PrintCommands::mnuFile_PrintSetup_Click() {
    m_printers.select(m_window.dialogs());
}

void PrintCommands::mnuFile_PrintPage_Click() {
    tellWherePrinted(
        printCurrentPage(m_window, m_printers.printer(), m_printers.options(), paintOptions()));
}

void PrintCommands::mnuFile_PrintAll_Click() {
    tellWherePrinted(
        printAllPages(m_window, m_printers.printer(), m_printers.options(), paintOptions()));
}

SheetPaintOptions PrintCommands::paintOptions() {
    SheetPaintOptions options;
    options.outlines = m_printers.options().outlines;
    options.calibration = printerCalibration();
    return options;
}

PrintCalibration PrintCommands::printerCalibration() {
    const QPrinter& printer = m_printers.printer();
    if (writesToFile(printer)) return {};
    return m_calibrations.of(printer.printerName(), m_window.dialogs());
}

void PrintCommands::mnuSetup_Calibration_Click() {
    const QPrinter& printer = m_printers.printer();
    if (writesToFile(printer)) {
        m_window.dialogs().message(
            QStringLiteral("The current printer writes a PDF file, which has no calibration. "
                           "Choose the printer to calibrate with Select Printer first."),
            MessageButtons::Ok, MessageIcon::Exclamation);
        return;
    }
    const AppState& state = m_window.state();
    const LabelSheet sheet = calibrationSheet(state.settings, state.LabelType());
    CalibrationDialog dialog(m_window.dialogs(), printer.printerName(),
                             calibrationCrosshairs(sheet), [this] { printCalibrationSheet(); },
                             m_window.window());
    m_window.dialogs().printerCalibration(dialog);
}

// The sheet measures the printer as it is: no calibration, whatever is stored.
void PrintCommands::printCalibrationSheet() {
    const AppState& state = m_window.state();
    const LabelSheet sheet = calibrationSheet(state.settings, state.LabelType());
    std::unique_ptr<PrintJob> job =
        PrintJob::start(m_printers.printer(), QStringLiteral("Printer calibration sheet"),
                        calibrationSheetOptions());
    Status printed = job->printSheet(sheet);
    if (printed) printed = job->finish();
    if (!printed) {
        reportFailure(m_window, QStringLiteral("The calibration sheet could not be printed."),
                      printed.error());
        return;
    }
    tellWherePrinted(job->sheetCount());
}

void PrintCommands::tellWherePrinted(std::optional<int> sheets) {
    if (!sheets) return;
    const QPrinter& printer = m_printers.printer();
    const bool toFile = writesToFile(printer);
    const QString destination =
        toFile ? QFileInfo(printer.outputFileName()).absoluteFilePath() : printer.printerName();
    showStatusMessage(m_window, printedMessage(toFile, destination, *sheets));
    if (*sheets > 0 && m_printers.printsIntoFallback() && !m_fallbackNamed) {
        m_fallbackNamed = true;
        m_window.dialogs().message(noPrinterMessage(destination), MessageButtons::Ok,
                                   MessageIcon::Information);
    }
}

void PrintCommands::mnuFile_PrintPreview_Click() {
    printPreview(m_window, m_printers.printer(), m_printers.options(), paintOptions());
}

}  // namespace lm

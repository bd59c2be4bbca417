#pragma once

#include <QObject>

#include <optional>

#include "paint/sheetpaintoptions.h"
#include "print/printercalibrations.h"
#include "print/printerselection.h"

namespace lm {

class WindowContext;

// The File menu's printing: Select Printer, Print Current Page and Print
// All, all on the printer this group keeps for the run.
class PrintCommands : public QObject {
    Q_OBJECT
  public:
    PrintCommands(WindowContext& window, QObject* parent);

    void mnuFile_PrintSetup_Click();
    void mnuFile_PrintPage_Click();
    void mnuFile_PrintAll_Click();
    void mnuFile_PrintPreview_Click();
    // Setup, Printer Calibration, for the printer chosen here.
    void mnuSetup_Calibration_Click();

    PrinterSelection& printers() { return m_printers; }

  private:
    // What every sheet of the next print on the current printer is drawn
    // with: the outlines chosen in Select Printer and that printer's
    // calibration.
    SheetPaintOptions paintOptions();

    // The current printer's stored calibration; none for a printer that
    // writes a PDF file, which goes to no printer of its own.
    PrintCalibration printerCalibration();
    // Prints the calibration sheet of the label type on display.
    void printCalibrationSheet();

    // The status bar names where the sheets went; the first print of the
    // run into the no-printer PDF names the file in a box as well.
    void tellWherePrinted(std::optional<int> sheets);

    WindowContext& m_window;
    PrinterSelection m_printers;
    bool m_fallbackNamed = false;
    PrinterCalibrations m_calibrations;
};

}  // namespace lm

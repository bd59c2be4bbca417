#pragma once

#include <QObject>

#include <optional>

#include "paint/sheetpaintoptions.h"
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

    PrinterSelection& printers() { return m_printers; }

  private:
    // What every sheet of the next print on the current printer is drawn
    // with: the outlines chosen in Select Printer and that printer's
    // calibration.
    SheetPaintOptions paintOptions();

    // The status bar names where the sheets went; the first print of the
    // run into the no-printer PDF names the file in a box as well.
    void tellWherePrinted(std::optional<int> sheets);

    WindowContext& m_window;
    PrinterSelection m_printers;
    bool m_fallbackNamed = false;
};

}  // namespace lm

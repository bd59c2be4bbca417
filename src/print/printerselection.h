#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "platform/printoptions.h"
#include "print/printersettings.h"

class QPrinter;

namespace lm {

class Dialogs;

// The name of the PDF file the labels go to when no printer is installed,
// in the working folder.
inline const QString kNoPrinterPdfName = QStringLiteral("labels.pdf");

// The printer the print commands print on, for the whole run. It starts as
// the system's default printer (else the first installed one; with no
// printer at all, a PDF file named kNoPrinterPdfName in the working folder)
// and changes only through Select Printer.
class PrinterSelection {
  public:
    PrinterSelection();
    ~PrinterSelection();
    PrinterSelection(const PrinterSelection&) = delete;
    PrinterSelection& operator=(const PrinterSelection&) = delete;

    // The current printer; found on first use.
    QPrinter& printer();
    // True while the current printer is the PDF file of a machine without
    // any printer, until Select Printer chooses another.
    bool printsIntoFallback() const { return m_fallback; }
    // The program's own print options, for the run.
    PrintOptions& options() { return m_options; }

    // Select Printer: the print dialog, preset from the settings it returned
    // last or, until one was confirmed, from the current printer. A confirmed
    // dialog makes its printer and settings current and remembers them;
    // Cancel changes nothing, the print options included. Returns whether it
    // was confirmed.
    bool select(Dialogs& dialogs);

    bool HasSavedDevMode() const { return m_saved.has_value(); }
    // The settings the dialog returned last; only when HasSavedDevMode().
    const PrinterSettings& SavedDevMode() const { return *m_saved; }

  private:
    std::unique_ptr<QPrinter> m_printer;
    std::optional<PrinterSettings> m_saved;
    PrintOptions m_options;
    bool m_fallback = false;
};

// The printer a run starts with, as PrinterSelection describes it.
std::unique_ptr<QPrinter> startUpPrinter();

}  // namespace lm

#include "print/printerselection.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/workfolder.h"
#include "platform/dialogs.h"

namespace lm {

std::unique_ptr<QPrinter> startUpPrinter() {
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QList<QPrinterInfo> installed = QPrinterInfo::availablePrinters();
        if (!installed.isEmpty()) info = installed.first();
    }
    if (!info.isNull()) return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    // Without any printer the labels can still go on paper later: into a PDF.
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    const QString folder = QString::fromStdString(workFolder());
    printer->setOutputFileName(
        QDir(folder.isEmpty() ? QDir::currentPath() : folder).filePath(kNoPrinterPdfName));
    return printer;
}

PrinterSelection::PrinterSelection() = default;
PrinterSelection::~PrinterSelection() = default;

QPrinter& PrinterSelection::printer() {
    if (!m_printer) {
        m_printer = startUpPrinter();
        // Only the start-up printer of a machine without printers writes a file.
        m_fallback = writesToFile(*m_printer);
    }
    return *m_printer;
}

bool PrinterSelection::select(Dialogs& dialogs) {
    // The dialog works on a printer of its own, so Cancel cannot leave half
    // of a choice behind on the current one.
    const PrinterSettings preset = m_saved ? *m_saved : PrinterSettings::of(printer());
    std::unique_ptr<QPrinter> chosen = preset.makePrinter();
    PrintOptions options = m_options;
    if (!dialogs.printDialog(*chosen, options)) return false;
    m_printer = std::move(chosen);
    m_options = options;
    m_fallback = false;
    m_saved = PrinterSettings::of(*m_printer);
    return true;
}

}  // namespace lm

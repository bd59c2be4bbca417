#include "print/printersettings.h"

#include <QPrinterInfo>

namespace lm {

PrinterSettings PrinterSettings::of(const QPrinter& printer) {
    PrinterSettings s;
    s.outputFormat = printer.outputFormat();
    s.printerName = s.outputFormat == QPrinter::NativeFormat ? printer.printerName() : QString();
    s.outputFileName = printer.outputFileName();
    s.copies = printer.copyCount();
    s.collate = printer.collateCopies();
    s.duplex = printer.duplex();
    const QPageLayout layout = printer.pageLayout();
    s.orientation = layout.orientation();
    s.pageSize = layout.pageSize();
    s.resolution = printer.resolution();
    s.colorMode = printer.colorMode();
    s.paperSource = printer.paperSource();
    return s;
}

std::unique_ptr<QPrinter> PrinterSettings::makePrinter() const {
    std::unique_ptr<QPrinter> printer;
    if (outputFormat == QPrinter::NativeFormat && !printerName.isEmpty()) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        if (!info.isNull()) printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    if (!printer) {
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (outputFormat == QPrinter::PdfFormat) printer->setOutputFormat(QPrinter::PdfFormat);
    }
    if (!outputFileName.isEmpty()) printer->setOutputFileName(outputFileName);
    applyTo(*printer);
    return printer;
}

void PrinterSettings::applyTo(QPrinter& printer) const {
    // A setting the printer does not support is left as the printer has it.
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    printer.setDuplex(duplex);
    if (pageSize.isValid()) printer.setPageSize(pageSize);
    printer.setPageOrientation(orientation);
    if (resolution > 0) printer.setResolution(resolution);
    printer.setColorMode(colorMode);
    printer.setPaperSource(paperSource);
}

bool writesToFile(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
}

}  // namespace lm

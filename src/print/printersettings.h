#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>

#include <memory>

namespace lm {

// The settings of a printer the print dialog shows and returns: which printer
// (or which PDF file), copies, duplex, orientation, paper size, resolution,
// colour mode and paper source. Kept in memory only.
struct PrinterSettings {
    QString printerName;  // empty for PDF output
    QPrinter::OutputFormat outputFormat = QPrinter::NativeFormat;
    QString outputFileName;
    int copies = 1;
    bool collate = true;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize pageSize;
    int resolution = 0;
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::PaperSource paperSource = QPrinter::Auto;

    static PrinterSettings of(const QPrinter& printer);
    // A printer for these settings. A printer that is no longer installed
    // gives the system's choice of printer with the other settings.
    std::unique_ptr<QPrinter> makePrinter() const;
    // Copies everything but the printer (or file) itself onto `printer`.
    void applyTo(QPrinter& printer) const;
};

// True when `printer` writes a file instead of sending its pages to a printer.
bool writesToFile(const QPrinter& printer);

}  // namespace lm

#include "print/printjob.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <optional>

#include "print/cupsjoboutcome.h"
#include "paint/labelsheet.h"
#include "paint/pdfsheetwriter.h"
#include "print/printersettings.h"
#include "paint/sheetpainter.h"

namespace lm {
namespace {

// One print document per sheet on the printer, measured from the printable
// area's corner.
class PrinterJob : public PrintJob {
  public:
    PrinterJob(QPrinter& printer, const QString& name, const SheetPaintOptions& options)
        : m_printer(printer), m_name(name), m_options(options) {
        // Label positions count from the corner of the area the printer can
        // print on; Qt's default page margins would move every label.
        QPageLayout layout = m_printer.pageLayout();
        if (layout.margins() != layout.minimumMargins())
            m_printer.setPageMargins(layout.minimumMargins(), layout.units());
    }

    void setDocumentName(const QString& name) override { m_name = name; }

    Status printSheet(const LabelSheet& sheet) override {
        if (m_failure) return *m_failure;
        m_printer.setDocName(m_name);
        if (!m_printer.isValid()) return fail(QStringLiteral("is not available"));
        QPainter painter;
        if (!painter.begin(&m_printer)) return fail(QStringLiteral("did not accept the print job"));
        paintSheet(painter, sheet, m_options);
        if (!painter.end() || m_printer.printerState() == QPrinter::Error)
            return fail(QStringLiteral("did not take the print job to the end"));
        if (std::optional<QString> refused = cupsJobRefusal())
            return fail(QStringLiteral("did not get the print job: ") + *refused);
        ++m_sheets;
        return {};
    }

    Status finish() override { return m_failure ? Status(*m_failure) : Status(); }
    int sheetCount() const override { return m_sheets; }

  private:
    // "the printer "office" did not ...": the reason names the printer.
    Status fail(const QString& what) {
        const QString reason =
            QStringLiteral("the printer \"%1\" %2").arg(m_printer.printerName(), what);
        m_failure = Error{std::string(), reason.toStdString()};
        return *m_failure;
    }

    QPrinter& m_printer;
    QString m_name;
    SheetPaintOptions m_options;
    int m_sheets = 0;
    std::optional<Error> m_failure;
};

// The whole job is one PDF file, put in place when the job finishes.
class PdfFileJob : public PrintJob {
  public:
    PdfFileJob(const QString& path, const QString& name, const SheetPaintOptions& options)
        : m_path(path), m_writer(path) {
        m_writer.setTitle(name);
        m_writer.setPaintOptions(options);
    }

    // The PDF has one title, the one the job started with.
    void setDocumentName(const QString&) override {}

    Status printSheet(const LabelSheet& sheet) override {
        if (m_path.isEmpty())
            return Error{std::string(), "no file was chosen for the printer's output"};
        return m_writer.addSheet(sheet);
    }

    Status finish() override {
        if (m_writer.sheetCount() == 0) return {};
        return m_writer.finish();
    }

    int sheetCount() const override { return m_writer.sheetCount(); }

  private:
    QString m_path;
    PdfSheetWriter m_writer;
};

}  // namespace

std::unique_ptr<PrintJob> PrintJob::start(QPrinter& printer, const QString& documentName,
                                          const SheetPaintOptions& options) {
    if (writesToFile(printer))
        return std::make_unique<PdfFileJob>(printer.outputFileName(), documentName, options);
    return std::make_unique<PrinterJob>(printer, documentName, options);
}

}  // namespace lm

#include "paint/pdfsheetwriter.h"

#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <optional>

#include "paint/labelsheet.h"
#include "paint/sheetpainter.h"

namespace lm {
namespace {

constexpr double kTwipsPerPoint = 20.0;
// One device unit per twip keeps label positions exact in the file.
constexpr int kTwipsPerInchResolution = 1440;

// Passes the PDF engine's output on to the real device and remembers the
// first write that did not go through: the engine itself does not check.
class CheckedDevice : public QIODevice {
  public:
    explicit CheckedDevice(QIODevice* target) : m_target(target) {}

    bool isSequential() const override { return true; }
    bool failed() const { return m_failed; }
    QString failure() const { return m_failure; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override {
        if (m_failed) return -1;
        qint64 done = 0;
        while (done < length) {
            qint64 written = m_target->write(data + done, length - done);
            if (written <= 0) {
                m_failed = true;
                m_failure = m_target->errorString();
                return -1;
            }
            done += written;
        }
        return length;
    }

  private:
    QIODevice* m_target;
    bool m_failed = false;
    QString m_failure;
};

// The sheet's own page, in points, with no margins.
QPageLayout pageLayoutFor(const LabelSheet& sheet) {
    QPageSize size(sheet.pageSize / kTwipsPerPoint, QPageSize::Point, QString(),
                   QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF());
}

}  // namespace

struct PdfSheetWriter::Private {
    QString path;  // empty when writing to a caller's device
    QIODevice* target = nullptr;
    QString title;
    std::unique_ptr<QSaveFile> file;
    std::unique_ptr<CheckedDevice> device;
    std::unique_ptr<QPdfWriter> writer;
    std::unique_ptr<QPainter> painter;  // destroyed first, ending the document
    SheetPaintOptions options;
    int sheets = 0;
    bool finished = false;
    std::optional<Error> failure;

    Status fail(const QString& reason) {
        failure = Error{path.toStdString(), reason.toStdString()};
        return *failure;
    }
    Status checkDevice() {
        if (device && device->failed()) return fail(device->failure());
        return {};
    }
    Status begin(const QPageLayout& layout);
};

Status PdfSheetWriter::Private::begin(const QPageLayout& layout) {
    if (!path.isEmpty()) {
        file = std::make_unique<QSaveFile>(path);
        if (!file->open(QIODevice::WriteOnly)) return fail(file->errorString());
        target = file.get();
    }
    if (!target || !target->isWritable())
        return fail(QStringLiteral("the output is not open for writing"));
    device = std::make_unique<CheckedDevice>(target);
    device->open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    writer = std::make_unique<QPdfWriter>(device.get());
    writer->setResolution(kTwipsPerInchResolution);
    writer->setCreator(QStringLiteral("Kelvarine Label Maker"));
    writer->setTitle(title);
    if (!writer->setPageLayout(layout)) return fail(QStringLiteral("the sheet has no page size"));
    painter = std::make_unique<QPainter>();
    if (!painter->begin(writer.get()))
        return fail(QStringLiteral("the PDF document could not be started"));
    return {};
}

PdfSheetWriter::PdfSheetWriter(const QString& path) : d(std::make_unique<Private>()) {
    d->path = path;
}

PdfSheetWriter::PdfSheetWriter(QIODevice* device) : d(std::make_unique<Private>()) {
    d->target = device;
}

PdfSheetWriter::~PdfSheetWriter() = default;

void PdfSheetWriter::setTitle(const QString& title) {
    d->title = title;
}

void PdfSheetWriter::setPaintOptions(const SheetPaintOptions& options) {
    d->options = options;
}

int PdfSheetWriter::sheetCount() const {
    return d->sheets;
}

Status PdfSheetWriter::addSheet(const LabelSheet& sheet) {
    if (d->failure) return *d->failure;
    if (d->finished) return d->fail(QStringLiteral("the PDF document is already complete"));
    const QPageLayout layout = pageLayoutFor(sheet);
    if (!d->painter) {
        Status started = d->begin(layout);
        if (!started) return started;
    } else {
        if (!d->writer->setPageLayout(layout))
            return d->fail(QStringLiteral("the sheet has no page size"));
        if (!d->writer->newPage())
            return d->fail(QStringLiteral("a new PDF page could not be started"));
    }
    paintSheet(*d->painter, sheet, d->options);
    ++d->sheets;
    return d->checkDevice();
}

Status PdfSheetWriter::finish() {
    if (d->failure) return *d->failure;
    if (d->finished) return {};
    if (d->sheets == 0) return d->fail(QStringLiteral("there are no label sheets to write"));
    if (!d->painter->end())
        return d->fail(QStringLiteral("the PDF document could not be completed"));
    Status written = d->checkDevice();
    if (!written) return written;
    if (d->file && !d->file->commit()) return d->fail(d->file->errorString());
    d->finished = true;
    return {};
}

}  // namespace lm

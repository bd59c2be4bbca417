// The PDF sheet writer: one document, one page per sheet at the sheet's own
// size, and failures reported with the file and the reason, never a damaged
// or half-written file left in place.

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "core/labeltypes.h"
#include "paint/labelsheet.h"
#include "paint/pdfsheetwriter.h"
#include "paintfixtures.h"
#include "pdfwords.h"

namespace {

// Accepts `capacity` bytes, then refuses every write, as a full disk does.
class FullDevice : public QIODevice {
  public:
    explicit FullDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly); }
    QByteArray data;

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* bytes, qint64 length) override {
        qint64 room = m_capacity - data.size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        qint64 taken = qMin(room, length);
        data.append(bytes, taken);
        return taken;
    }

  private:
    qint64 m_capacity;
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class TestPdfSheetWriter : public QObject {
    Q_OBJECT

  private slots:
    void onePagePerSheetAtTheSheetsSize() {
        const QString file = path(QStringLiteral("mixed.pdf"));
        QString error;
        QVERIFY2(writePdf(file,
                          {numberedSheet(lm::kSp1), numberedSheet(lm::kMailer1),
                           numberedSheet(lm::kSlb), numberedSheet(lm::kMailer1)},
                          &error),
                 qPrintable(error));
        QList<PdfPage> pages;
        QVERIFY2(readPdfWords(file, &pages, &error), qPrintable(error));
        QCOMPARE(pages.size(), 4);
        const QSizeF letter(12240, 15840), mailer(12960, 7920);
        const QList<QSizeF> sizes{letter, mailer, letter, mailer};
        const QList<int> wordCounts{40, 3, 20, 3};
        for (int i = 0; i < pages.size(); ++i) {
            QCOMPARE(QSizeF(pages[i].width, pages[i].height), sizes[i]);
            QCOMPARE(pages[i].words.size(), wordCounts[i]);
        }
        // Each sheet keeps its own positions on its own page.
        QVERIFY(pages[1].word(QStringLiteral("P02")));
        QVERIFY(qAbs(pages[1].word(QStringLiteral("P02"))->top - (1090 - 700)) <= 0.5);
        QVERIFY(pages[2].word(QStringLiteral("P11")));
    }
    void documentProperties() {
        const QString file = path(QStringLiteral("titled.pdf"));
        lm::PdfSheetWriter writer(file);
        writer.setTitle(QStringLiteral("LABELS.DAT"));
        QVERIFY(writer.addSheet(numberedSheet(lm::kSp1)).ok());
        QVERIFY(writer.finish().ok());
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {file});
        QVERIFY(info.waitForFinished(60000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Title:\\s+LABELS.DAT"))),
                 qPrintable(text));
        QVERIFY2(
            text.contains(QRegularExpression(QStringLiteral("Creator:\\s+Kelvarine Label Maker"))),
            qPrintable(text));
    }
    void missingFolderIsReported() {
        const QString file = path(QStringLiteral("no/such/folder/out.pdf"));
        lm::PdfSheetWriter writer(file);
        lm::Status added = writer.addSheet(numberedSheet(lm::kSp1));
        QVERIFY(!added.ok());
        QCOMPARE(QString::fromStdString(added.error().path), file);
        QVERIFY(!added.error().reason.empty());
        // The failure sticks: later calls say the same and write nothing.
        lm::Status again = writer.addSheet(numberedSheet(lm::kSp1));
        QVERIFY(!again.ok());
        QCOMPARE(again.error().reason, added.error().reason);
        QVERIFY(!writer.finish().ok());
        QVERIFY(!QFile::exists(file));
        // A finished writer takes no more sheets.
        lm::PdfSheetWriter finished(path(QStringLiteral("finished.pdf")));
        QVERIFY(finished.addSheet(numberedSheet(lm::kSp1)).ok() && finished.finish().ok());
        QVERIFY(!finished.addSheet(numberedSheet(lm::kSp1)).ok());
    }
    // An earlier file of the name stays as it was until a document with at least
    // one sheet is finished; no temporary file is left behind.
    void theFileIsReplacedOnlyByAFinishedDocument() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("out.pdf"));
        QVERIFY(writeBytes(file, "previous content"));
        lm::Status finished = lm::PdfSheetWriter(file).finish();
        QVERIFY(!finished.ok());
        QCOMPARE(QString::fromStdString(finished.error().path), file);
        {
            lm::PdfSheetWriter unfinished(file);
            QVERIFY(unfinished.addSheet(numberedSheet(lm::kSp1)).ok());
            QVERIFY(unfinished.addSheet(numberedSheet(lm::kSp1)).ok());
        }
        QCOMPARE(readAll(file), QByteArray("previous content"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("out.pdf")});

        QString error;
        QVERIFY2(writePdf(file, {numberedSheet(lm::kSp1)}, &error), qPrintable(error));
        QVERIFY(readAll(file).startsWith("%PDF-"));
    }
    void fullDeviceIsReported_data() {
        QTest::addColumn<double>("fraction");  // of the complete document's size
        QTest::newRow("nothing fits") << 0.0;
        QTest::newRow("half fits") << 0.5;
        QTest::newRow("all but the end fits") << 0.99;
    }
    // Whenever the device fills up, the writer says so: at that sheet, a later
    // one, or at the latest when the document is finished.
    void fullDeviceIsReported() {
        QFETCH(double, fraction);
        const QList<lm::LabelSheet> sheets{numberedSheet(lm::kSp1), numberedSheet(lm::kSl4),
                                           numberedSheet(lm::kMailer1)};
        QBuffer complete;
        QVERIFY(complete.open(QIODevice::WriteOnly));
        {
            lm::PdfSheetWriter writer(&complete);
            for (const lm::LabelSheet& sheet : sheets) QVERIFY(writer.addSheet(sheet).ok());
            QVERIFY(writer.finish().ok());
        }
        FullDevice device(qint64(complete.data().size() * fraction));
        lm::PdfSheetWriter writer(&device);
        lm::Status status;
        for (const lm::LabelSheet& sheet : sheets) {
            status = writer.addSheet(sheet);
            if (!status.ok()) break;
        }
        if (status.ok()) status = writer.finish();
        QVERIFY(!status.ok());
        QCOMPARE(QString::fromStdString(status.error().reason),
                 QStringLiteral("No space left on device"));
    }

  private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestPdfSheetWriter)
#include "tst_pdfsheetwriter.moc"

// labelmaker-cli pdf: one PDF page per sheet, with the settings file's margins
// and label type; what it refuses and how it fails. Where each label lands is
// the label sheet's and the painter's work; here one word shows that the
// command hands the settings over (within half a twip, as the painter's tests).

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPointF>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "clirun.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "core/settings.h"
#include "core/startposition.h"
#include "pdfprobe.h"

using clitest::Args;
using clitest::CliRun;
using clitest::folderEntries;
using clitest::readBytes;
using clitest::runCli;
using clitest::writeBytes;

Q_DECLARE_METATYPE(std::string)

namespace {

constexpr double kTolerance = 0.5;  // twips

// Labels "L1" .. "Ln", one word each.
QByteArray numberedLabels(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) bytes += "L" + QByteArray::number(i) + "~~";
    return bytes;
}

QStringList words(const PdfPage& page) {
    QStringList list;
    for (const PdfWord& w : page.words) list << w.text;
    return list;
}

}  // namespace

// Sets "S1~~A1~~B1~~" .. for a type of `pockets` pocket labels a set.
QByteArray numberedSets(int count, int pockets) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) {
        bytes += "S" + QByteArray::number(i) + "~~";
        for (int j = 0; j < pockets; ++j) bytes += char('A' + j) + QByteArray::number(i) + "~~";
    }
    return bytes;
}

class TestPdfCommand : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_folders = std::make_unique<clitest::CommandFolders>();
        QVERIFY(m_folders->valid());
    }
    void oneSheetPerPage() {
        CliRun run;
        QList<PdfPage> pages = pdfOf(numberedLabels(41), {}, &run);
        QCOMPARE(run.out, "2 sheets written to " + path("labels.pdf").toStdString() + "\n");
        QCOMPARE(pages.size(), 2);
        QCOMPARE(words(pages[0]).size(), 40);
        QCOMPARE(words(pages[1]), QStringList{QStringLiteral("L41")});
        // Without a settings file the defaults are used (Times New Roman 11, a
        // line of about 12 points) and none is created.
        const double height = pages[0].words[0].bottom - pages[0].words[0].top;
        QVERIFY2(height > 11 * 20 && height < 11 * 20 * 1.3, qPrintable(QString::number(height)));
        QCOMPARE(folderEntries(m_folders->work.path()), QStringList());

        // Mailer-1 holds three labels on a sheet of its own size; --type also
        // stands in for a label type the settings file cannot name.
        writeSettings([](lm::Settings& s) { s.LabelType = 0; });
        pages = pdfOf(numberedLabels(7), {"--type", "9"});
        QCOMPARE(pages.size(), 3);
        QCOMPARE(words(pages[2]), QStringList{QStringLiteral("L7")});
    }
    // sp1 and sp2 are printed on the same sheet: --type 2 with sp1 settings
    // keeps the operator's page margins, as sp2 settings with them would. Another
    // sheet's settings give way to sp2's own page margins; the inner margin
    // always comes from the settings.
    void sp1AndSp2ShareTheSettingsMargins() {
        auto firstLabel = [&](int settingsType, const Args& options) {
            writeSettings([settingsType](lm::Settings& s) {
                s.LabelType = settingsType;
                s.PageTopMargin = 1000;
                s.PageLeftMargin = 800;
                s.SpineLeftMargin = 100;
            });
            const QByteArray before = readBytes(settingsPath());
            QList<PdfPage> pages = pdfOf(numberedLabels(4), options);
            const PdfWord* found = pages.isEmpty() ? nullptr : pages[0].word(QStringLiteral("L1"));
            if (readBytes(settingsPath()) != before) return QPointF(-2, -2);
            return found ? QPointF(found->left, found->top) : QPointF(-1, -1);
        };
        auto near = [](QPointF found, QPointF wanted) {
            return (found - wanted).manhattanLength() < 2 * kTolerance;
        };
        const QPointF ownSettings = firstLabel(lm::kSp2, {});
        QVERIFY2(near(ownSettings, {800 + 100, 1000 + 144}),
                 qPrintable(QStringLiteral("%1,%2").arg(ownSettings.x()).arg(ownSettings.y())));
        QCOMPARE(firstLabel(lm::kSp1, {"--type", "2"}), ownSettings);
        QVERIFY(near(firstLabel(lm::kSl4, {"--type", "2"}), {640 + 100, 920 + 144}));
    }
    void startPositionMovesTheSetsOn_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sets");
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<int>>("perSheet");  // sets on each sheet, in order
        QTest::newRow("85 of sp1 from 10: the file flows on")
            << int(lm::kSp1) << 85 << 10 << QList<int>{31, 40, 14};
        QTest::newRow("a full page from 2") << int(lm::kSp1) << 40 << 2 << QList<int>{39, 1};
        QTest::newRow("ending on a full sheet") << int(lm::kSp1) << 41 << 40 << QList<int>{1, 40};
        QTest::newRow("sp2 counts every spine label")
            << int(lm::kSp2) << 4 << 39 << QList<int>{2, 2};
        QTest::newRow("sl4: the pockets move with their spine")
            << int(lm::kSl4) << 3 << 9 << QList<int>{2, 1};
        QTest::newRow("slb2 from 8") << int(lm::kSlb2) << 2 << 8 << QList<int>{1, 1};
    }
    // Every set lands in the box of the position it moved to, its pocket labels
    // in their boxes beside it, and the sheets hold the sets in file order.
    void startPositionMovesTheSetsOn() {
        QFETCH(int, type);
        QFETCH(int, sets);
        QFETCH(int, start);
        QFETCH(QList<int>, perSheet);
        const lm::LabelTypeInfo* info = lm::labelTypeInfo(type);
        writeSettings([type, info](lm::Settings& s) {
            s.LabelType = type;
            s.PageTopMargin = info->defaultTopMargin;
            s.PageLeftMargin = info->defaultLeftMargin;
        });
        const QList<PdfPage> pages =
            pdfOf(numberedSets(sets, info->pocketsPerSet), {"--start", std::to_string(start)});
        QCOMPARE(pages.size(), perSheet.size());
        const lm::PageGeometry geometry =
            lm::pageGeometry(type, info->defaultTopMargin, info->defaultLeftMargin);
        auto inBox = [&](const PdfPage& page, const QString& text, const lm::LabelPlacement* box) {
            const PdfWord* word = page.word(text);
            if (!word || !box) return false;
            const double top = box->top - info->printVerticalCorrection;
            return word->left >= box->left && word->right <= box->left + box->width &&
                   word->top >= top && word->bottom <= top + box->height;
        };
        int set = 1;
        int position = start;
        for (int sheet = 0; sheet < perSheet.size(); ++sheet) {
            const PdfPage& page = pages[sheet];
            QCOMPARE(page.words.size(), perSheet[sheet] * info->textsPerSet());
            for (int k = 0; k < perSheet[sheet]; ++k, ++set, ++position) {
                if (position > lm::startPositionCount(type)) position = 1;
                const lm::SetElements place = lm::setElements(type, position);
                const QString number = QString::number(set);
                QVERIFY2(inBox(page, QStringLiteral("S") + number, geometry.spine(place.spine)),
                         qPrintable(QStringLiteral("S%1 not at position %2 of sheet %3")
                                        .arg(number)
                                        .arg(position)
                                        .arg(sheet + 1)));
                for (int j = 0; j < info->pocketsPerSet; ++j)
                    QVERIFY2(
                        inBox(page, QChar(u'A' + j) + number, geometry.pocket(place.pockets[j])),
                        qPrintable(QStringLiteral("pocket %1 of set %2").arg(j).arg(number)));
            }
        }
        QCOMPARE(set - 1, sets);
    }
    void startPositionTheSheetDoesNotHave_data() {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("start");
        QTest::addColumn<std::string>("message");
        QTest::newRow("above sp1's 40")
            << "1"
            << "41" << std::string("--start 41: a sheet of sp1 holds labels 1 to 40\n");
        QTest::newRow("0") << "3"
                           << "0"
                           << std::string("--start 0: a sheet of sl4 holds labels 1 to 10\n");
        QTest::newRow("Mailer-1 from 2")
            << "9"
            << "2"
            << std::string(
                   "--start 2: Mailer-1 has one label set a sheet, so printing always starts "
                   "at label 1\n");
        QTest::newRow("no number") << "1"
                                   << "x" << std::string("--start x: that is not a label number\n");
    }
    void startPositionTheSheetDoesNotHave() {
        QFETCH(QString, type);
        QFETCH(QString, start);
        QFETCH(std::string, message);
        QVERIFY(writeBytes(path("labels.dat"), numberedLabels(3)));
        CliRun run = runCli({"pdf", "--type", type.toStdString(), "--start", start.toStdString(),
                             path("labels.dat").toStdString(), path("out.pdf").toStdString()});
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.rfind("labelmaker-cli pdf: " + message, 0) == 0, run.err.c_str());
        QVERIFY(!QFile::exists(path("out.pdf")));
    }
    void refusedOrFailed_data() {
        QTest::addColumn<QByteArray>("labels");
        QTest::addColumn<QByteArray>("settings");  // "<none>": no file
        QTest::addColumn<QString>("pdfName");
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("message");  // how it begins; {labels}, {pdf}, {settings}
        const QByteArray some = numberedLabels(3), none = "<none>";  // no settings file
        const QString pdf = QStringLiteral("out.pdf");
        auto row = [](const char* name, const QByteArray& labels, const QByteArray& settings,
                      const QString& pdfName, int status, const char* message) {
            QTest::newRow(name) << labels << settings << pdfName << status << std::string(message);
        };
        row("empty label file", "", none, pdf, 2,
            "labelmaker-cli pdf: {labels} holds no labels; no PDF was written\n");
        row("PDF in a missing folder", some, none, QStringLiteral("missing/out.pdf"), 1,
            "labelmaker-cli: {pdf}: No such file or directory\n");
        row("PDF is the label file", some, none, QStringLiteral("labels.dat"), 2,
            "labelmaker-cli pdf: {pdf} is the label file itself; no PDF was written\n");
        row("settings of too few items", some, "Times New Roman,11\r\n", pdf, 1,
            "labelmaker-cli: {settings}: ");
        lm::Settings typeZero = lm::defaultSettings();
        typeZero.LabelType = 0;
        row("settings of label type 0", some,
            QByteArray::fromStdString(lm::formatSettingsLine(typeZero)), pdf, 2,
            "labelmaker-cli pdf: the settings file names label type 0, which is not 1 to 10; give "
            "--type\n");
    }
    void refusedOrFailed() {
        QFETCH(QByteArray, labels);
        QFETCH(QByteArray, settings);
        QFETCH(QString, pdfName);
        QFETCH(int, status);
        QFETCH(std::string, message);
        const std::string labelFile = path("labels.dat").toStdString();
        const std::string pdf = m_folders->files.filePath(pdfName).toStdString();
        QVERIFY(writeBytes(path("labels.dat"), labels));
        if (settings != "<none>") QVERIFY(writeBytes(settingsPath(), settings));
        // An earlier PDF of that name stays as it was.
        QVERIFY(writeBytes(path("out.pdf"), "%PDF-1.4 earlier"));
        const QStringList before = folderEntries(m_folders->files.path());

        CliRun run = runCli({"pdf", labelFile, pdf});
        QCOMPARE(run.status, status);
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"{labels}", labelFile},
                                         {"{pdf}", pdf},
                                         {"{settings}", settingsPath().toStdString()}})
            for (std::size_t at = message.find(key); at != std::string::npos;
                 at = message.find(key))
                message.replace(at, key.size(), value);
        QVERIFY2(run.err.rfind(message, 0) == 0, run.err.c_str());
        QCOMPARE(run.out, std::string());
        QCOMPARE(folderEntries(m_folders->files.path()), before);
        QCOMPARE(readBytes(path("out.pdf")), QByteArray("%PDF-1.4 earlier"));
        QCOMPARE(readBytes(path("labels.dat")), labels);
        if (settings != "<none>") QCOMPARE(readBytes(settingsPath()), settings);
    }
    // Drawing needs Qt Gui: a running QGuiApplication is used, a QCoreApplication
    // is refused with a reason instead of crashing in the font code.
    void theApplicationObject() {
        int argc = 1;
        char name[] = "tst_pdfcommand";
        char* argv[] = {name, nullptr};
        {
            QGuiApplication app(argc, argv);
            QCOMPARE(pdfOf(numberedLabels(41)).size(), 2);
            QCOMPARE(QCoreApplication::instance(), &app);
        }
        QVERIFY(QFile::remove(path("labels.pdf")));
        QCoreApplication app(argc, argv);
        CliRun run;
        QVERIFY(pdfOf(numberedLabels(2), {}, &run).isEmpty());
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err,
                 "labelmaker-cli: " + path("labels.pdf").toStdString() +
                     ": the program runs without Qt Gui, which drawing the labels needs\n");
        QVERIFY(!QFile::exists(path("labels.pdf")));
    }

  private:
    QString path(const char* name) const { return m_folders->files.filePath(QLatin1String(name)); }
    QString settingsPath() const { return m_folders->work.filePath(QStringLiteral("$$$set.val")); }
    // Writes the default settings with `change` made.
    template <typename Change>
    void writeSettings(Change change) {
        lm::Settings settings = lm::defaultSettings();
        change(settings);
        QVERIFY(lm::writeSettingsFile(settingsPath().toStdString(), settings).ok());
    }
    // Runs pdf on `labels`; the PDF's pages, or none when the run or the reading failed.
    QList<PdfPage> pdfOf(const QByteArray& labels, const Args& options = {},
                         CliRun* run = nullptr) {
        const QString pdf = path("labels.pdf");
        if (!writeBytes(path("labels.dat"), labels)) qFatal("cannot write the label file");
        Args args{"pdf"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(path("labels.dat").toStdString());
        args.push_back(pdf.toStdString());
        CliRun local;
        CliRun& result = run ? *run : local;
        result = runCli(args);
        QList<PdfPage> pages;
        QString error;
        if (result.status != 0)
            qWarning("pdf exited with %d: %s", result.status, result.err.c_str());
        else if (!readPdfWords(pdf, &pages, &error))
            qWarning("%s", qPrintable(error));
        return pages;
    }

    std::unique_ptr<clitest::CommandFolders> m_folders;
};

QTEST_APPLESS_MAIN(TestPdfCommand)
#include "tst_pdfcommand.moc"
// labelmaker-cli pdf: one PDF page per sheet, as the window pages through the
// file, with the settings file's fonts, alignment, margins and label type;
// where the first label's text lands; what it refuses and how it fails.
//
// Positions are compared within half a twip: the PDF is written at one device
// unit per twip and pdftotext reports to a millionth of a point, and a word's
// top is its line's top (both take the ascent from the same font).

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "clirun.h"
#include "core/labeltypes.h"
#include "core/settings.h"
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
constexpr double kLetterWidth = 12240, kLetterHeight = 15840;
constexpr double kMailerWidth = 12960, kMailerHeight = 7920;

// Labels "L1" .. "Ln", one word each.
QByteArray numberedLabels(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) bytes += "L" + QByteArray::number(i) + "~~";
    return bytes;
}

QString label(int number) {
    return QStringLiteral("L%1").arg(number);
}

// How a settings file of the test differs from the defaults.
struct SettingsChange {
    int labelType = lm::kSp1;
    int top = 920;
    int left = 640;
    int spineLeft = 35;
    int pocketLeft = 30;
    int alignment = 0;
    int spineSize = 11;
};

}  // namespace

Q_DECLARE_METATYPE(SettingsChange)

class TestPdfCommand : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void helpListsTheCommand();
    void fortyOneSp1LabelsGiveTwoSheets();
    void mailerSheetsByTypeOverride();
    void settingsPlaceTheLabels_data();
    void settingsPlaceTheLabels();
    void settingsFontAndAlignment();
    void withoutSettingsFileNoneIsCreated();
    void unreadableSettingsFile_data();
    void unreadableSettingsFile();
    void refusedOrFailed_data();
    void refusedOrFailed();
    void aRunningGuiApplicationIsUsed();
    void aCoreApplicationCannotDraw();
    void theRealProgramWithoutDisplay();

  private:
    QString path(const char* name) const { return m_dir->filePath(QLatin1String(name)); }
    QString settingsPath() const { return m_work->filePath(QStringLiteral("$$$set.val")); }
    void writeSettings(const SettingsChange& change);
    // Runs pdf on `labels` and reads the PDF back; fails the test when either fails.
    QList<PdfPage> pdfOf(const QByteArray& labels, const Args& options = {});

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_work;  // the working folder, where the settings are
};

void TestPdfCommand::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid() && m_work->isValid());
    qputenv("QORTEX_DIR", QFile::encodeName(m_work->path()));
}

void TestPdfCommand::writeSettings(const SettingsChange& change) {
    lm::Settings settings = lm::defaultSettings();
    settings.LabelType = change.labelType;
    settings.PageTopMargin = change.top;
    settings.PageLeftMargin = change.left;
    settings.SpineLeftMargin = change.spineLeft;
    settings.PocketLeftMargin = change.pocketLeft;
    settings.LabelAlignment = change.alignment;
    settings.SpineFontSize = change.spineSize;
    QVERIFY(lm::writeSettingsFile(settingsPath().toStdString(), settings).ok());
}

QList<PdfPage> TestPdfCommand::pdfOf(const QByteArray& labels, const Args& options) {
    const QString labelFile = path("labels.dat");
    const QString pdf = path("labels.pdf");
    if (!writeBytes(labelFile, labels)) qFatal("cannot write the label file");
    Args args{"pdf"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(labelFile.toStdString());
    args.push_back(pdf.toStdString());
    CliRun run = runCli(args);
    QList<PdfPage> pages;
    QString error;
    if (run.status != 0) {
        qWarning("pdf exited with %d: %s", run.status, run.err.c_str());
    } else if (!readPdf(pdf, &pages, &error)) {
        qWarning("%s", qPrintable(error));
    }
    return pages;
}

void TestPdfCommand::helpListsTheCommand() {
    CliRun help = runCli({"pdf", "--help"});
    QCOMPARE(help.status, 0);
    QVERIFY(help.out.rfind("Usage: labelmaker-cli pdf [--type N] LABELFILE OUT.pdf\n", 0) == 0);
    QVERIFY(help.out.find("Without a settings file\nthe defaults are used") != std::string::npos);
    QVERIFY(help.out.find("none is\ncreated") != std::string::npos);
}

void TestPdfCommand::fortyOneSp1LabelsGiveTwoSheets() {
    const QString labelFile = path("sp1.dat");
    const QString pdf = path("sp1.pdf");
    QVERIFY(writeBytes(labelFile, numberedLabels(41)));
    CliRun run = runCli({"pdf", labelFile.toStdString(), pdf.toStdString()});
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(run.out, "2 sheets written to " + pdf.toStdString() + "\n");
    QString error;
    QCOMPARE(pdfPageCount(pdf, &error), 2);

    QList<PdfPage> pages;
    QVERIFY2(readPdf(pdf, &pages, &error), qPrintable(error));
    QCOMPARE(pages.size(), 2);
    QStringList first;
    for (int i = 1; i <= 40; ++i) first << label(i);
    QCOMPARE(pages[0].texts(), first);
    QCOMPARE(pages[1].texts(), QStringList{label(41)});
    for (const PdfPage& page : pages) {
        QCOMPARE(page.width, kLetterWidth);
        QCOMPARE(page.height, kLetterHeight);
    }
    // sp1 with the default settings: the first set at (640, 920), the text
    // inside the spine margins (35 left, 144 top); 8 columns 1386 apart, rows 3015.
    const double x = 640 + 35, y = 920 + 144;
    const struct {
        int page;
        int number;
        double left;
        double top;
    } expected[] = {{0, 1, x, y}, {0, 40, x + 7 * 1386, y + 4 * 3015}, {1, 41, x, y}};
    for (const auto& e : expected) {
        const PdfWord* word = pages[e.page].word(label(e.number));
        QVERIFY2(word, qPrintable(label(e.number)));
        QVERIFY2(qAbs(word->left - e.left) < kTolerance, qPrintable(label(e.number)));
        QVERIFY2(qAbs(word->top - e.top) < kTolerance, qPrintable(label(e.number)));
    }
    QVERIFY2(!QFile::exists(settingsPath()), "the tool must not write the settings");
}

void TestPdfCommand::mailerSheetsByTypeOverride() {
    // The settings are sp1's; Mailer-1 is on a sheet of its own and starts
    // from its own margins (top 1090, left 360), every label 700 twips higher
    // than on screen, its text 50 twips in.
    QList<PdfPage> pages = pdfOf(numberedLabels(7), {"--type", "9"});
    QCOMPARE(pages.size(), 3);  // three labels a sheet
    for (const PdfPage& page : pages) {
        QCOMPARE(page.width, kMailerWidth);
        QCOMPARE(page.height, kMailerHeight);
    }
    const double x = 360 + 50;
    // The file's first text is the spine label, then its two pockets.
    const struct {
        int number;
        double top;
    } expected[] = {{1, 1090 + 1620 - 700 + 144}, {2, 1090 - 700}, {3, 1090 + 1620 + 3780 - 700}};
    for (const auto& e : expected) {
        const PdfWord* word = pages[0].word(label(e.number));
        QVERIFY2(word, qPrintable(label(e.number)));
        QVERIFY(qAbs(word->left - x) < kTolerance);
        QVERIFY2(qAbs(word->top - e.top) < kTolerance, qPrintable(QString::number(word->top)));
    }
    QCOMPARE(pages[2].texts(), QStringList{label(7)});
}

void TestPdfCommand::settingsPlaceTheLabels_data() {
    QTest::addColumn<SettingsChange>("settings");
    QTest::addColumn<Args>("options");
    QTest::addColumn<QString>("word");
    QTest::addColumn<double>("left");  // twips
    QTest::addColumn<double>("top");

    SettingsChange sl4;
    sl4.labelType = lm::kSl4;
    sl4.top = 1000;
    sl4.left = 800;
    sl4.spineLeft = 100;
    sl4.pocketLeft = 60;
    QTest::newRow("sl4 from the settings: spine")
        << sl4 << Args{} << label(1) << 800.0 + 100 << 1000.0 + 144;
    QTest::newRow("sl4 from the settings: second pocket")
        << sl4 << Args{} << label(3) << 800.0 + 1386 + 60 << 1000.0 + 1170;
    QTest::newRow("--type of another sheet: its own page margins, the settings' inner margin")
        << sl4 << Args{"--type", "1"} << label(1) << 640.0 + 100 << 920.0 + 144;
    QTest::newRow("--type sp1/sp2-f2: 150 twips higher")
        << sl4 << Args{"--type=8"} << label(1) << 390.0 + 100 << 690.0 - 150 + 144;

    SettingsChange sp1;
    sp1.top = 1500;
    sp1.left = 1000;
    QTest::newRow("sp1 with moved margins") << sp1 << Args{} << label(1) << 1035.0 << 1644.0;
}

void TestPdfCommand::settingsPlaceTheLabels() {
    QFETCH(SettingsChange, settings);
    QFETCH(Args, options);
    QFETCH(QString, word);
    QFETCH(double, left);
    QFETCH(double, top);
    writeSettings(settings);
    const QByteArray before = readBytes(settingsPath());
    QList<PdfPage> pages = pdfOf(numberedLabels(12), options);
    QVERIFY(!pages.isEmpty());
    const PdfWord* found = pages[0].word(word);
    QVERIFY2(found, qPrintable(pages[0].texts().join(QLatin1Char(' '))));
    QVERIFY2(qAbs(found->left - left) < kTolerance, qPrintable(QString::number(found->left)));
    QVERIFY2(qAbs(found->top - top) < kTolerance, qPrintable(QString::number(found->top)));
    QCOMPARE(readBytes(settingsPath()), before);
}

void TestPdfCommand::settingsFontAndAlignment() {
    // Right alignment puts the word's end at the spine label's right margin:
    // box 640 + 1290 minus 144; the 20 point font makes the line about 22 points high.
    SettingsChange change;
    change.alignment = 1;
    change.spineSize = 20;
    writeSettings(change);
    QList<PdfPage> pages = pdfOf(numberedLabels(1));
    QCOMPARE(pages.size(), 1);
    const PdfWord* word = pages[0].word(label(1));
    QVERIFY(word);
    QVERIFY2(qAbs(word->right - (640 + 1290 - 144)) < 20, qPrintable(QString::number(word->right)));
    const double height = word->bottom - word->top;
    QVERIFY2(height > 20 * 20 && height < 20 * 20 * 1.3, qPrintable(QString::number(height)));
}

void TestPdfCommand::withoutSettingsFileNoneIsCreated() {
    QList<PdfPage> pages = pdfOf(numberedLabels(3));
    QCOMPARE(pages.size(), 1);
    const PdfWord* word = pages[0].word(label(1));
    QVERIFY(word);
    // Times New Roman 11 (Liberation Serif): a line of about 12 points.
    QVERIFY2(word->bottom - word->top > 11 * 20 && word->bottom - word->top < 11 * 20 * 1.3,
             qPrintable(QString::number(word->bottom - word->top)));
    QCOMPARE(folderEntries(m_work->path()), QStringList());
}

void TestPdfCommand::unreadableSettingsFile_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Args>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<std::string>("message");  // "" for "names the settings file"
    QTest::newRow("too few items")
        << QByteArray("Times New Roman,11\r\n") << Args{} << 1 << std::string();
    QTest::newRow("a settings folder") << QByteArray("<folder>") << Args{} << 1 << std::string();
    const QByteArray typeZero = QByteArray::fromStdString(lm::formatSettingsLine([] {
        lm::Settings s = lm::defaultSettings();
        s.LabelType = 0;
        return s;
    }()));
    QTest::newRow("label type 0 without --type")
        << typeZero << Args{} << 2
        << std::string(
               "labelmaker-cli pdf: the settings file names label type 0, which is not "
               "1 to 10; give --type\n");
    QTest::newRow("label type 0 with --type")
        << typeZero << Args{"--type", "1"} << 0 << std::string();
}

void TestPdfCommand::unreadableSettingsFile() {
    QFETCH(QByteArray, content);
    QFETCH(Args, options);
    QFETCH(int, status);
    QFETCH(std::string, message);
    if (content == "<folder>")
        QVERIFY(QDir().mkpath(settingsPath()));
    else
        QVERIFY(writeBytes(settingsPath(), content));
    const QString labelFile = path("labels.dat");
    const QString pdf = path("labels.pdf");
    QVERIFY(writeBytes(labelFile, numberedLabels(2)));
    Args args{"pdf"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(labelFile.toStdString());
    args.push_back(pdf.toStdString());
    CliRun run = runCli(args);
    QCOMPARE(run.status, status);
    if (status == 0) {
        QVERIFY(QFile::exists(pdf));
        return;
    }
    if (message.empty())
        QVERIFY2(run.err.rfind("labelmaker-cli: " + settingsPath().toStdString() + ": ", 0) == 0,
                 run.err.c_str());
    else
        QVERIFY2(run.err.rfind(message, 0) == 0, run.err.c_str());
    QVERIFY(!QFile::exists(pdf));
    if (content != "<folder>") QCOMPARE(readBytes(settingsPath()), content);
}

void TestPdfCommand::refusedOrFailed_data() {
    QTest::addColumn<QByteArray>("labels");  // "<none>": no label file
    QTest::addColumn<QString>("labelName");
    QTest::addColumn<QString>("pdfName");
    QTest::addColumn<int>("status");
    QTest::addColumn<std::string>("message");  // {labels} and {pdf} stand for the paths

    const QByteArray some = numberedLabels(3);
    const QString labels = QStringLiteral("labels.dat"), pdf = QStringLiteral("out.pdf");
    QTest::newRow("empty label file")
        << QByteArray() << labels << pdf << 2
        << std::string("labelmaker-cli pdf: {labels} holds no labels; no PDF was written\n");
    QTest::newRow("missing label file")
        << QByteArray("<none>") << labels << pdf << 1
        << std::string("labelmaker-cli: {labels}: No such file or directory\n");
    QTest::newRow("label file is a folder")
        << QByteArray("<none>") << QStringLiteral("folder") << pdf << 1
        << std::string("labelmaker-cli: {labels}: Is a directory\n");
    QTest::newRow("PDF in a missing folder")
        << some << labels << QStringLiteral("missing/out.pdf") << 1
        << std::string("labelmaker-cli: {pdf}: No such file or directory\n");
    QTest::newRow("PDF is a folder") << some << labels << QStringLiteral("folder") << 1
                                     << std::string("labelmaker-cli: {pdf}: ");
    QTest::newRow("PDF is the label file")
        << some << labels << labels << 2
        << std::string("labelmaker-cli pdf: {pdf} is the label file itself; no PDF was written\n");
}

void TestPdfCommand::refusedOrFailed() {
    QFETCH(QByteArray, labels);
    QFETCH(QString, labelName);
    QFETCH(QString, pdfName);
    QFETCH(int, status);
    QFETCH(std::string, message);
    QVERIFY(QDir().mkpath(path("folder")));
    const QString labelFile = m_dir->filePath(labelName);
    const QString pdf = m_dir->filePath(pdfName);
    if (labels != "<none>") QVERIFY(writeBytes(labelFile, labels));
    // An earlier PDF of that name stays as it was.
    const QString earlierPdf = path("out.pdf");
    QVERIFY(writeBytes(earlierPdf, "%PDF-1.4 earlier"));
    const QStringList before = folderEntries(m_dir->path());

    Args args{"pdf", labelFile.toStdString(), pdf.toStdString()};
    CliRun run = runCli(args);
    QCOMPARE(run.status, status);
    for (const auto& [key, value] : {std::pair<std::string, QString>{"{labels}", labelFile},
                                     std::pair<std::string, QString>{"{pdf}", pdf}})
        for (std::size_t at = message.find(key); at != std::string::npos; at = message.find(key))
            message.replace(at, key.size(), value.toStdString());
    QVERIFY2(run.err.find(message) != std::string::npos, run.err.c_str());
    QCOMPARE(run.out, std::string());
    QCOMPARE(folderEntries(m_dir->path()), before);
    QCOMPARE(readBytes(earlierPdf), QByteArray("%PDF-1.4 earlier"));
    if (labels != "<none>") QCOMPARE(readBytes(labelFile), labels);
}

void TestPdfCommand::aRunningGuiApplicationIsUsed() {
    int argc = 1;
    char name[] = "tst_pdfcommand";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QList<PdfPage> pages = pdfOf(numberedLabels(41));
    QCOMPARE(pages.size(), 2);
    QCOMPARE(QCoreApplication::instance(), &app);
}

void TestPdfCommand::aCoreApplicationCannotDraw() {
    int argc = 1;
    char name[] = "tst_pdfcommand";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString labelFile = path("labels.dat");
    const QString pdf = path("labels.pdf");
    QVERIFY(writeBytes(labelFile, numberedLabels(2)));
    CliRun run = runCli({"pdf", labelFile.toStdString(), pdf.toStdString()});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "labelmaker-cli: " + pdf.toStdString() +
                          ": the program runs without Qt Gui, which drawing the labels needs\n");
    QVERIFY(!QFile::exists(pdf));
}

void TestPdfCommand::theRealProgramWithoutDisplay() {
    const QString labelFile = path("labels.dat");
    const QString pdf = path("labels.pdf");
    QVERIFY(writeBytes(labelFile, numberedLabels(41)));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QORTEX_DIR"), m_work->path());
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(clitest::cliProgram(), {QStringLiteral("pdf"), QStringLiteral("--type"),
                                          QStringLiteral("9"), labelFile, pdf});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    QCOMPARE(process.readAllStandardOutput(), "14 sheets written to " + pdf.toUtf8() + "\n");
    QString error;
    QCOMPARE(pdfPageCount(pdf, &error), 14);
    QCOMPARE(folderEntries(m_work->path()), QStringList());
}

QTEST_APPLESS_MAIN(TestPdfCommand)
#include "tst_pdfcommand.moc"

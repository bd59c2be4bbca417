// labelmaker-cli convert and extract: the label files they write from the
// export fixtures, their reports and exit statuses, and the inputs they refuse
// before writing anything.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "clirun.h"
#include "testdata.h"

using clitest::Args;
using clitest::CliRun;
using clitest::folderEntries;
using clitest::readBytes;
using clitest::runCli;
using clitest::writeBytes;

Q_DECLARE_METATYPE(Args)
Q_DECLARE_METATYPE(std::string)

namespace {

std::string importFixture(const char* name) {
    return std::string(LM_TEST_DATA_DIR "/import/") + name;
}

// The fixtures' records as the sl4 extract writes them.
const QByteArray kOcm00123 =
    "QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
    "Stroustrup, Bjarne.\r\nThe C++ programming\r\nlanguage.\r\n4th ed.\r\n2013.\r\n~~"
    "Stroustrup, Bjarne.\r\n31234000567890\r\n~~";
const QByteArray kOcm04567 =
    "FIC\r\nADAMS\r\n~~"
    "Adams, Douglas.\r\nThe hitchhiker's\r\nguide to the galaxy.\r\n\r\n1979.\r\n~~"
    "Adams, Douglas.\r\n31234000777000\r\n~~";
const QByteArray kOcm89012 =
    "PS3545\r\n.E6 D4\r\n1946\r\n~~"
    "Welty, Eudora,\r\nDelta wedding /\r\n\r\n\r\n Eudora Welty.\r\n~~"
    "Welty, Eudora,\r\n Delta wedding.\r\n31234000111222\r\n~~";

// Copies the three one-record fixtures into `folder` with modification times
// that put them in the order of `oldestFirst`.
bool copyRecords(const QString& folder, const QStringList& oldestFirst) {
    if (!QDir().mkpath(folder)) return false;
    const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-10);
    for (int i = 0; i < oldestFirst.size(); ++i) {
        const QString target = folder + QLatin1Char('/') + oldestFirst[i];
        if (!QFile::copy(
                QStringLiteral(LM_TEST_DATA_DIR "/import/connexion_records/") + oldestFirst[i],
                target))
            return false;
        QFile file(target);
        if (!file.open(QIODevice::ReadWrite) ||
            !file.setFileTime(base.addSecs(60 * i), QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

// `text` with every "{input}", "{export}" and "{labels}" replaced by the path.
std::string withPaths(std::string text, const QString& input, const QString& labels) {
    for (const char* key : {"{input}", "{export}", "{labels}"}) {
        const std::string value = (std::string(key) == "{labels}" ? labels : input).toStdString();
        for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at))
            text.replace(at, std::string(key).size(), value);
    }
    return text;
}

}  // namespace

class TestImportCommands : public QObject {
    Q_OBJECT
  private slots:
    void helpGivesTheExitStatuses();
    void convertReplacesTheLabelFile();
    void convertRefusesOrFails_data();
    void convertRefusesOrFails();
    void extractFolderOldestFirst();
    void extractMultipleFixture();
    void recordsNotWrittenExitWithThree_data();
    void recordsNotWrittenExitWithThree();
    void extractRefusesOrFails_data();
    void extractRefusesOrFails();
    void badArguments_data();
    void badArguments();
    void theRealProgram();
};

void TestImportCommands::helpGivesTheExitStatuses() {
    for (const char* command : {"convert", "extract"}) {
        CliRun help = runCli({command, "--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.find("Exit status: 0 done, 1 a file could not be read or written, 2") !=
                std::string::npos);
    }
    QVERIFY(runCli({"extract", "--help"}).out.find(", 3 done, but records were not written") !=
            std::string::npos);
}

// The layouts of every fixture are the converter's own tests; here one export
// goes through the command, over an earlier label file.
void TestImportCommands::convertReplacesTheLabelFile() {
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("labels.dat")).toStdString();
    QVERIFY(writeBytes(QString::fromStdString(out), "OLD~~OLDER~~ONE MORE~~"));
    CliRun run = runCli({"convert", "--type=5", importFixture("catme_slb.txt"), out});
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(readBytes(QString::fromStdString(out)),
             QByteArray("QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
                        "Stroustrup, Bjarne.\r\nThe C++ programming\r\nlanguage / Bjarne\r\n"
                        "Stroustrup.\r\n31234000567890\r\n~~"
                        "PS3545\r\n.E6\r\nD4\r\n1946\r\n~~"
                        "Welty, Eudora,\r\n1909-2001.\r\nDelta wedding /\r\n31234000111222\r\n~~"));
    QCOMPARE(run.out, "2 label sets written to " + out + "\n");
    QCOMPARE(run.err, std::string());
    QCOMPARE(folderEntries(dir.path()), QStringList{QStringLiteral("labels.dat")});
}

void TestImportCommands::convertRefusesOrFails_data() {
    QTest::addColumn<QString>("kind");  // what EXPORT is, see convertRefusesOrFails
    QTest::addColumn<std::string>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<std::string>("message");  // {export} and {labels} stand for the paths

    QTest::newRow("missing export") << "missing" << std::string("1") << 1
                                    << std::string(
                                           "labelmaker-cli: {export}: No such file or "
                                           "directory\n");
    QTest::newRow("a folder as export")
        << "folder" << std::string("1") << 1
        << std::string("labelmaker-cli: {export}: Is a directory\n");
    QTest::newRow("empty export")
        << "empty" << std::string("1") << 2
        << std::string(
               "labelmaker-cli convert: {export} is empty: there is nothing to convert; "
               "nothing was written\n");
    const std::string binary =
        "labelmaker-cli convert: {export} is not a text export: it holds NUL bytes (a binary "
        "file, or text in UTF-16); nothing was written\n";
    QTest::newRow("binary export") << "binary" << std::string("3") << 2 << binary;
    QTest::newRow("UTF-16 export") << "utf16" << std::string("1") << 2 << binary;
    QTest::newRow("Mailer-1")
        << "text" << std::string("9") << 2
        << std::string(
               "labelmaker-cli convert: Mailer-1 labels cannot be imported from an "
               "export (the exports have no layout for them); nothing was written\n");
    QTest::newRow("label file is the export")
        << "same" << std::string("1") << 2
        << std::string(
               "labelmaker-cli convert: {labels} is the export itself: the label file "
               "needs a name of its own; nothing was written\n");
    QTest::newRow("label file's folder missing")
        << "no folder" << std::string("1") << 1
        << std::string("labelmaker-cli: {labels}: No such file or directory\n");
    QTest::newRow("label file is a folder")
        << "labels a folder" << std::string("1") << 1
        << std::string("labelmaker-cli: {labels}: Is a directory\n");
}

void TestImportCommands::convertRefusesOrFails() {
    QFETCH(QString, kind);
    QFETCH(std::string, type);
    QFETCH(int, status);
    QFETCH(std::string, message);
    QTemporaryDir dir;
    QString exportPath = dir.filePath(QStringLiteral("export.txt"));
    QString labels = dir.filePath(QStringLiteral("labels.dat"));
    const QByteArray earlier = "EARLIER~~";
    QVERIFY(writeBytes(labels, earlier));
    const QByteArray text = readBytes(QString::fromStdString(importFixture("catme_sp1.txt")));
    if (kind == QLatin1String("folder")) {
        exportPath = dir.filePath(QStringLiteral("exports"));
        QVERIFY(QDir().mkpath(exportPath + QStringLiteral("/inner")));
    } else if (kind == QLatin1String("empty")) {
        QVERIFY(writeBytes(exportPath, QByteArray()));
    } else if (kind == QLatin1String("binary")) {
        QVERIFY(writeBytes(exportPath, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + text));
    } else if (kind == QLatin1String("utf16")) {
        QByteArray utf16("\xff\xfe", 2);
        for (char c : text) utf16 += QByteArray(1, c) + QByteArray(1, '\0');
        QVERIFY(writeBytes(exportPath, utf16));
    } else if (kind == QLatin1String("same")) {
        QVERIFY(writeBytes(exportPath, text));
        labels = exportPath;
    } else if (kind == QLatin1String("no folder")) {
        QVERIFY(writeBytes(exportPath, text));
        labels = dir.filePath(QStringLiteral("no/labels.dat"));
    } else if (kind == QLatin1String("labels a folder")) {
        QVERIFY(writeBytes(exportPath, text));
        labels = dir.filePath(QStringLiteral("exports"));
        QVERIFY(QDir().mkpath(labels));
    } else if (kind == QLatin1String("text")) {
        QVERIFY(writeBytes(exportPath, text));
    }
    const QStringList before = folderEntries(dir.path());
    const QByteArray exportBefore = readBytes(exportPath);

    CliRun run =
        runCli({"convert", "--type", type, exportPath.toStdString(), labels.toStdString()});
    QCOMPARE(run.status, status);
    QCOMPARE(run.err, withPaths(message, exportPath, labels));
    QCOMPARE(run.out, std::string());
    // Nothing was written: the earlier label file, the export and the folder are as they were.
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("labels.dat"))), earlier);
    QCOMPARE(readBytes(exportPath), exportBefore);
    QCOMPARE(folderEntries(dir.path()), before);
}

void TestImportCommands::extractFolderOldestFirst() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("records"));
    // Name order is ocm00123, ocm04567, ocm89012; the times give another.
    QVERIFY(copyRecords(folder, {QStringLiteral("ocm89012.txt"), QStringLiteral("ocm00123.txt"),
                                 QStringLiteral("ocm04567.txt")}));
    const QString out = dir.filePath(QStringLiteral("NewFile_3.dat"));
    CliRun run =
        runCli({"extract", "--type", "3", "--folder", folder.toStdString(), out.toStdString()});
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(readBytes(out), kOcm89012 + kOcm00123 + kOcm04567);
    QCOMPARE(run.out, "3 label sets written to " + out.toStdString() + " from 3 records\n");
    QCOMPARE(run.err, std::string());

    // Written into the folder itself, the label file is no record the next time.
    const QString inside = folder + QStringLiteral("/NewFile_1.dat");
    for (int pass = 0; pass < 2; ++pass) {
        run =
            runCli({"extract", "--type=1", "--folder", folder.toStdString(), inside.toStdString()});
        QCOMPARE(run.status, 0);
        QCOMPARE(readBytes(inside), QByteArray("PS3545\r\n.E6 D4\r\n1946\r\n~~"
                                               "QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
                                               "FIC\r\nADAMS\r\n~~"));
    }
}

// Each type's texts of the multiple extract are the extractor's own tests.
void TestImportCommands::extractMultipleFixture() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("NewFileMultiple.dat"));
    CliRun run = runCli({"extract", "--type", "3", "--multiple",
                         importFixture("connexion_multiple.txt"), out.toStdString()});
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(readBytes(out),
             QByteArray(
                 "FIC\r\nADAMS\r\nc.1\r\n~~"
                 "Adams, Douglas.\r\nThe hitchhiker's\r\nguide to the galaxy.\r\n\r\n1979.\r\n~~"
                 "Adams, Douglas.\r\n31234000777000\r\n~~"
                 "QA76.73\r\n.S77\r\n2013\r\n~~"
                 "Stroustrup, Bjarne.\r\nThe C++ programming\r\nlanguage.\r\n4th ed.\r\n2013.\r\n~~"
                 "Stroustrup, Bjarne.\r\n31234000567890\r\n\r\nRef. desk\r\n~~"
                 "REF\r\nPE1625\r\n.O87\r\n1989\r\nv.1\r\n~~"
                 "Oxford English\r\ndictionary.\r\n\r\n\r\n\r\n~~"
                 "Oxford English\r\ndictionary. v.1\r\n31234000999888\r\n~~"));
    QCOMPARE(run.out, "3 label sets written to " + out.toStdString() + " from 3 records\n");
    QCOMPARE(run.err, std::string());
}

void TestImportCommands::recordsNotWrittenExitWithThree_data() {
    QTest::addColumn<Args>("source");
    QTest::addColumn<std::string>("type");
    const Args folder{"--folder", "{records}"};
    const Args multiple{"--multiple", importFixture("connexion_multiple.txt")};
    QTest::newRow("spa, folder") << folder << std::string("7");
    QTest::newRow("sp1/sp2-f2, multiple") << multiple << std::string("8");
}

void TestImportCommands::recordsNotWrittenExitWithThree() {
    QFETCH(Args, source);
    QFETCH(std::string, type);
    QTemporaryDir dir;
    const QString records = dir.filePath(QStringLiteral("records"));
    QVERIFY(copyRecords(records, {QStringLiteral("ocm00123.txt"), QStringLiteral("ocm04567.txt"),
                                  QStringLiteral("ocm89012.txt")}));
    if (source[1] == "{records}") source[1] = records.toStdString();
    const QString out = dir.filePath(QStringLiteral("labels.dat"));
    QVERIFY(writeBytes(out, "EARLIER~~"));
    Args args{"extract", "--type", type};
    args.insert(args.end(), source.begin(), source.end());
    args.push_back(out.toStdString());
    CliRun run = runCli(args);
    QCOMPARE(run.status, 3);
    std::string expected;
    for (int i = 0; i < 3; ++i) expected += "Invalid Call Index " + type + "\n";
    QCOMPARE(run.err, expected);
    QCOMPARE(run.out, "0 label sets written to " + out.toStdString() + " from 3 records\n");
    // The extract itself went through: the label file is replaced, empty.
    QCOMPARE(readBytes(out), QByteArray());
}

void TestImportCommands::extractRefusesOrFails_data() {
    QTest::addColumn<QString>("kind");  // see extractRefusesOrFails
    QTest::addColumn<int>("status");
    QTest::addColumn<std::string>("message");  // {input} and {labels} stand for the paths

    const std::string noExports =
        "labelmaker-cli extract: {input} holds no export files (subfolders and hidden files are "
        "not read); nothing was written\n";
    QTest::newRow("missing folder")
        << "--folder missing" << 1
        << std::string("labelmaker-cli: {input}: No such file or directory\n");
    QTest::newRow("folder of subfolders") << "--folder subfolders" << 2 << noExports;
    QTest::newRow("folder of hidden files") << "--folder hidden" << 2 << noExports;
    QTest::newRow("a file as folder")
        << "--folder file" << 1 << std::string("labelmaker-cli: {input}: Not a directory\n");
    QTest::newRow("binary record in the folder")
        << "--folder binary" << 2
        << std::string(
               "labelmaker-cli extract: {input} is not a text export: it holds NUL "
               "bytes (a binary file, or text in UTF-16); nothing was written\n");
    QTest::newRow("binary export")
        << "--multiple binary" << 2
        << std::string(
               "labelmaker-cli extract: {input} is not a text export: it holds NUL "
               "bytes (a binary file, or text in UTF-16); nothing was written\n");
    QTest::newRow("label file is the export")
        << "--multiple same" << 2
        << std::string(
               "labelmaker-cli extract: {labels} is the export itself: the label file "
               "needs a name of its own; nothing was written\n");
    QTest::newRow("label file's folder missing, folder")
        << "--folder no folder" << 1
        << std::string("labelmaker-cli: {labels}: No such file or directory\n");
}

void TestImportCommands::extractRefusesOrFails() {
    QFETCH(QString, kind);
    QFETCH(int, status);
    QFETCH(std::string, message);
    QTemporaryDir dir;
    const QString option = kind.section(QLatin1Char(' '), 0, 0);
    const QString what = kind.section(QLatin1Char(' '), 1);
    const QString input = dir.filePath(QStringLiteral("input"));
    QString named = input;  // the path the message names
    QString labels = dir.filePath(QStringLiteral("labels.dat"));
    const QByteArray earlier = "EARLIER~~";
    QVERIFY(writeBytes(labels, earlier));
    const QByteArray text =
        readBytes(QString::fromStdString(importFixture("connexion_multiple.txt")));

    if (option == QLatin1String("--folder")) {
        if (what == QLatin1String("subfolders")) {
            QVERIFY(QDir().mkpath(input + QStringLiteral("/one")));
            QVERIFY(QDir().mkpath(input + QStringLiteral("/two/three")));
        } else if (what == QLatin1String("hidden")) {
            QVERIFY(QDir().mkpath(input));
            QVERIFY(writeBytes(input + QStringLiteral("/.record"), text));
        } else if (what == QLatin1String("file")) {
            QVERIFY(writeBytes(input, text));
        } else if (what == QLatin1String("binary")) {
            QVERIFY(copyRecords(input, {QStringLiteral("ocm00123.txt")}));
            named = input + QStringLiteral("/record.bin");
            QVERIFY(writeBytes(named, QByteArray("\x7f"
                                                 "ELF\x02\x01\x01\0\0\0",
                                                 10)));
        } else if (what == QLatin1String("no folder")) {
            QVERIFY(copyRecords(input, {QStringLiteral("ocm00123.txt")}));
            labels = dir.filePath(QStringLiteral("no/labels.dat"));
        }
    } else {
        if (what == QLatin1String("binary")) {
            QVERIFY(writeBytes(input, text + QByteArray(3, '\0')));
        } else if (what == QLatin1String("same")) {
            QVERIFY(writeBytes(input, text));
            labels = input;
        }
    }
    const QStringList before = folderEntries(dir.path());

    CliRun run = runCli({"extract", "--type", "3", option.toStdString(), input.toStdString(),
                         labels.toStdString()});
    QCOMPARE(run.status, status);
    QCOMPARE(run.err, withPaths(message, named, labels));
    QCOMPARE(run.out, std::string());
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("labels.dat"))), earlier);
    QCOMPARE(folderEntries(dir.path()), before);
}

void TestImportCommands::badArguments_data() {
    QTest::addColumn<Args>("args");
    QTest::addColumn<std::string>("message");
    QTest::newRow("convert without type")
        << Args{"convert", "E", "L"} << std::string("convert: --type is required");
    QTest::newRow("convert without label file")
        << Args{"convert", "--type", "1", "E"}
        << std::string("convert: EXPORT and LABELFILE are both needed");
    QTest::newRow("convert with --folder")
        << Args{"convert", "--type", "1", "--folder", "D", "E", "L"}
        << std::string("unknown option --folder");
    QTest::newRow("extract without a source")
        << Args{"extract", "--type", "1", "L"}
        << std::string("extract: --folder DIR or --multiple EXPORT is required");
    QTest::newRow("extract with both sources")
        << Args{"extract", "--type", "1", "--folder", "D", "--multiple", "E", "L"}
        << std::string("extract: give either --folder or --multiple, not both");
    QTest::newRow("extract type 11") << Args{"extract", "--type", "11", "--folder", "D", "L"}
                                     << std::string("--type must be a label type from 1 to 10");
    QTest::newRow("extract folder without value")
        << Args{"extract", "--type", "1", "L", "--folder"} << std::string("--folder needs a value");
    QTest::newRow("extract without label file") << Args{"extract", "--type", "1", "--folder", "D"}
                                                << std::string("the label file is missing");
}

void TestImportCommands::badArguments() {
    QFETCH(Args, args);
    QFETCH(std::string, message);
    CliRun run = runCli(args);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.find(message) != std::string::npos, run.err.c_str());
    QVERIFY(run.err.find("--help") != std::string::npos);
    QCOMPARE(run.out, std::string());
}

void TestImportCommands::theRealProgram() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("NewFileMultiple_7.dat"));
    QProcess process;
    process.start(clitest::cliProgram(),
                  {QStringLiteral("extract"), QStringLiteral("--type"), QStringLiteral("7"),
                   QStringLiteral("--multiple"),
                   QString::fromStdString(importFixture("connexion_multiple.txt")), out});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 3);
    QCOMPARE(process.readAllStandardError(),
             QByteArray("Invalid Call Index 7\nInvalid Call Index 7\nInvalid Call Index 7\n"));

    process.start(clitest::cliProgram(),
                  {QStringLiteral("convert"), QStringLiteral("--type"), QStringLiteral("5"),
                   QString::fromStdString(importFixture("catme_slb.txt")), out});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), "2 label sets written to " + out.toUtf8() + "\n");
    QVERIFY(readBytes(out).startsWith("QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"));
}

QTEST_APPLESS_MAIN(TestImportCommands)
#include "tst_importcommands.moc"

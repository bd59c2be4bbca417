#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "cli/commandtable.h"
#include "clirun.h"
#include "core/atomicfile.h"
#include "testdata.h"

using clitest::Args;
using clitest::readBytes;
using clitest::writeBytes;
using Run = clitest::CliRun;
using clitest::runCli;
Q_DECLARE_METATYPE(Args)
Q_DECLARE_METATYPE(std::string)

namespace {

std::string labels(const std::string& prefix, int from, int to) {
    std::string out;
    for (int i = from; i <= to; ++i) out += prefix + std::to_string(i) + "~~";
    return out;
}

QString fixture(const char* name) {
    return QStringLiteral(LM_TEST_DATA_DIR "/store/") + QLatin1String(name);
}

}  // namespace

class TestCli : public QObject {
    Q_OBJECT
  private slots:
    void helpListsEveryCommand();
    void everyCommandHasHelp();
    void pagesAsJson();
    void pagesDecodesWindows1252();
    void pagesOfAnEmptyFileAndPlainListing();
    void unreadableFilesExitWithOne_data();
    void unreadableFilesExitWithOne();
    void badArgumentsExitWithTwo_data();
    void badArgumentsExitWithTwo();
    void refusedInputInTheWindowsWords_data();
    void refusedInputInTheWindowsWords();
    void editsWriteTheSameBytes_data();
    void editsWriteTheSameBytes();
    void failedWriteExitsWithOne();
    void theRealProgram();
};

void TestCli::helpListsEveryCommand() {
    Run run = runCli({"--help"});
    QCOMPARE(run.status, 0);
    for (const char* name :
         {"pages", "insert-blank", "delete", "series", "convert", "extract", "pdf"})
        QVERIFY2(run.out.find(std::string("  ") + name + " ") != std::string::npos, name);
    Run none = runCli({});
    QCOMPARE(none.status, 2);
    QVERIFY(none.err.find("Commands:") != std::string::npos);
    Run unknown = runCli({"frobnicate"});
    QCOMPARE(unknown.status, 2);
    QVERIFY(unknown.err.find("unknown command \"frobnicate\"") != std::string::npos);
}

void TestCli::everyCommandHasHelp() {
    for (const lm::cli::CliCommand& command : lm::cli::commandTable()) {
        Run run = runCli({command.name, "--help"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.rfind("Usage: labelmaker-cli " + command.name, 0) == 0,
                 command.name.c_str());
        QVERIFY(run.err.empty());
        // Help wins over anything else on the line.
        QCOMPARE(runCli({command.name, "--type", "99", "--help"}).status, 0);
    }
}

void TestCli::pagesAsJson() {
    Run run = runCli({"pages", "--type", "3", "--json", fixture("sl4-31-texts.dat").toStdString()});
    QCOMPARE(run.status, 0);
    QCOMPARE(QByteArray::fromStdString(run.out), readBytes(fixture("sl4-31-texts.jsonl")));
    QVERIFY(run.err.empty());
}

void TestCli::pagesDecodesWindows1252() {
    Run run = runCli({"pages", "--type=5", "--json", fixture("ansi-texts.dat").toStdString()});
    QCOMPARE(run.status, 0);
    QJsonObject page = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    QCOMPARE(page.value(QStringLiteral("end")).toInt(), 45);  // the unfinished tail belongs to it
    QJsonArray spine = page.value(QStringLiteral("spine")).toArray();
    QJsonArray pocket = page.value(QStringLiteral("pocket")).toArray();
    QCOMPARE(spine.at(0).toString(), QStringLiteral("Caf\u00e9"));
    QCOMPARE(spine.at(1).toString(), QStringLiteral("say \"hi\" \\ ok\t"));
    // 0x80 is the euro sign, 0x81 is undefined and keeps its number, 0x9F is Y diaeresis.
    QCOMPARE(pocket.at(0).toString(), QStringLiteral("\u20ac \u0081\u0178"));
    QCOMPARE(pocket.at(1).toString(), QStringLiteral("~lead"));
}

void TestCli::pagesOfAnEmptyFileAndPlainListing() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("empty.dat"));
    writeBytes(path, QByteArray());
    Run empty = runCli({"pages", "--type", "1", path.toStdString()});
    QCOMPARE(empty.status, 0);
    QCOMPARE(empty.out, std::string());

    writeBytes(path, "A\r\nB~~P~~C~~");
    Run plain = runCli({"pages", "--type", "5", path.toStdString()});
    QCOMPARE(plain.status, 0);
    QCOMPARE(plain.out, std::string("Page 1: bytes 1 to 12\n"
                                    "  spine 2: \"A\\r\\nB\"\n"
                                    "  spine 3: \"C\"\n"
                                    "  pocket 2: \"P\"\n"));
}

void TestCli::unreadableFilesExitWithOne_data() {
    QTest::addColumn<Args>("args");
    QTest::addColumn<std::string>("file");  // relative to the test folder
    QTest::newRow("pages, missing") << Args{"pages", "--type", "1"} << std::string("missing.dat");
    QTest::newRow("pages, a folder") << Args{"pages", "--type", "1"} << std::string("");
    QTest::newRow("delete, missing") << Args{"delete", "--type", "1", "--page", "1", "--label", "2"}
                                     << std::string("missing.dat");
    QTest::newRow("insert-blank, a folder")
        << Args{"insert-blank", "--type", "1", "--page", "1", "--label", "2", "--count", "1"}
        << std::string("");
}

void TestCli::unreadableFilesExitWithOne() {
    QFETCH(Args, args);
    QFETCH(std::string, file);
    QTemporaryDir dir;
    std::string path =
        (file.empty() ? dir.path() : dir.filePath(QString::fromStdString(file))).toStdString();
    args.push_back(path);
    Run run = runCli(args);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.rfind("labelmaker-cli: " + path + ": ", 0) == 0, run.err.c_str());
    QVERIFY(run.out.empty());
    QVERIFY(!file.empty() ? !QFile::exists(QString::fromStdString(path)) : true);
}

void TestCli::badArgumentsExitWithTwo_data() {
    QTest::addColumn<Args>("args");
    QTest::addColumn<std::string>("message");
    QTest::newRow("no type") << Args{"pages", "F"} << std::string("--type is required");
    QTest::newRow("type 11") << Args{"pages", "--type", "11", "F"}
                             << std::string("--type must be a label type from 1 to 10");
    QTest::newRow("type x") << Args{"pages", "--type", "x", "F"} << std::string("--type must be");
    QTest::newRow("no file") << Args{"pages", "--type", "1"}
                             << std::string("the label file is missing");
    QTest::newRow("two files") << Args{"pages", "--type", "1", "F", "G"}
                               << std::string("too many arguments");
    QTest::newRow("unknown option")
        << Args{"pages", "--type", "1", "--xml", "F"} << std::string("unknown option --xml");
    QTest::newRow("option twice") << Args{"pages", "--type", "1", "--type", "2", "F"}
                                  << std::string("--type is given twice");
    QTest::newRow("value missing")
        << Args{"pages", "F", "--type"} << std::string("--type needs a value");
    QTest::newRow("page 0") << Args{"delete", "--type", "1", "--page", "0", "--label", "2", "F"}
                            << std::string("--page must be a page number from 1 to 32767");
    QTest::newRow("page 32768") << Args{"delete", "--type",  "1", "--page",
                                        "32768",  "--label", "2", "F"}
                                << std::string("--page must be a page number from 1 to 32767");
    QTest::newRow("no label") << Args{"delete", "--type", "1", "--page", "1", "F"}
                              << std::string("--label is required");
    QTest::newRow("label past sp1's controls")
        << Args{"delete", "--type", "1", "--page", "1", "--label", "42", "F"}
        << std::string("--label 42 names no label of sp1");
    QTest::newRow("no count") << Args{"insert-blank", "--type", "1", "--page", "1",
                                      "--label",      "2",      "F"}
                              << std::string("--count is required");
    QTest::newRow("empty count") << Args{"insert-blank", "--type", "1",       "--page", "1",
                                         "--label",      "2",      "--count", "",       "F"}
                                 << std::string("--count needs the number of label sets to insert");
    QTest::newRow("json on delete")
        << Args{"delete", "--type", "1", "--page", "1", "--label", "2", "--json", "F"}
        << std::string("unknown option --json");
}

void TestCli::badArgumentsExitWithTwo() {
    QFETCH(Args, args);
    QFETCH(std::string, message);
    Run run = runCli(args);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.find(message) != std::string::npos, run.err.c_str());
    QVERIFY(run.err.find("--help") != std::string::npos);
}

void TestCli::refusedInputInTheWindowsWords_data() {
    QTest::addColumn<Args>("args");
    QTest::addColumn<std::string>("message");
    const std::string none = "No label is selected!";
    const std::string illegal = "You entered illegal numbers!";
    auto edit = [](const char* command, const char* type, const char* label, Args more) {
        Args args{command, "--type", type, "--page", "1", "--label", label};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    QTest::newRow("delete, nothing selected") << edit("delete", "1", "0", {}) << none;
    QTest::newRow("sl4 count 10") << edit("insert-blank", "3", "3", {"--count", "10"}) << illegal;
    QTest::newRow("count 1a") << edit("insert-blank", "1", "2", {"--count", "1a"}) << illegal;
    QTest::newRow("Mailer-1 count 32768")
        << edit("insert-blank", "9", "2", {"--count", "32768"}) << illegal;
    QTest::newRow("Mailer-1 series, even unselected")
        << edit("series", "9", "0", {}) << std::string("Multilpe Copies is diabled!");
    QTest::newRow("first list 3-1") << edit("series", "1", "2", {"--numbers1", "3-1"}) << illegal;
    QTest::newRow("second constant alone")
        << edit("series", "1", "2", {"--constant2", "c"}) << illegal;
    QTest::newRow("range past 32767")
        << edit("series", "1", "2", {"--numbers1", "1-32768"}) << illegal;
    QTest::newRow("copies 32768") << edit("series", "1", "2", {"--copies", "32768"}) << illegal;
    QTest::newRow("constant that would end a label")
        << edit("series", "1", "2", {"--constant1", "x~"})
        << std::string(
               "The numbered copies of the spine label of label set 1 on this page "
               "(constants and numbers included) ends with a tilde (~), which the label "
               "file would move into the next label. The page was not saved.");
}

void TestCli::refusedInputInTheWindowsWords() {
    QFETCH(Args, args);
    QFETCH(std::string, message);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("l.dat"));
    const QByteArray content = QByteArray::fromStdString(labels("L", 1, 12));
    writeBytes(path, content);
    args.push_back(path.toStdString());
    Run run = runCli(args);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err, message + "\n");
    QVERIFY(run.out.empty());
    QCOMPARE(readBytes(path), content);
}

void TestCli::editsWriteTheSameBytes_data() {
    QTest::addColumn<std::string>("before");
    QTest::addColumn<Args>("args");
    QTest::addColumn<std::string>("after");
    QTest::addColumn<std::string>("report");
    const std::string l45 = labels("L", 1, 45);
    QTest::newRow("sp1 insert 2 before L4")
        << l45 << Args{"insert-blank", "--type", "1", "--page", "1", "--label", "5", "--count", "2"}
        << labels("L", 1, 3) + "<Blank>~~<Blank>~~" + labels("L", 4, 45)
        << std::string("2 blank label set(s) inserted before label set 4 of page 1");
    QTest::newRow("insert on a page past the end")
        << labels("L", 1, 3)
        << Args{"insert-blank", "--type", "1", "--page", "5", "--label", "2", "--count", "1"}
        << labels("L", 1, 3)
        << std::string(
               "label set 1 of page 5 is empty: nothing was inserted; the page was saved as it is");
    QTest::newRow("sp1 delete L2")
        << l45 << Args{"delete", "--type", "1", "--page", "1", "--label", "3"}
        << labels("L", 1, 1) + labels("L", 3, 45) << std::string("label set 2 of page 1 deleted");
    QTest::newRow("series Vol. 1-3 x Copy 1,2")
        << std::string("QA76\r\nS77~~L2~~")
        << Args{"series",  "--type",      "1",           "--page",     "1",
                "--label", "2",           "--constant1", "Vol.",       "--numbers1",
                "1-3",     "--constant2", "Copy ",       "--numbers2", "1,2"}
        << std::string(
               "QA76\r\nS77\r\nVol.1\r\nCopy 1~~QA76\r\nS77\r\nVol.1\r\nCopy 2~~"
               "QA76\r\nS77\r\nVol.2\r\nCopy 1~~QA76\r\nS77\r\nVol.2\r\nCopy 2~~"
               "QA76\r\nS77\r\nVol.3\r\nCopy 1~~QA76\r\nS77\r\nVol.3\r\nCopy 2~~L2~~")
        << std::string("label set 1 of page 1 replaced by its numbered series");
    QTest::newRow("series defaults: one copy, empty constant")
        << std::string("A~~B~~") << Args{"series", "--type", "1", "--page", "1", "--label", "3"}
        << std::string("A~~B\r\n~~")
        << std::string("label set 2 of page 1 replaced by its numbered series");
    QTest::newRow("slb series with a constant in Windows-1252")
        << std::string("S~~Smith\r\nJones~~")
        << Args{"series",      "--type",       "5",          "--page", "1",        "--label", "42",
                "--constant1", "T\xc3\xb6me ", "--numbers1", "2",      "--copies", "2"}
        << std::string(
               "S\r\nT\xf6me 2~~Smith T\xf6me 2\r\nJones~~S\r\nT\xf6me 2~~Smith T\xf6me "
               "2\r\nJones~~")
        << std::string("label set 1 of page 1 replaced by its numbered series");
}

void TestCli::editsWriteTheSameBytes() {
    QFETCH(std::string, before);
    QFETCH(Args, args);
    QFETCH(std::string, after);
    QFETCH(std::string, report);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("l.dat"));
    writeBytes(path, QByteArray::fromStdString(before));
    args.push_back(path.toStdString());
    Run run = runCli(args);
    QVERIFY2(run.status == 0, run.err.c_str());
    QCOMPARE(readBytes(path).toStdString(), after);
    QCOMPARE(run.out, report + "\n");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestCli::failedWriteExitsWithOne() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("l.dat"));
    const QByteArray content = QByteArray::fromStdString(labels("L", 1, 45));
    writeBytes(path, content);
    lm::AtomicFileWriter::setWriteLimitForTesting(100);
    Run run = runCli({"delete", "--type", "1", "--page", "1", "--label", "3", path.toStdString()});
    lm::AtomicFileWriter::setWriteLimitForTesting(-1);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, "labelmaker-cli: " + path.toStdString() + ": No space left on device\n");
    QCOMPARE(readBytes(path), content);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestCli::theRealProgram() {
    const QString program = QStringLiteral(LM_BIN_DIR "/labelmaker-cli");
    QProcess process;
    process.start(program, {QStringLiteral("pages"), QStringLiteral("--type"), QStringLiteral("3"),
                            QStringLiteral("--json"), fixture("sl4-31-texts.dat")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardOutput(), readBytes(fixture("sl4-31-texts.jsonl")));

    process.start(program,
                  {QStringLiteral("delete"), QStringLiteral("--type"), QStringLiteral("1"),
                   QStringLiteral("--page"), QStringLiteral("1"), QStringLiteral("--label"),
                   QStringLiteral("0"), fixture("sl4-31-texts.dat")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(process.readAllStandardError(), QByteArray("No label is selected!\n"));
}

QTEST_APPLESS_MAIN(TestCli)
#include "tst_cli.moc"

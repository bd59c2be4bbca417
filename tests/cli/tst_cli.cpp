// labelmaker-cli's own work: help, arguments, exit statuses and messages, and
// that each editing command reaches the page saver and writes its file. The
// saver's rules are the core tests'; here one row per command and outcome.

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "cli/commandtable.h"
#include "clirun.h"
#include "core/atomicfile.h"
#include "testdata.h"

using clitest::Args;
using clitest::readBytes;
using clitest::runCli;
using clitest::writeBytes;
using Run = clitest::CliRun;
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
    void helpListsEveryCommand() {
        Run run = runCli({"--help"});
        QCOMPARE(run.status, 0);
        for (const lm::cli::CliCommand& command : lm::cli::commandTable()) {
            QVERIFY2(run.out.find("  " + command.name + " ") != std::string::npos,
                     command.name.c_str());
            Run help = runCli({command.name, "--help"});
            QCOMPARE(help.status, 0);
            QVERIFY2(help.out.rfind("Usage: labelmaker-cli " + command.name, 0) == 0,
                     command.name.c_str());
            QVERIFY(help.err.empty());
            // Help wins over anything else on the line.
            QCOMPARE(runCli({command.name, "--type", "99", "--help"}).status, 0);
        }
        Run none = runCli({});
        QCOMPARE(none.status, 2);
        QVERIFY(none.err.find("Commands:") != std::string::npos);
        Run unknown = runCli({"frobnicate"});
        QCOMPARE(unknown.status, 2);
        QVERIFY(unknown.err.find("unknown command \"frobnicate\"") != std::string::npos);
    }
    // The listing turns Windows-1252 into UTF-8 and escapes what a terminal or a
    // JSON reader would misread; an empty file lists nothing. The JSON form is
    // the real program's test.
    void pagesListing() {
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("l.dat"));
        QVERIFY(writeBytes(path, QByteArray()));
        Run empty = runCli({"pages", "--type", "1", path.toStdString()});
        QCOMPARE(empty.status, 0);
        QCOMPARE(empty.out, std::string());
        QVERIFY(writeBytes(path, "A\r\nB~~P~~Caf\xe9 \"hi\" \\\t\x80\x01~~"));
        Run plain = runCli({"pages", "--type", "5", path.toStdString()});
        QCOMPARE(plain.status, 0);
        QCOMPARE(plain.out,
                 std::string("Page 1: bytes 1 to 25\n  spine 2: \"A\\r\\nB\"\n"
                             "  spine 3: \"Caf\xc3\xa9 \\\"hi\\\" \\\\\\t\xe2\x82\xac\\u0001\"\n"
                             "  pocket 2: \"P\"\n"));
    }
    void unreadableFilesExitWithOne() {
        QTemporaryDir dir;
        const std::string missing = dir.filePath(QStringLiteral("missing.dat")).toStdString();
        Run run = runCli({"pages", "--type", "1", missing});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.rfind("labelmaker-cli: " + missing + ": ", 0) == 0, run.err.c_str());
        QVERIFY(run.out.empty());
        QVERIFY(!QFile::exists(QString::fromStdString(missing)));
    }
    void badArgumentsExitWithTwo_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<std::string>("message");
        auto row = [](const char* name, const Args& args, const char* message) {
            QTest::newRow(name) << args << std::string(message);
        };
        row("no type", {"pages", "F"}, "--type is required");
        row("type 11", {"pages", "--type", "11", "F"}, "--type must be a label type from 1 to 10");
        row("no file", {"pages", "--type", "1"}, "the label file is missing");
        row("two files", {"pages", "--type", "1", "F", "G"}, "too many arguments");
        row("unknown option", {"pages", "--type", "1", "--xml", "F"}, "unknown option --xml");
        row("option twice", {"pages", "--type", "1", "--type", "2", "F"}, "--type is given twice");
        row("value missing", {"pages", "F", "--type"}, "--type needs a value");
        row("page 32768", {"delete", "--type", "1", "--page", "32768", "--label", "2", "F"},
            "--page must be a page number from 1 to 32767");
        row("no label", {"delete", "--type", "1", "--page", "1", "F"}, "--label is required");
        row("label past sp1's controls",
            {"delete", "--type", "1", "--page", "1", "--label", "42", "F"},
            "--label 42 names no label of sp1");
        row("empty count",
            {"insert-blank", "--type", "1", "--page", "1", "--label", "2", "--count", "", "F"},
            "--count needs the number of label sets to insert");
        row("convert without label file", {"convert", "--type", "1", "E"},
            "convert: EXPORT and LABELFILE are both needed");
        row("extract without a source", {"extract", "--type", "1", "L"},
            "extract: --folder DIR or --multiple EXPORT is required");
        row("extract with both sources",
            {"extract", "--type", "1", "--folder", "D", "--multiple", "E", "L"},
            "extract: give either --folder or --multiple, not both");
    }
    void badArgumentsExitWithTwo() {
        QFETCH(Args, args);
        QFETCH(std::string, message);
        Run run = runCli(args);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.find(message) != std::string::npos, run.err.c_str());
        QVERIFY(run.err.find("--help") != std::string::npos);
        QVERIFY(run.out.empty());
    }
    // A refusal goes to stderr in the window's words with status 2 and leaves the
    // file alone; a done edit reports on stdout.
    void edits_data() {
        QTest::addColumn<std::string>("before");
        QTest::addColumn<Args>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("message");
        QTest::addColumn<std::string>("after");
        auto edit = [](const char* command, const char* type, const char* label, Args more) {
            Args args{command, "--type", type, "--page", "1", "--label", label};
            args.insert(args.end(), more.begin(), more.end());
            return args;
        };
        const std::string l12 = labels("L", 1, 12);
        QTest::newRow("delete, nothing selected") << l12 << edit("delete", "1", "0", {}) << 2
                                                  << std::string("No label is selected!") << l12;
        QTest::newRow("sl4 count 10") << l12 << edit("insert-blank", "3", "3", {"--count", "10"})
                                      << 2 << std::string("You entered illegal numbers!") << l12;
        QTest::newRow("Mailer-1 series, even unselected")
            << l12 << edit("series", "9", "0", {}) << 2
            << std::string("Multilpe Copies is diabled!") << l12;
        QTest::newRow("sp1 insert 2 before L4")
            << l12 << edit("insert-blank", "1", "5", {"--count", "2"}) << 0
            << std::string("2 blank label set(s) inserted before label set 4 of page 1")
            << labels("L", 1, 3) + "<Blank>~~<Blank>~~" + labels("L", 4, 12);
        QTest::newRow("insert on a page past the end")
            << l12
            << Args{"insert-blank", "--type", "1", "--page", "5", "--label", "2", "--count", "1"}
            << 0
            << std::string(
                   "label set 1 of page 5 is empty: nothing was inserted; the page was saved as it "
                   "is")
            << l12;
        QTest::newRow("sp1 delete L2") << l12 << edit("delete", "1", "3", {}) << 0
                                       << std::string("label set 2 of page 1 deleted")
                                       << labels("L", 1, 1) + labels("L", 3, 12);
        QTest::newRow("series defaults: one copy, empty constant")
            << std::string("A~~B~~") << edit("series", "1", "3", {}) << 0
            << std::string("label set 2 of page 1 replaced by its numbered series")
            << std::string("A~~B\r\n~~");
        // Arguments come in UTF-8 and are stored in Windows-1252.
        QTest::newRow("slb series with a constant in Windows-1252")
            << std::string("S~~Smith\r\nJones~~")
            << edit("series", "5", "42",
                    {"--constant1", "T\xc3\xb6me ", "--numbers1", "2", "--copies", "2"})
            << 0 << std::string("label set 1 of page 1 replaced by its numbered series")
            << std::string(
                   "S\r\nT\xf6me 2~~Smith T\xf6me 2\r\nJones~~S\r\nT\xf6me 2~~Smith T\xf6me "
                   "2\r\nJones~~");
    }
    void edits() {
        QFETCH(std::string, before);
        QFETCH(Args, args);
        QFETCH(int, status);
        QFETCH(std::string, message);
        QFETCH(std::string, after);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("l.dat"));
        QVERIFY(writeBytes(path, QByteArray::fromStdString(before)));
        args.push_back(path.toStdString());
        Run run = runCli(args);
        QCOMPARE(run.status, status);
        QCOMPARE(status == 0 ? run.out : run.err, message + "\n");
        QCOMPARE(status == 0 ? run.err : run.out, std::string());
        QCOMPARE(readBytes(path).toStdString(), after);
        QCOMPARE(clitest::folderEntries(dir.path()), QStringList{QStringLiteral("l.dat")});
    }
    void failedWriteExitsWithOne() {
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("l.dat"));
        const QByteArray content = QByteArray::fromStdString(labels("L", 1, 45));
        QVERIFY(writeBytes(path, content));
        lm::AtomicFileWriter::injectFaultForTesting(
            {lm::AtomicFileWriter::Stage::Write, 0, 100, 0});
        Run run =
            runCli({"delete", "--type", "1", "--page", "1", "--label", "3", path.toStdString()});
        lm::AtomicFileWriter::clearFaultForTesting();
        QCOMPARE(run.status, 1);
        QCOMPARE(run.err, "labelmaker-cli: " + path.toStdString() + ": No space left on device\n");
        QCOMPARE(readBytes(path), content);
        QCOMPARE(clitest::folderEntries(dir.path()), QStringList{QStringLiteral("l.dat")});
    }
    // main() hands over the arguments, the streams and the exit status.
    void theRealProgram() {
        QProcess process;
        const QString program = clitest::cliProgram();
        process.start(program, QStringLiteral("pages --type 3 --json").split(QLatin1Char(' '))
                                   << fixture("sl4-31-texts.dat"));
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardOutput(), readBytes(fixture("sl4-31-texts.jsonl")));
    }
};

QTEST_APPLESS_MAIN(TestCli)
#include "tst_cli.moc"

// labelmaker-cli check: each kind of problem found on its page, set and label
// of a file of several pages, as JSON lines and as plain lines; the exit
// statuses.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "clirun.h"
#include "core/labeltypes.h"
#include "core/settings.h"

using clitest::Args;
using clitest::CliRun;
using clitest::runCli;
using clitest::writeBytes;

Q_DECLARE_METATYPE(Args)
Q_DECLARE_METATYPE(std::string)

namespace {

// `count` texts "L1".."Ln", with the texts of `put` (1-based) in their places.
QByteArray labelFile(int count, const QMap<int, QByteArray>& put) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) bytes += put.value(i, "L" + QByteArray::number(i)) + "~~";
    return bytes;
}

// Twelve short lines: more than a spine label of 11 points holds.
const QByteArray kManyLines = "A\r\nB\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\nI\r\nJ\r\nK\r\nL";

std::string json(int page, int set, const char* label, const char* problem, const char* text) {
    return "{\"page\":" + std::to_string(page) + ",\"set\":" + std::to_string(set) +
           ",\"label\":\"" + label + "\",\"problem\":\"" + problem + "\",\"text\":" + text + "}\n";
}

}  // namespace

class TestCheckCommand : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_folders = std::make_unique<clitest::CommandFolders>();  // default settings: sp1
        QVERIFY(m_folders->valid());
    }
    void problemsAtTheirPlaces_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<std::string>("expected");
        // sp1: 40 sets a page, one text each.
        QTest::newRow("sp1, every kind, two pages")
            << int(lm::kSp1)
            << labelFile(45, {{3, "<Blank>"},
                              {10,
                               "A\x01"
                               "B"},
                              {42, "HF5415.1265"},
                              {44, kManyLines}})
            << json(1, 3, "spine", "blank", "\"<Blank>\"") +
                   json(1, 10, "spine", "missing-character", "\"A\\u0001B\"") +
                   json(2, 2, "spine", "overflow", "\"HF5415.1265\"") +
                   json(2, 4, "spine", "overflow",
                        "\"A\\r\\nB\\r\\nC\\r\\nD\\r\\nE\\r\\nF\\r\\nG\\r\\nH\\r\\nI\\r\\nJ\\r\\nK"
                        "\\r\\nL\"");
        // sp2: 20 sets of two spine texts; texts 41 and 42 are page 2's first set.
        QTest::newRow("sp2, second spine of a set on page 2")
            << int(lm::kSp2) << labelFile(44, {{44, "HF5415.1265"}})
            << json(2, 2, "spine2", "overflow", "\"HF5415.1265\"");
        // slb: 10 sets of spine and pocket, so 20 texts a page.
        QTest::newRow("slb, pocket of page 2")
            << int(lm::kSlb) << labelFile(26, {{24, "x\x7f"}})
            << json(2, 2, "pocket1", "missing-character", "\"x\x7f\"");
        // sl4: spine, first and second pocket a set.
        QTest::newRow("sl4, second pocket")
            << int(lm::kSl4) << labelFile(6, {{6, "<Blank>"}}) << std::string();
        QTest::newRow("sl4, second pocket overflows")
            << int(lm::kSl4) << labelFile(6, {{6, kManyLines + "\r\n" + kManyLines}})
            << json(1, 2, "pocket2", "overflow",
                    ("\"" +
                     QByteArray(kManyLines + "\r\n" + kManyLines)
                         .replace("\r", "\\r")
                         .replace("\n", "\\n") +
                     "\"")
                        .constData());
    }
    // "<Blank>" counts on a spine only; a pocket may say what it likes.
    void problemsAtTheirPlaces() {
        QFETCH(int, type);
        QFETCH(QByteArray, file);
        QFETCH(std::string, expected);
        QVERIFY(writeBytes(path("labels.dat"), file));
        const CliRun run = runCli(
            {"check", "--json", "--type", std::to_string(type), path("labels.dat").toStdString()});
        QCOMPARE(run.out, expected);
        QCOMPARE(run.status, expected.empty() ? 0 : 4);
    }
    void plainLinesNamePlaceAndProblem() {
        QVERIFY(writeBytes(path("labels.dat"), labelFile(45, {{42, "HF5415.1265"}})));
        const CliRun run = runCli({"check", path("labels.dat").toStdString()});
        QCOMPARE(run.status, 4);
        // sp1 puts 4 sets in a row: set 2 is the first row's second column.
        QCOMPARE(run.out,
                 std::string("page 2, set 2 (row 1, column 2), spine: overflow: The text does "
                             "not fit its label: a word is broken inside itself. "
                             "\"HF5415.1265\"\n"));
        QCOMPARE(run.err, path("labels.dat").toStdString() + ": 2 pages checked, 1 problem\n");
    }
    void exitStatuses_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("clean") << Args{"check", "clean.dat"} << 0;
        QTest::newRow("no such file") << Args{"check", "missing.dat"} << 1;
        QTest::newRow("no file named") << Args{"check"} << 2;
        QTest::newRow("type 11") << Args{"check", "--type", "11", "clean.dat"} << 2;
    }
    void exitStatuses() {
        QFETCH(Args, args);
        QFETCH(int, status);
        QVERIFY(writeBytes(path("clean.dat"), labelFile(81, {})));
        for (std::string& arg : args)
            if (arg.find(".dat") != std::string::npos) arg = path(arg.c_str()).toStdString();
        const CliRun run = runCli(args);
        QCOMPARE(run.status, status);
        if (status == 0) QVERIFY(run.out.empty());
        if (status == 1 || status == 2) QVERIFY(!run.err.empty());
    }

  private:
    QString path(const char* name) const { return m_folders->files.filePath(QLatin1String(name)); }
    std::unique_ptr<clitest::CommandFolders> m_folders;
};

QTEST_MAIN(TestCheckCommand)
#include "tst_checkcommand.moc"

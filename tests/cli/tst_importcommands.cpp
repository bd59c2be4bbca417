// labelmaker-cli convert and extract: one export through each, their reports
// and exit statuses, and the inputs they refuse before writing anything. The
// layouts, the record order and the texts are the converter's and the
// extractor's own tests.

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

QString importFixture(const char* name) {
    return QStringLiteral(LM_TEST_DATA_DIR "/import/") + QLatin1String(name);
}

// Copies one-record fixtures into `folder` with modification times that put
// them in the order of `oldestFirst`.
bool copyRecords(const QString& folder, const QStringList& oldestFirst) {
    if (!QDir().mkpath(folder)) return false;
    const QDateTime base = QDateTime::currentDateTimeUtc().addDays(-10);
    for (int i = 0; i < oldestFirst.size(); ++i) {
        const QString target = folder + QLatin1Char('/') + oldestFirst[i];
        QFile file(target);
        if (!QFile::copy(importFixture("connexion_records/") + oldestFirst[i], target) ||
            !file.open(QIODevice::ReadWrite) ||
            !file.setFileTime(base.addSecs(60 * i), QFileDevice::FileModificationTime))
            return false;
    }
    return true;
}

}  // namespace

class TestImportCommands : public QObject {
    Q_OBJECT
  private slots:
    void convertReplacesTheLabelFile() {
        QTemporaryDir dir;
        const std::string out = dir.filePath(QStringLiteral("labels.dat")).toStdString();
        QVERIFY(writeBytes(QString::fromStdString(out), "OLD~~OLDER~~ONE MORE~~"));
        CliRun run =
            runCli({"convert", "--type=5", importFixture("catme_slb.txt").toStdString(), out});
        QVERIFY2(run.status == 0, run.err.c_str());
        QCOMPARE(
            readBytes(QString::fromStdString(out)),
            QByteArray("QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
                       "Stroustrup, Bjarne.\r\nThe C++ programming\r\nlanguage / Bjarne\r\n"
                       "Stroustrup.\r\n31234000567890\r\n~~"
                       "PS3545\r\n.E6\r\nD4\r\n1946\r\n~~"
                       "Welty, Eudora,\r\n1909-2001.\r\nDelta wedding /\r\n31234000111222\r\n~~"));
        QCOMPARE(run.out, "2 label sets written to " + out + "\n");
        QCOMPARE(run.err, std::string());
        QCOMPARE(folderEntries(dir.path()), QStringList{QStringLiteral("labels.dat")});
    }
    // The command reads the folder, oldest record first.
    void extractFolderOldestFirst() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("records"));
        // Name order is ocm00123, ocm04567, ocm89012; the times give another.
        QVERIFY(copyRecords(folder, {QStringLiteral("ocm89012.txt"), QStringLiteral("ocm00123.txt"),
                                     QStringLiteral("ocm04567.txt")}));
        const QString inside = folder + QStringLiteral("/NewFile_1.dat");
        CliRun run =
            runCli({"extract", "--type=1", "--folder", folder.toStdString(), inside.toStdString()});
        QVERIFY2(run.status == 0, run.err.c_str());
        QCOMPARE(run.out, "3 label sets written to " + inside.toStdString() + " from 3 records\n");
        QCOMPARE(readBytes(inside), QByteArray("PS3545\r\n.E6 D4\r\n1946\r\n~~"
                                               "QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
                                               "FIC\r\nADAMS\r\n~~"));
    }
    // NUL bytes, pipes and the like in an export are the hostile-input table's.
    void refusedOrFailed_data() {
        QTest::addColumn<Args>("args");  // IN the input, OUT labels.dat, DIR a folder
        QTest::addColumn<QByteArray>(
            "input");  // "<none>": no IN; "<folder>": subfolder, hidden file
        QTest::addColumn<int>("status");
        QTest::addColumn<std::string>("message");  // {in} and {out} stand for the paths
        const QByteArray text = readBytes(importFixture("catme_sp1.txt"));
        const Args convert{"convert", "--type", "1", "IN", "OUT"};
        const std::string refusedConvert = "labelmaker-cli convert: ",
                          refusedExtract = "labelmaker-cli extract: ";
        const std::string ownName =
            " is the export itself: the label file needs a name of its own; nothing was written\n";
        auto row = [](const char* name, const Args& args, const QByteArray& input, int status,
                      const std::string& message) {
            QTest::newRow(name) << args << input << status << message;
        };
        row("convert, empty export", convert, "", 2,
            refusedConvert + "{in} is empty: there is nothing to convert; nothing was written\n");
        row("convert, Mailer-1", {"convert", "--type", "9", "IN", "OUT"}, text, 2,
            refusedConvert +
                "Mailer-1 labels cannot be imported from an export (the exports have no layout for "
                "them); nothing was written\n");
        row("convert, label file is the export", {"convert", "--type", "1", "IN", "IN"}, text, 2,
            refusedConvert + "{in}" + ownName);
        row("convert, label file is a folder", {"convert", "--type", "1", "IN", "DIR"}, text, 1,
            "labelmaker-cli: {dir}: Is a directory\n");
        row("extract, missing folder", {"extract", "--type", "3", "--folder", "IN", "OUT"},
            "<none>", 1, "labelmaker-cli: {in}: No such file or directory\n");
        row("extract, subfolders and hidden files",
            {"extract", "--type", "3", "--folder", "IN", "OUT"}, "<folder>", 2,
            refusedExtract +
                "{in} holds no export files (subfolders and hidden files are not read); nothing "
                "was "
                "written\n");
        row("extract, label file is the export",
            {"extract", "--type", "3", "--multiple", "IN", "IN"}, text, 2,
            refusedExtract + "{in}" + ownName);
    }
    void refusedOrFailed() {
        QFETCH(Args, args);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(std::string, message);
        QTemporaryDir dir;
        const std::string in = dir.filePath(QStringLiteral("input")).toStdString();
        const std::string out = dir.filePath(QStringLiteral("labels.dat")).toStdString();
        const std::string folder = dir.filePath(QStringLiteral("folder")).toStdString();
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(writeBytes(QString::fromStdString(out), "EARLIER~~"));
        if (input == "<folder>") {
            QVERIFY(QDir().mkpath(QString::fromStdString(in + "/one")));
            QVERIFY(writeBytes(QString::fromStdString(in + "/.record"),
                               readBytes(importFixture("connexion_multiple.txt"))));
        } else if (input != "<none>") {
            QVERIFY(writeBytes(QString::fromStdString(in), input));
        }
        const QStringList before = folderEntries(dir.path());
        for (std::string& arg : args)
            arg = arg == "IN" ? in : arg == "OUT" ? out : arg == "DIR" ? folder : arg;
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"{in}", in}, {"{dir}", folder}})
            for (std::size_t at = message.find(key); at != std::string::npos;
                 at = message.find(key))
                message.replace(at, key.size(), value);

        CliRun run = runCli(args);
        QCOMPARE(run.status, status);
        QCOMPARE(run.err, message);
        QCOMPARE(run.out, std::string());
        QCOMPARE(readBytes(QString::fromStdString(out)), QByteArray("EARLIER~~"));
        if (!input.startsWith('<')) QCOMPARE(readBytes(QString::fromStdString(in)), input);
        QCOMPARE(folderEntries(dir.path()), before);
    }
    // Records without texts for the type are reported; the extract goes through,
    // and the program's own exit status says so.
    void recordsNotWrittenExitWithThree() {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("NewFileMultiple_7.dat"));
        QVERIFY(writeBytes(out, "EARLIER~~"));
        QProcess process;
        process.start(clitest::cliProgram(),
                      QStringLiteral("extract --type 7 --multiple").split(QLatin1Char(' '))
                          << importFixture("connexion_multiple.txt") << out);
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 3);
        QCOMPARE(process.readAllStandardError(),
                 QByteArray("Invalid Call Index 7\nInvalid Call Index 7\nInvalid Call Index 7\n"));
        QCOMPARE(process.readAllStandardOutput(),
                 "0 label sets written to " + out.toUtf8() + " from 3 records\n");
        QCOMPARE(readBytes(out), QByteArray());
    }
};

QTEST_APPLESS_MAIN(TestImportCommands)
#include "tst_importcommands.moc"

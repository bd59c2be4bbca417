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
    void convertReplacesTheLabelFile();
    void convertRefusesOrFails_data();
    void convertRefusesOrFails();
    void extractFolderOldestFirst();
    void recordsNotWrittenExitWithThree();
    void extractRefusesOrFails_data();
    void extractRefusesOrFails();
    void theRealProgram();
};

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
    QTest::addColumn<QByteArray>("exportBytes");  // "<none>": no export
    QTest::addColumn<QString>("labelsName");      // "folder" is a folder, "export.txt" the export
    QTest::addColumn<std::string>("type");
    QTest::addColumn<int>("status");
    QTest::addColumn<std::string>("message");  // {export} and {labels} stand for the paths
    const QByteArray text = readBytes(QString::fromStdString(importFixture("catme_sp1.txt")));
    const QString labels = QStringLiteral("labels.dat");
    const std::string refused = "labelmaker-cli convert: ";
    QTest::newRow("missing export")
        << QByteArray("<none>") << labels << std::string("1") << 1
        << std::string("labelmaker-cli: {export}: No such file or directory\n");
    QTest::newRow("empty export")
        << QByteArray() << labels << std::string("1") << 2
        << refused + "{export} is empty: there is nothing to convert; nothing was written\n";
    QTest::newRow("binary export")
        << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) + text << labels << std::string("3") << 2
        << refused +
               "{export} is not a text export: it holds NUL bytes (a binary file, or text in "
               "UTF-16); nothing was written\n";
    QTest::newRow("Mailer-1") << text << labels << std::string("9") << 2
                              << refused +
                                     "Mailer-1 labels cannot be imported from an export (the "
                                     "exports have no layout for them); nothing was written\n";
    QTest::newRow("label file is the export")
        << text << QStringLiteral("export.txt") << std::string("1") << 2
        << refused +
               "{labels} is the export itself: the label file needs a name of its own; nothing "
               "was written\n";
    QTest::newRow("label file is a folder")
        << text << QStringLiteral("folder") << std::string("1") << 1
        << std::string("labelmaker-cli: {labels}: Is a directory\n");
}

void TestImportCommands::convertRefusesOrFails() {
    QFETCH(QByteArray, exportBytes);
    QFETCH(QString, labelsName);
    QFETCH(std::string, type);
    QFETCH(int, status);
    QFETCH(std::string, message);
    QTemporaryDir dir;
    const QString exportPath = dir.filePath(QStringLiteral("export.txt"));
    const QString labels = dir.filePath(labelsName);
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("labels.dat")), "EARLIER~~"));
    if (exportBytes != "<none>") QVERIFY(writeBytes(exportPath, exportBytes));
    const QStringList before = folderEntries(dir.path());

    CliRun run =
        runCli({"convert", "--type", type, exportPath.toStdString(), labels.toStdString()});
    QCOMPARE(run.status, status);
    QCOMPARE(run.err, withPaths(message, exportPath, labels));
    QCOMPARE(run.out, std::string());
    // Nothing was written: the earlier label file, the export and the folder are as they were.
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("labels.dat"))), QByteArray("EARLIER~~"));
    if (exportBytes != "<none>") QCOMPARE(readBytes(exportPath), exportBytes);
    QCOMPARE(folderEntries(dir.path()), before);
}

// The order and the texts are the extractor's own tests; here the command
// reads the folder, and a label file it wrote there is no record the next time.
void TestImportCommands::extractFolderOldestFirst() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("records"));
    // Name order is ocm00123, ocm04567, ocm89012; the times give another.
    QVERIFY(copyRecords(folder, {QStringLiteral("ocm89012.txt"), QStringLiteral("ocm00123.txt"),
                                 QStringLiteral("ocm04567.txt")}));
    const QString inside = folder + QStringLiteral("/NewFile_1.dat");
    for (int pass = 0; pass < 2; ++pass) {
        CliRun run =
            runCli({"extract", "--type=1", "--folder", folder.toStdString(), inside.toStdString()});
        QVERIFY2(run.status == 0, run.err.c_str());
        QCOMPARE(run.out, "3 label sets written to " + inside.toStdString() + " from 3 records\n");
        QCOMPARE(readBytes(inside), QByteArray("PS3545\r\n.E6 D4\r\n1946\r\n~~"
                                               "QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
                                               "FIC\r\nADAMS\r\n~~"));
    }
}

// Records without texts for the type are reported; the extract goes through.
void TestImportCommands::recordsNotWrittenExitWithThree() {
    QTemporaryDir dir;
    const QString records = dir.filePath(QStringLiteral("records"));
    QVERIFY(copyRecords(records, {QStringLiteral("ocm00123.txt"), QStringLiteral("ocm04567.txt"),
                                  QStringLiteral("ocm89012.txt")}));
    const QString out = dir.filePath(QStringLiteral("labels.dat"));
    QVERIFY(writeBytes(out, "EARLIER~~"));
    CliRun run =
        runCli({"extract", "--type", "7", "--folder", records.toStdString(), out.toStdString()});
    QCOMPARE(run.status, 3);
    QCOMPARE(run.err,
             std::string("Invalid Call Index 7\nInvalid Call Index 7\nInvalid Call Index 7\n"));
    QCOMPARE(run.out, "0 label sets written to " + out.toStdString() + " from 3 records\n");
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
    QTest::newRow("folder of subfolders and hidden files")
        << "--folder subfolders" << 2 << noExports;
    const std::string binary =
        "labelmaker-cli extract: {input} is not a text export: it holds NUL bytes (a binary file, "
        "or text in UTF-16); nothing was written\n";
    QTest::newRow("binary record in the folder") << "--folder binary" << 2 << binary;
    QTest::newRow("binary export") << "--multiple binary" << 2 << binary;
    QTest::newRow("label file is the export")
        << "--multiple same" << 2
        << std::string(
               "labelmaker-cli extract: {labels} is the export itself: the label file "
               "needs a name of its own; nothing was written\n");
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
            QVERIFY(writeBytes(input + QStringLiteral("/.record"), text));
        } else if (what == QLatin1String("binary")) {
            QVERIFY(copyRecords(input, {QStringLiteral("ocm00123.txt")}));
            named = input + QStringLiteral("/record.bin");
            QVERIFY(writeBytes(named, QByteArray("\x7f"
                                                 "ELF\x02\x01\x01\0\0\0",
                                                 10)));
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

// The program's own exit status for records it could not write.
void TestImportCommands::theRealProgram() {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("NewFileMultiple_7.dat"));
    QProcess process;
    process.start(clitest::cliProgram(),
                  QStringLiteral("extract --type 7 --multiple").split(QLatin1Char(' '))
                      << QString::fromStdString(importFixture("connexion_multiple.txt")) << out);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 3);
    QCOMPARE(process.readAllStandardError(),
             QByteArray("Invalid Call Index 7\nInvalid Call Index 7\nInvalid Call Index 7\n"));
}

QTEST_APPLESS_MAIN(TestImportCommands)
#include "tst_importcommands.moc"

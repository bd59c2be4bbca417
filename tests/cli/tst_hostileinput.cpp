// labelmaker-cli given hostile files: NUL bytes, lines of 10 MB, files past the
// largest label file, odd path names, unreadable files and things that are no
// files. Each row runs the real program, so a crash or a hang fails the row
// instead of the whole test, and checks the exit status, the message and that
// no file that was there before lost a byte.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "clirun.h"
#include "hostilefiles.h"
#include "testdata.h"

using clitest::Args;
using clitest::folderEntries;
using clitest::readBytes;
using clitest::writeBytes;
using namespace hostile;
Q_DECLARE_METATYPE(Args)
Q_DECLARE_METATYPE(std::string)

namespace {

// With --folder the hostile file is a record inside the folder IN.
const QByteArray kEarlier = "earlier~~";
constexpr uid_t kNobody = 65534;

// Hands the folder to nobody: root reads a file of mode 000 anyway, nobody cannot.
bool handToNobody(const QString& folder) {
    bool ok = ::chown(QFile::encodeName(folder).constData(), kNobody, kNobody) == 0;
    for (const QString& entry : folderEntries(folder)) {
        const QString path = folder + QLatin1Char('/') + entry;
        ok = ok && ::chown(QFile::encodeName(path).constData(), kNobody, kNobody) == 0;
        if (QFileInfo(path).isDir()) ok = ok && handToNobody(path);
    }
    return ok;
}

// Files named by bytes that are no UTF-8, which QFile cannot name.
bool writeRaw(const std::string& path, const QByteArray& bytes) {
    std::ofstream file(path, std::ios::binary);
    return file.write(bytes.constData(), bytes.size()).good();
}

QByteArray readRaw(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return QByteArray::fromStdString({std::istreambuf_iterator<char>(file), {}});
}

const Args kConvert{"convert", "--type", "1", "IN", "OUT"};
const Args kFolder{"extract", "--type", "3", "--folder", "IN", "OUT"};
const Args kPdf{"pdf", "--type", "1", "IN", "OUT"};

}  // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
  private slots:
    // delete, insert-blank and series open their file the same way, and convert
    // and extract --multiple check an export the same way: a row that would take
    // the same way as another is left out. A refused open (missing, unreadable, a
    // folder) is the same call in every command: one row per kind of input file.
    void everyCommand_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("body");     // the input's bytes; <10MB> is 10 MiB of x
        QTest::addColumn<int>("status");          // the exit status expected
        QTest::addColumn<QString>("message");     // on stderr; {input} and {in} stand for the paths
        QTest::addColumn<QByteArray>("written");  // a success's bytes of OUT, or of IN without OUT

        const QByteArray nul("A\0B~~\0~~C\xff\0~~", 13);
        const QByteArray longLabel = "QA76~~<10MB>~~P~~";
        const QByteArray record = fixture("/import/connexion_records/ocm00123.txt");
        const QString tooLong = QStringLiteral(
            "{input}: the file is 2147483649 bytes long; a label file can be at most 2,147,483,647 "
            "bytes");
        const QString notText = QStringLiteral(
            "{input} is not a text export: it holds NUL bytes (a binary file, or text in UTF-16)");
        const QString hugeLabel = QStringLiteral(
            "{input}: the label that begins at byte 1 is longer than 64 MiB: this is not a label "
            "file");
        const QString longLine = QStringLiteral(
            "{input}: the line that begins at byte 128001 is longer than 64 MiB: this is not a "
            "text "
            "export");
        const QString denied = QStringLiteral("{input}: Permission denied");
        const QString isFolder = QStringLiteral("{input}: Is a directory");
        const QString notRegular = QStringLiteral("{input}: Not a regular file");
        const QString noExports = QStringLiteral("{in} holds no export files");
        // Text for longer than the export check looks, then gigabytes without a line feed.
        const QByteArray textStart = QByteArray("QA76\n\n\n\n\n\n\n\n\n\n\n\n").repeated(8000);

        const Args pages{"pages", "--type", "1", "--json", "IN"};
        const Args del{"delete", "--type", "1", "--page", "1", "--label", "2", "IN"};
        const Args insert{"insert-blank", "--type", "1",       "--page", "1",
                          "--label",      "3",      "--count", "1",      "IN"};
        const Args series{"series",  "--type", "1",        "--page", "1",
                          "--label", "2",      "--copies", "2",      "IN"};
        const Args multiple{"extract", "--type", "3", "--multiple", "IN", "OUT"};
        auto row = [](const char* name, const Args& args, Kind kind, const QByteArray& body,
                      int status, const QString& message, const QByteArray& written = {}) {
            QTest::newRow(name) << args << int(kind) << body << status << message << written;
        };

        // A label file is bytes: NUL bytes are texts like any other and keep their place.
        row("pages, NUL bytes", pages, Plain, nul, 0, {}, nul);
        row("delete, NUL bytes kept", del, Plain, nul, 0, {}, QByteArray("\0~~C\xff\0~~", 8));
        row("pdf, NUL bytes", kPdf, Plain, nul, 0, {});

        row("pages, a 10 MB label", pages, LongLine, longLabel, 0, {}, longLabel);
        row("insert-blank before a 10 MB label", insert, LongLine, longLabel, 0, {},
            "QA76~~<Blank>~~<10MB>~~P~~");
        row("series of a 10 MB label", series, LongLine, "<10MB>~~", 0, {},
            "<10MB>\r\n~~<10MB>\r\n~~");
        row("convert, a 10 MB export line", kConvert, LongLine, "<10MB>\n\n\n\n\n\n\n\n\n\n\n\n", 0,
            {}, "<10MB>\r\n~~");
        row("extract --folder, a 10 MB record line", kFolder, LongLine, "<10MB>\r\n" + record, 0,
            {});
        row("pdf, a 10 MB label", kPdf, LongLine, longLabel, 0, {});

        row("pages, 2 GiB + 1", pages, Sparse, {}, 1, tooLong);
        row("delete, 2 GiB + 1", del, Sparse, {}, 1, tooLong);
        row("pdf, 2 GiB + 1", kPdf, Sparse, {}, 1, tooLong);
        row("extract --multiple, 2 GiB + 1", multiple, Sparse, {}, 2, notText);
        row("extract --folder, a 2 GiB + 1 record", kFolder, Sparse, {}, 2, notText);
        // The largest label file: one label of 2 GiB is refused; without its end
        // it is dropped, as any text the end of the file cuts short, and quickly.
        row("pages, one label of 2 GiB", pages, Largest, "~~", 1, hugeLabel);
        row("delete, one label of 2 GiB", del, Largest, "~~", 1, hugeLabel);
        row("pdf, one label of 2 GiB", kPdf, Largest, "~~", 1, hugeLabel);
        row("pages, 2 GiB without a label end", pages, Largest, {}, 0, {});
        row("convert, 2 GiB + 1 after a text start", kConvert, SparseTail, textStart, 1, longLine);
        row("extract --folder, 2 GiB + 1 after a text start", kFolder, SparseTail, textStart, 1,
            longLine);

        // Odd names work like plain ones.
        row("convert, odd names", kConvert, OddName, "X\n\n\n\n\n\n\n\n\n\n\n\n", 0, {}, "X\r\n~~");
        row("extract --folder, odd names", kFolder, OddName, record, 0, {});
        row("pdf, odd names", kPdf, OddName, "A~~", 0, {});

        row("series, missing", series, Missing, {}, 1,
            QStringLiteral("{input}: No such file or directory"));
        row("extract --multiple, missing", multiple, Missing, {}, 1,
            QStringLiteral("{input}: No such file or directory"));
        row("delete, a folder", del, Folder, {}, 1, isFolder);
        row("extract --multiple, a folder", multiple, Folder, {}, 1, isFolder);

        row("pages, unreadable", pages, Unreadable, "A~~", 1, denied);
        row("convert, unreadable", kConvert, Unreadable, "X\n", 1, denied);
        row("extract --folder, unreadable record", kFolder, Unreadable, record, 1, denied);

        // A named pipe would block the first read until someone writes to it.
        row("pages, a named pipe", pages, Fifo, {}, 1, notRegular);
        row("delete, a named pipe", del, Fifo, {}, 1, notRegular);
        row("convert, a named pipe", kConvert, Fifo, {}, 1, notRegular);
        row("extract --folder, only a named pipe", kFolder, Fifo, {}, 2, noExports);
        row("pdf, a named pipe", kPdf, Fifo, {}, 1, notRegular);
    }
    void everyCommand() {
        QFETCH(Args, args);
        QFETCH(int, kind);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QByteArray, written);

        QTemporaryDir dir;
        QTemporaryDir runtime;  // Qt's runtime folder for the pdf command, kept out of `dir`
        const bool odd = kind == OddName;
        const QString in =
            dir.filePath(odd ? QStringLiteral("it's a \"label\" f\u00efle \u00e9t\u00e9")
                             : QStringLiteral("input"));
        const QString out =
            dir.filePath(odd ? QStringLiteral("\u00e9 out \"1\".dat") : QStringLiteral("out.dat"));
        QString input = in;
        if (args[3] == "--folder") {
            QVERIFY(QDir().mkdir(in));
            input = in + QStringLiteral("/record.txt");
        }
        QVERIFY(makeInput(Kind(kind), input, body) && writeBytes(out, kEarlier));
        const bool asNobody = kind == Unreadable && ::geteuid() == 0;
        if (asNobody) QVERIFY(handToNobody(dir.path()));
        const bool readable =
            kind == Plain || kind == OddName || kind == LongLine || kind == Unreadable;
        const QByteArray inputBefore = readable ? readBytes(input) : QByteArray();
        const QStringList entriesBefore = folderEntries(dir.path());
        const QFileInfo before(input);
        const qint64 sizeBefore = before.size();
        const QDateTime changedBefore = before.lastModified();

        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QORTEX_DIR"), dir.path());  // no settings file: the defaults
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        process.setProcessEnvironment(env);
        if (asNobody)
            process.setChildProcessModifier([] {
                if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
            });
        QStringList arguments;
        for (const std::string& arg : args)
            arguments << (arg == "IN" ? in : arg == "OUT" ? out : QString::fromStdString(arg));
        process.start(clitest::cliProgram(), arguments);
        const bool finished = process.waitForFinished(20000);
        if (!finished) process.kill(), process.waitForFinished();
        QVERIFY2(finished, "the command hung");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(process.exitCode() == status, qPrintable(err));

        if (status == 0) {
            QVERIFY2(err.isEmpty(), qPrintable(err));
            const QByteArray result = readBytes(args.back() == "OUT" ? out : input);
            if (args.front() == "pages") {
                // Page 1 as one JSON object, NUL bytes and long texts whole.
                const QByteArray listed = process.readAllStandardOutput();
                const QJsonObject page =
                    QJsonDocument::fromJson(listed.left(listed.indexOf('\n'))).object();
                const QString spine =
                    page.value(QStringLiteral("spine")).toArray().at(0).toString();
                QCOMPARE(spine.size(), qsizetype(kind == Largest ? 0 : expand(body).indexOf("~~")));
            }
            if (kind == Largest)
                QCOMPARE(QFileInfo(input).size(), sizeBefore);
            else if (args.front() == "pdf")
                QVERIFY(result.startsWith("%PDF-"));
            else if (!written.isEmpty())
                QVERIFY(result == expand(written));
            else
                QVERIFY(result != kEarlier && !result.isEmpty());
            return;
        }
        QString expected = message;
        expected.replace(QStringLiteral("{input}"), input).replace(QStringLiteral("{in}"), in);
        QVERIFY2(err.contains(expected), qPrintable(err + QStringLiteral("\nwanted: ") + expected));
        QVERIFY(process.readAllStandardOutput().isEmpty());
        QCOMPARE(readBytes(out), kEarlier);
        if (readable) QVERIFY(readBytes(input) == inputBefore);
        QCOMPARE(QFileInfo(input).size(), sizeBefore);
        QCOMPARE(QFileInfo(input).lastModified(), changedBefore);
        QCOMPARE(folderEntries(dir.path()), entriesBefore);
    }
    // pages and delete name their files as convert does; pdf writes through Qt.
    void namesInAnOlderEncoding_data() {
        QTest::addColumn<Args>("args");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("written");  // the start of OUT's bytes; "" any
        QTest::newRow("convert") << kConvert << QByteArray("X\n\n\n\n\n\n\n\n\n\n\n\n")
                                 << QByteArray("X\r\n~~");
        QTest::newRow("extract --folder")
            << kFolder << fixture("/import/connexion_records/ocm00123.txt") << QByteArray();
        QTest::newRow("pdf") << kPdf << QByteArray("A~~") << QByteArray("%PDF-");
    }
    // Latin-1 names, as on an older disk, work like any other: every file is the
    // one named, and no twin with a replacement character appears.
    void namesInAnOlderEncoding() {
        QFETCH(Args, args);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, written);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        // QTemporaryDir cannot remove what it cannot name.
        const auto removeAll = qScopeGuard([&folder] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        const std::string in = folder + "/l\xe9 in";
        const std::string out = folder + "/\xe9t\xe9 out";
        std::string input = in;
        if (args[3] == "--folder") {
            QVERIFY(std::filesystem::create_directory(in));
            input = in + "/\xe9.txt";
        }
        QVERIFY(writeRaw(input, body) && writeRaw(out, kEarlier));
        for (std::string& arg : args) arg = arg == "IN" ? in : arg == "OUT" ? out : arg;
        qputenv("QORTEX_DIR", QByteArray::fromStdString(folder));
        clitest::CliRun run = clitest::runCli(args);
        qunsetenv("QORTEX_DIR");
        QVERIFY2(run.status == 0, run.err.c_str());
        const QByteArray result = readRaw(out);
        QVERIFY(!result.isEmpty() && result != kEarlier && result.startsWith(written));
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().native());
        std::sort(names.begin(), names.end());
        QVERIFY(names == (std::vector<std::string>{"l\xe9 in", "\xe9t\xe9 out"}));
    }
};

QTEST_APPLESS_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/connexionextract.h"
#include "storefixtures.h"
#include "testdata.h"
#include "testkit.h"

using lmtest::readBytes;
using lmtest::writeBytes;

struct LineRow {
    const char* name;
    int callIndex;
    QByteArray file, expected;
};
LM_TEST_ROW(LineRow)

struct FolderInputRow {
    const char* name;
    const char* input;
    const char* reason;  // empty: an empty output
};
LM_TEST_ROW(FolderInputRow)

namespace {

// Sets a file's last-modified time, in seconds since 1970.
void setModified(const QString& path, long long seconds) {
    timespec times[2] = {{static_cast<time_t>(seconds), 0}, {static_cast<time_t>(seconds), 0}};
    QCOMPARE(utimensat(AT_FDCWD, path.toLocal8Bit().constData(), times, 0), 0);
}

// A line of a Connexion export: the spine in columns 1 to 11, the pocket from 12.
QByteArray cx(const QByteArray& spine, const QByteArray& pocket = QByteArray()) {
    return spine.leftJustified(11, ' ') + pocket;
}

// Export lines ended by CR LF, as Connexion writes them.
QByteArray crlfLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + "\r\n";
    return bytes;
}

// The output of a successful extract, with its summary.
struct Extracted {
    lm::Result<lm::ExtractSummary> result;
    QByteArray output;
    bool ok() const { return result.ok(); }
    const char* error() const { return result.ok() ? "" : result.error().reason.c_str(); }
};

Extracted finish(lm::Result<lm::ExtractSummary> result, const QString& out) {
    QByteArray output = result.ok() ? readBytes(out) : QByteArray();
    return {std::move(result), output};
}

Extracted extractFolder(const QString& folder, int callIndex, const QString& out) {
    return finish(lm::InfoExtract(folder.toStdString(), callIndex, out.toStdString()), out);
}

// Runs the folder extract over files written in this order, each a second
// newer than the one before.
Extracted extractFolder(const QList<QByteArray>& files, int callIndex) {
    QTemporaryDir dir;
    for (int i = 0; i < files.size(); ++i) {
        const QString path = dir.filePath(QStringLiteral("record%1.txt").arg(i));
        writeBytes(path, files[i]);
        setModified(path, 1700000000 + i);
    }
    QTemporaryDir outDir;
    return extractFolder(dir.path(), callIndex, outDir.filePath(QStringLiteral("NewFile.dat")));
}

}  // namespace

class TestConnexionExtract : public QObject {
    Q_OBJECT
  private slots:
    void lineRule_data() {
        QList<QByteArray> eight;
        for (int i = 1; i <= 8; ++i)
            eight << cx("S" + QByteArray::number(i), "P" + QByteArray::number(i));
        const QList<QByteArray> five = eight.mid(0, 5);
        const QByteArray fiveSpines = crlfLines({"S1", "S2", "S3", "S4", "S5"});
        const QByteArray fivePockets = crlfLines({"P1", "P2", "P3", "P4", "P5"});
        QList<QByteArray> sevenSecond = five;
        for (int i = 1; i <= 7; ++i) sevenSecond << cx("", "Q" + QByteArray::number(i));
        lmtest::addRows<LineRow>({
            {"at most five second-pocket lines", 3, crlfLines(sevenSecond),
             fiveSpines + "~~" + fivePockets + "~~" + crlfLines({"Q1", "Q2", "Q3", "Q4", "Q5"}) +
                 "~~"},
        });
    }
    void lineRule() {
        QFETCH(LineRow, row);
        Extracted extracted = extractFolder({row.file}, row.callIndex);
        QVERIFY2(extracted.ok(), extracted.error());
        QCOMPARE(extracted.output, row.expected);
        QCOMPARE(extracted.result->recordsWritten, 1LL);
        QVERIFY(extracted.result->messages.empty());
    }
    void folderRecordsOldestFirst() {
        // Records written in an order unlike their names, so that the folder's own
        // order is not the name order; hidden files, subfolders and broken links
        // are no records, a link to a file is; an earlier output in the folder is
        // not read as a record. a and b share a time: the selection sort's swap
        // carries a past b, so b comes first.
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("records"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("records/sub")));
        const std::pair<const char*, long long> files[] = {{"c", 1}, {"a", 2}, {"b", 2}};
        for (const auto& [name, time] : files) {
            const QString path = folder + QLatin1Char('/') + QLatin1String(name);
            writeBytes(path, name);
            setModified(path, 1700000000 + time);
        }
        writeBytes(folder + QStringLiteral("/.hidden"), "HIDDEN\r\n");
        writeBytes(folder + QStringLiteral("/sub/inner.txt"), "INNER\r\n");
        writeBytes(dir.filePath(QStringLiteral("outside.txt")), "LINKED\r\n");
        setModified(dir.filePath(QStringLiteral("outside.txt")), 1700000100);
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside.txt")),
                            folder + QStringLiteral("/link.txt")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone.txt")),
                            folder + QStringLiteral("/broken.txt")));
        const QString out = folder + QStringLiteral("/NewFile_1.dat");
        writeBytes(out, "OLD\r\n~~");
        for (int run = 0; run < 2; ++run) {
            Extracted extracted = extractFolder(folder, 1, out);
            QVERIFY2(extracted.ok(), extracted.error());
            QCOMPARE(extracted.output, QByteArray("c\r\n~~b\r\n~~a\r\n~~LINKED\r\n~~"));
        }
    }
    void folderInputs_data() {
        lmtest::addRows<FolderInputRow>({
            {"a file, not a folder", "file.txt", "Not a directory"},
            {"only subfolders", "folder", ""},
        });
    }
    void folderInputs() {
        QFETCH(FolderInputRow, row);
        const QString reason = QString::fromUtf8(row.reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder/2023/march")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder/2024")));
        writeBytes(dir.filePath(QStringLiteral("folder/2023/march/record.txt")), "QA76\r\n");
        writeBytes(dir.filePath(QStringLiteral("file.txt")), "QA76\r\n");
        const QString out = dir.filePath(QStringLiteral("NewFile_1.dat"));
        writeBytes(out, "OLD~~");
        const std::string path = dir.filePath(QString::fromUtf8(row.input)).toStdString();
        lm::Result<lm::ExtractSummary> result = lm::InfoExtract(path, 1, out.toStdString());
        if (reason.isEmpty()) {
            QVERIFY(result.ok());
            QCOMPARE(result->recordsRead, 0LL);
            QCOMPARE(readBytes(out), QByteArray());
            return;
        }
        QVERIFY(!result.ok());
        QCOMPARE(result.error().path, path);
        QCOMPARE(QString::fromStdString(result.error().reason), reason);
        QCOMPARE(readBytes(out), QByteArray("OLD~~"));
    }
    void progressAndStop() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("records"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("records")));
        const QString source = QStringLiteral(LM_TEST_DATA_DIR "/import/connexion_records/");
        long long size = 0;
        for (const char* name : {"ocm00123.txt", "ocm04567.txt", "ocm89012.txt"}) {
            QVERIFY(QFile::copy(source + QLatin1String(name),
                                folder + QLatin1Char('/') + QLatin1String(name)));
            size += QFileInfo(source + QLatin1String(name)).size();
        }
        const QString out = dir.filePath(QStringLiteral("NewFile_3.dat"));
        writeBytes(out, "OLD~~");

        std::vector<long long> done;
        const std::size_t stopAt = 2;
        auto progress = [&](long long bytes, long long total) {
            done.push_back(bytes);
            return total == size && done.size() != stopAt;
        };
        lm::Result<lm::ExtractSummary> result =
            lm::InfoExtract(folder.toStdString(), 3, out.toStdString(), progress);
        QVERIFY(result.ok() && result->cancelled);
        QCOMPARE(done.size(), stopAt);
        QCOMPARE(result->recordsWritten, 0LL);
        QCOMPARE(readBytes(out), QByteArray("OLD~~"));
        QCOMPARE(lmtest::entriesIn(dir.path()), 2);
    }
};

QTEST_APPLESS_MAIN(TestConnexionExtract)
#include "tst_connexionextract.moc"

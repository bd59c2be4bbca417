#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

#include "core/importconvert.h"
#include "storefixtures.h"
#include "testdata.h"

using lmtest::readBytes;
using lmtest::writeBytes;
using Lines = std::vector<QByteArray>;

namespace {

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Lines of an export, each ended by a line feed.
QByteArray exportLines(const Lines& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + '\n';
    return bytes;
}

// A two-column line: the spine in columns 1 to 8, two unused columns, the pocket.
QByteArray twoColumns(const QByteArray& spine, const QByteArray& pocket) {
    return spine.leftJustified(8, ' ') + "xx" + pocket;
}

// "<prefix><first>" and the `count` - 1 numbers after it.
Lines numbered(const char* prefix, int first, int count) {
    Lines lines;
    for (int i = first; i < first + count; ++i) lines.push_back(prefix + QByteArray::number(i));
    return lines;
}

// One label block of a single-column export: 9 content lines, 3 trailing lines.
QByteArray spineBlock(Lines content) {
    content.resize(9);
    return exportLines(content + Lines{"trailing 1", "trailing 2", "trailing 3"});
}

// One label block of a spine + pocket (slb) export.
QByteArray pocketBlock(Lines content) {
    content.resize(12);
    return exportLines(content);
}

}  // namespace

class TestImportConvert : public QObject {
    Q_OBJECT
  private slots:
    void convert_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<long long>("labels");
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char* name, int type, const QByteArray& input, long long labels,
                      const QByteArray& expected) {
            QTest::newRow(name) << type << input << labels << expected;
        };

        // Types outside 1 to 10, which the import fuzz target cannot name, have
        // no layout (it checks the layout of every other type).
        const QByteArray spines = spineBlock(numbered("A", 1, 9)) + spineBlock(numbered("B", 1, 9));
        for (int type : {-1, 32767})
            QTest::addRow("type %d has no layout", type) << type << spines << 0LL << QByteArray();

        // Where the input ends: inside the first label, nothing is written.
        row("input ends inside the first label", 1, exportLines({"FIC", "ADAMS", "c.1"}), 0, "");

        // Exports as the cataloguing programs write them.
        auto fixture = [](const char* name) {
            return readBytes(QStringLiteral(LM_TEST_DATA_DIR "/import/") + QLatin1String(name));
        };
        row("CatME sp1, CR LF", 1, fixture("catme_sp1.txt"), 2,
            "REF\r\nQA76.73\r\n.C153\r\nS77\r\n2013\r\n~~FIC\r\nTOLKIEN\r\nv.1\r\n~~");
        row("CatME sl6, second label cut off", 4, fixture("catme_sl6_cut_off.txt"), 1,
            "J\r\n811\r\nSIL\r\nc.3\r\n~~"
            "Silverstein, Shel.\r\nWhere the sidewalk\r\nends : poems and\r\ndrawings.\r\n~~"
            "Silverstein, Shel.\r\nWhere the sidewalk\r\nends.\r\n31234000444555\r\n~~");
    }
    void convert() {
        QFETCH(int, labelType);
        QFETCH(QByteArray, input);
        QFETCH(long long, labels);
        QFETCH(QByteArray, expected);
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("export.txt"));
        const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
        writeBytes(in, input);
        lm::Result<lm::ConvertSummary> result =
            lm::FileConvert(in.toStdString(), labelType, out.toStdString());
        QVERIFY2(result.ok(), result.ok() ? "" : result.error().message().c_str());
        QCOMPARE(readBytes(out), expected);
        QCOMPARE(result->labelsWritten, labels);
        QVERIFY(!result->cancelled);
    }
    void largeExport() {
        // Megabytes of labels of varying length, so that lines and CR LF pairs
        // fall across the reader's block boundaries at many places.
        QByteArray input;
        QByteArray expected;
        for (int i = 0; i < 40000; ++i) {
            const QByteArray number = QByteArray::number(i);
            const QByteArray title = "Title " + number + QByteArray(i % 97, '.');
            input += pocketBlock({twoColumns("QA" + number.right(5), title + "\r"),
                                  twoColumns(" .C" + number.left(3), "Author\r")});
            expected += "QA" + number.right(5) + "\r\n.C" + number.left(3) + "\r\n~~" + title +
                        "\r\nAuthor\r\n~~";
        }
        QVERIFY(input.size() > 3 * (1 << 20));
        QTemporaryDir dir;
        const QString in = dir.filePath(QStringLiteral("export.txt"));
        const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
        writeBytes(in, input);

        std::vector<long long> done;
        lm::Result<lm::ConvertSummary> result = lm::FileConvert(
            in.toStdString(), 5, out.toStdString(), [&](long long bytes, long long total) {
                done.push_back(bytes);
                return total == input.size();
            });
        QVERIFY(result.ok() && !result->cancelled);
        QCOMPARE(lmtest::entriesIn(dir.path()), 2);
        QCOMPARE(result->labelsWritten, 40000LL);
        QVERIFY(readBytes(out) == expected);
        QVERIFY(done.size() >= 2);
        for (std::size_t i = 1; i < done.size(); ++i) QVERIFY(done[i] > done[i - 1]);
        QCOMPARE(done.back(), (long long)input.size());
    }
    void exportCanBeConvertedOntoItself() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("labels.txt"));
        writeBytes(path, spineBlock({"FIC", "ADAMS"}));
        QVERIFY(lm::FileConvert(path.toStdString(), 1, path.toStdString()).ok());
        QCOMPARE(readBytes(path), QByteArray("FIC\r\nADAMS\r\n~~"));
    }
    void unreadableInputIsReported() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
        writeBytes(out, "OLD~~");
        const std::pair<const char*, const char*> inputs[] = {
            {"missing.txt", "No such file or directory"}, {"folder", "Is a directory"}};
        for (const auto& [name, reason] : inputs) {
            const std::string in = dir.filePath(QLatin1String(name)).toStdString();
            for (int type : {1, 9}) {  // also a type without a layout
                lm::Result<lm::ConvertSummary> result =
                    lm::FileConvert(in, type, out.toStdString());
                QVERIFY(!result.ok());
                QCOMPARE(result.error().path, in);
                QCOMPARE(result.error().reason, std::string(reason));
                QCOMPARE(readBytes(out), QByteArray("OLD~~"));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestImportConvert)
#include "tst_importconvert.moc"

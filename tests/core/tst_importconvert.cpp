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

// A label text as the label file holds it: each line followed by CR LF.
QByteArray text(const Lines& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + "\r\n";
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

Lines twoColumnLines(const char* spine, const char* pocket, int first, int count) {
    Lines lines;
    for (int i = first; i < first + count; ++i)
        lines.push_back(twoColumns(spine + QByteArray::number(i), pocket + QByteArray::number(i)));
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

        // The layout of every label type.
        const QByteArray spines = spineBlock(numbered("A", 1, 9)) + spineBlock(numbered("B", 1, 9));
        const QByteArray spinesText =
            text(numbered("A", 1, 9)) + "~~" + text(numbered("B", 1, 9)) + "~~";
        for (int type : {1, 2, 7, 8, 10})
            QTest::addRow("type %d: 9 spine lines, 3 trailing", type)
                << type << spines << 2LL << spinesText;
        const QByteArray slb = pocketBlock(twoColumnLines("S", "P", 1, 9)) +
                               pocketBlock(twoColumnLines("T", "Q", 1, 9));
        const QByteArray slbText = text(numbered("S", 1, 9)) + "~~" + text(numbered("P", 1, 9)) +
                                   "~~" + text(numbered("T", 1, 9)) + "~~" +
                                   text(numbered("Q", 1, 9)) + "~~";
        for (int type : {5, 6})
            QTest::addRow("type %d: 9 two-column lines, 3 trailing", type)
                << type << slb << 2LL << slbText;
        // The spine-only lines carry text in their pocket columns that must not show up.
        const QByteArray sl4 =
            exportLines(twoColumnLines("S", "P", 1, 4) + twoColumnLines("S", "ignored", 5, 1) +
                        twoColumnLines("S", "Q", 6, 4) + Lines(3));
        const QByteArray sl4Text = text(numbered("S", 1, 9)) + "~~" + text(numbered("P", 1, 4)) +
                                   "~~" + text(numbered("Q", 6, 4)) + "~~";
        row("sl4: 4 + 1 + 4 lines, 3 trailing", 3, sl4 + sl4, 2, sl4Text + sl4Text);
        const QByteArray sl6 =
            exportLines(twoColumnLines("S", "P", 1, 6) + twoColumnLines("S", "ignored", 7, 2) +
                        twoColumnLines("S", "Q", 9, 6) + Lines(4));
        const QByteArray sl6Text = text(numbered("S", 1, 14)) + "~~" + text(numbered("P", 1, 6)) +
                                   "~~" + text(numbered("Q", 9, 6)) + "~~";
        row("sl6: 6 + 2 + 6 lines, 4 trailing", 4, sl6 + sl6, 2, sl6Text + sl6Text);
        for (int type : {9, 0, 11, -1, 32767})
            QTest::addRow("type %d has no layout", type) << type << spines << 0LL << QByteArray();

        // How a spine line is cleaned.
        row("spaces then carriage return", 1, spineBlock({"  \r"}), 1, "~~");
        row("only one leading space goes", 1, spineBlock({"  QA76"}), 1, " QA76\r\n~~");
        row("spaces and CRs in any mix go", 1, spineBlock({"QA76  \r \r\r"}), 1, "QA76\r\n~~");
        row("a CR inside the line stays", 1, spineBlock({"QA\r76\r"}), 1, "QA\r76\r\n~~");

        // How a two-column line is split and cleaned.
        row("columns 9 and 10 are lost", 5, pocketBlock({"PS3545  ABCDE"}), 1,
            "PS3545\r\n~~CDE\r\n~~");
        row("nine characters: no pocket column", 5, pocketBlock({"PS3545  x"}), 1,
            "PS3545\r\n~~~~");
        row("short CR LF line loses the CR", 5, pocketBlock({"QA76\r"}), 1, "QA76\r\n~~~~");
        row("pocket CRs then spaces are removed", 5, pocketBlock({"PS3545  xxTitle  \r\r"}), 1,
            "PS3545\r\n~~Title\r\n~~");
        row("only one leading pocket space goes", 5, pocketBlock({"PS3545      Title"}), 1,
            "PS3545\r\n~~ Title\r\n~~");
        row("pocket of spaces and CR", 5, pocketBlock({"PS3545  xx  \r"}), 1, "PS3545\r\n~~\r\n~~");

        // Where the input ends.
        const QByteArray first = spineBlock({"FIC", "ADAMS"}) + exportLines({"REF", "QA76"});
        const QByteArray second = exportLines(Lines(7));
        const QByteArray firstText = "FIC\r\nADAMS\r\n~~";
        const QByteArray bothTexts = firstText + "REF\r\nQA76\r\n~~";
        row("two whole labels", 1, first + second + "\n\n\n", 2, bothTexts);
        row("second label without its trailing lines", 1, first + second, 1, firstText);
        row("one byte after the last content line", 1, first + second + "x", 2, bothTexts);
        row("input ends inside the first label", 1, exportLines({"FIC", "ADAMS", "c.1"}), 0, "");
        row("blank slb label", 5, exportLines(Lines(12)), 1, "~~~~");
        const QByteArray sl6Cut = exportLines(twoColumnLines("S", "P", 1, 14));
        row("sl6 label with one trailing byte", 4, sl6Cut + " ", 1,
            text(numbered("S", 1, 14)) + "~~" + text(numbered("P", 1, 6)) + "~~" +
                text(numbered("P", 9, 6)) + "~~");

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
    void windowsLineEndsImportAsUnix_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<QByteArray>("lfExport");
        const QByteArray typed = spineBlock({"REF", " QA76.73  ", ".C153 ", "", "2013"}) +
                                 spineBlock({"FIC", "TOLKIEN", "v.1", "   "}) + "\n";
        QByteArray catme =
            readBytes(QStringLiteral(LM_TEST_DATA_DIR "/import/catme_sp1.txt")).replace("\r", "");
        for (int type : {1, 2, 7, 8, 10}) {
            QTest::addRow("type %d, CatME export", type) << type << catme;
            QTest::addRow("type %d, spaces and blank lines", type) << type << typed;
        }
    }
    // A Windows export (CR LF) and the same export with LF line ends give the
    // same label file for every single-column layout: single-spaced.
    void windowsLineEndsImportAsUnix() {
        QFETCH(int, labelType);
        QFETCH(QByteArray, lfExport);
        QByteArray crLfExport = lfExport;
        crLfExport.replace("\n", "\r\n");
        QTemporaryDir dir;
        QByteArray outputs[2];
        for (int i = 0; i < 2; ++i) {
            const QString in = dir.filePath(QStringLiteral("export%1.txt").arg(i));
            const QString out = dir.filePath(QStringLiteral("out%1.dat").arg(i));
            writeBytes(in, i == 0 ? lfExport : crLfExport);
            QVERIFY(lm::FileConvert(in.toStdString(), labelType, out.toStdString()).ok());
            outputs[i] = readBytes(out);
        }
        QVERIFY(!outputs[0].isEmpty());
        QVERIFY(!outputs[0].contains("\r\r"));
        QCOMPARE(outputs[1], outputs[0]);
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

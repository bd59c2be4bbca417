#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

#include "core/atomicfile.h"
#include "core/importconvert.h"
#include "storefixtures.h"
#include "testdata.h"

using lmtest::readBytes;
using lmtest::writeBytes;

namespace {

// Lines of an export, each ended by a line feed.
QByteArray exportLines(const std::vector<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + '\n';
    return bytes;
}

// `count` empty lines.
std::vector<QByteArray> blankLines(int count) {
    return std::vector<QByteArray>(count);
}

std::vector<QByteArray> operator+(std::vector<QByteArray> a, const std::vector<QByteArray>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A two-column line: the spine in columns 1 to 8, two unused columns, the pocket.
QByteArray twoColumns(const QByteArray& spine, const QByteArray& pocket) {
    return spine.leftJustified(8, ' ') + "xx" + pocket;
}

// A label text as the label file holds it: each line followed by CR LF.
QByteArray text(const std::vector<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += line + "\r\n";
    return bytes;
}

// Numbered lines "<prefix>1" to "<prefix><count>", starting at `first`.
std::vector<QByteArray> numbered(const char* prefix, int first, int count) {
    std::vector<QByteArray> lines;
    for (int i = first; i < first + count; ++i) lines.push_back(prefix + QByteArray::number(i));
    return lines;
}

std::vector<QByteArray> twoColumnLines(const char* spine, const char* pocket, int first,
                                       int count) {
    std::vector<QByteArray> lines;
    for (int i = first; i < first + count; ++i)
        lines.push_back(twoColumns(spine + QByteArray::number(i), pocket + QByteArray::number(i)));
    return lines;
}

// One label block of a single-column export: 9 content lines, 3 trailing lines.
std::vector<QByteArray> spineBlock(std::vector<QByteArray> content) {
    content.resize(9);
    return content + std::vector<QByteArray>{"trailing 1", "trailing 2", "trailing 3"};
}

// One label block of a spine + pocket (slb) export.
std::vector<QByteArray> pocketBlock(std::vector<QByteArray> content) {
    content.resize(9);
    return content + blankLines(3);
}

// An export of `count` one-line spine labels, "QA0" onwards.
QByteArray manySpineLabels(int count) {
    QByteArray input;
    for (int i = 0; i < count; ++i)
        input += exportLines(spineBlock({"QA" + QByteArray::number(i)}));
    return input;
}

struct Converted {
    bool ok = false;
    QByteArray output;
    QString error;
    long long labels = 0;
};

Converted convert(const QByteArray& input, int labelType) {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("export.txt"));
    const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
    writeBytes(in, input);
    lm::Result<lm::ConvertSummary> result =
        lm::FileConvert(in.toStdString(), labelType, out.toStdString());
    Converted converted;
    converted.ok = result.ok();
    if (result.ok()) {
        converted.output = readBytes(out);
        converted.labels = result->labelsWritten;
    } else {
        converted.error = QString::fromStdString(result.error().message());
    }
    return converted;
}

int scratchFileCount(const QString& folder) {
    int count = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (lm::isScratchFileName(name.toStdString())) ++count;
    return count;
}

}  // namespace

class TestImportConvert : public QObject {
    Q_OBJECT
  private slots:
    void layoutOfEveryLabelType_data();
    void layoutOfEveryLabelType();
    void spinePartIsCleaned_data();
    void spinePartIsCleaned();
    void pocketPartIsCleaned_data();
    void pocketPartIsCleaned();
    void endOfInput_data();
    void endOfInput();
    void exportFixtures_data();
    void exportFixtures();
    void binaryBytesPassThrough();
    void megabyteLines();
    void labelsAcrossReadBlocks();
    void exportCanBeConvertedOntoItself();
    void unreadableInputIsReported_data();
    void unreadableInputIsReported();
    void missingOutputFolderIsReported();
    void failedWriteKeepsTheOldOutput();
    void progressRunsToTheFileSize();
    void stopKeepsTheOldOutput();
};

void TestImportConvert::layoutOfEveryLabelType_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray spineExport =
        exportLines(spineBlock(numbered("A", 1, 9)) + spineBlock(numbered("B", 1, 9)));
    const QByteArray spineExpected =
        text(numbered("A", 1, 9)) + "~~" + text(numbered("B", 1, 9)) + "~~";
    for (int type : {1, 2, 7, 8, 10})
        QTest::addRow("type %d: 9 spine lines, 3 trailing", type)
            << type << spineExport << spineExpected;

    const QByteArray slbExport = exportLines(pocketBlock(twoColumnLines("S", "P", 1, 9)) +
                                             pocketBlock(twoColumnLines("T", "Q", 1, 9)));
    const QByteArray slbExpected = text(numbered("S", 1, 9)) + "~~" + text(numbered("P", 1, 9)) +
                                   "~~" + text(numbered("T", 1, 9)) + "~~" +
                                   text(numbered("Q", 1, 9)) + "~~";
    for (int type : {5, 6})
        QTest::addRow("type %d: 9 two-column lines, 3 trailing", type)
            << type << slbExport << slbExpected;

    // The spine-only lines carry text in their pocket columns that must not show up.
    const std::vector<QByteArray> sl4Label = twoColumnLines("S", "P", 1, 4) +
                                             twoColumnLines("S", "ignored", 5, 1) +
                                             twoColumnLines("S", "Q", 6, 4) + blankLines(3);
    const QByteArray sl4Text = text(numbered("S", 1, 9)) + "~~" + text(numbered("P", 1, 4)) + "~~" +
                               text(numbered("Q", 6, 4)) + "~~";
    QTest::newRow("sl4: 4 + 1 + 4 lines, 3 trailing")
        << 3 << exportLines(sl4Label + sl4Label) << sl4Text + sl4Text;

    const std::vector<QByteArray> sl6Label = twoColumnLines("S", "P", 1, 6) +
                                             twoColumnLines("S", "ignored", 7, 2) +
                                             twoColumnLines("S", "Q", 9, 6) + blankLines(4);
    const QByteArray sl6Text = text(numbered("S", 1, 14)) + "~~" + text(numbered("P", 1, 6)) +
                               "~~" + text(numbered("Q", 9, 6)) + "~~";
    QTest::newRow("sl6: 6 + 2 + 6 lines, 4 trailing")
        << 4 << exportLines(sl6Label + sl6Label) << sl6Text + sl6Text;

    for (int type : {9, 0, 11, -1, 32767})
        QTest::addRow("type %d has no layout", type) << type << spineExport << QByteArray();
}

void TestImportConvert::layoutOfEveryLabelType() {
    QFETCH(int, labelType);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    Converted converted = convert(input, labelType);
    QVERIFY2(converted.ok, qPrintable(converted.error));
    QCOMPARE(converted.output, expected);
}

void TestImportConvert::spinePartIsCleaned_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("spine");
    QTest::newRow("call number") << QByteArray("QA76") << QByteArray("QA76\r\n");
    QTest::newRow("only spaces") << QByteArray("     ") << QByteArray();
    QTest::newRow("empty line") << QByteArray() << QByteArray();
    QTest::newRow("carriage return alone") << QByteArray("\r") << QByteArray();
    QTest::newRow("spaces then carriage return") << QByteArray("  \r") << QByteArray(" \r\r\n");
    QTest::newRow("one leading space goes") << QByteArray(" QA76") << QByteArray("QA76\r\n");
    QTest::newRow("only one leading space goes") << QByteArray("  QA76") << QByteArray(" QA76\r\n");
    QTest::newRow("trailing spaces go") << QByteArray("QA76   ") << QByteArray("QA76\r\n");
    QTest::newRow("CR LF line keeps its CR") << QByteArray("QA76\r") << QByteArray("QA76\r\r\n");
    QTest::newRow("spaces before the CR stay")
        << QByteArray("QA76  \r") << QByteArray("QA76  \r\r\n");
    QTest::newRow("tabs are not spaces") << QByteArray("\tQA76\t") << QByteArray("\tQA76\t\r\n");
    QTest::newRow("single tilde") << QByteArray("A~B") << QByteArray("A~B\r\n");
    QTest::newRow("Windows-1252 letters") << QByteArray(
                                                 "Garc\xed"
                                                 "a M\xe1"
                                                 "rquez")
                                          << QByteArray(
                                                 "Garc\xed"
                                                 "a M\xe1"
                                                 "rquez\r\n");
}

void TestImportConvert::spinePartIsCleaned() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, spine);
    Converted converted = convert(exportLines(spineBlock({line, "c.1"})), 1);
    QVERIFY2(converted.ok, qPrintable(converted.error));
    QCOMPARE(converted.output, spine + "c.1\r\n~~");
}

void TestImportConvert::pocketPartIsCleaned_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("spine");
    QTest::addColumn<QByteArray>("pocket");
    QTest::newRow("title after columns 9 and 10")
        << QByteArray("PS3545  xxThe title") << QByteArray("PS3545\r\n")
        << QByteArray("The title\r\n");
    QTest::newRow("columns 9 and 10 are lost")
        << QByteArray("PS3545  ABCDE") << QByteArray("PS3545\r\n") << QByteArray("CDE\r\n");
    QTest::newRow("spine cut after column 8")
        << QByteArray("ABCDEFGHIJKLMNOP") << QByteArray("ABCDEFGH\r\n") << QByteArray("KLMNOP\r\n");
    QTest::newRow("exactly ten characters: empty pocket")
        << QByteArray("PS3545  xx") << QByteArray("PS3545\r\n") << QByteArray();
    QTest::newRow("nine characters: no pocket column")
        << QByteArray("PS3545  x") << QByteArray("PS3545\r\n") << QByteArray();
    QTest::newRow("short line: spine only")
        << QByteArray("QA76") << QByteArray("QA76\r\n") << QByteArray();
    QTest::newRow("short CR LF line keeps the CR in the spine")
        << QByteArray("QA76\r") << QByteArray("QA76\r\r\n") << QByteArray();
    QTest::newRow("pocket CR is removed")
        << QByteArray("PS3545  xxTitle\r") << QByteArray("PS3545\r\n") << QByteArray("Title\r\n");
    QTest::newRow("pocket CRs then spaces are removed")
        << QByteArray("PS3545  xxTitle  \r\r") << QByteArray("PS3545\r\n")
        << QByteArray("Title\r\n");
    QTest::newRow("pocket trailing spaces")
        << QByteArray("PS3545  xxTitle   ") << QByteArray("PS3545\r\n") << QByteArray("Title\r\n");
    QTest::newRow("one leading pocket space goes")
        << QByteArray("PS3545     Title") << QByteArray("PS3545\r\n") << QByteArray("Title\r\n");
    QTest::newRow("only one leading pocket space goes")
        << QByteArray("PS3545      Title") << QByteArray("PS3545\r\n") << QByteArray(" Title\r\n");
    QTest::newRow("pocket of spaces")
        << QByteArray("PS3545  xx    ") << QByteArray("PS3545\r\n") << QByteArray();
    QTest::newRow("pocket begins with CR")
        << QByteArray("PS3545  xx\r") << QByteArray("PS3545\r\n") << QByteArray();
    QTest::newRow("pocket of spaces and CR adds an empty line")
        << QByteArray("PS3545  xx  \r") << QByteArray("PS3545\r\n") << QByteArray("\r\n");
    QTest::newRow("blank spine, pocket only")
        << QByteArray("          Title") << QByteArray() << QByteArray("Title\r\n");
}

void TestImportConvert::pocketPartIsCleaned() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, spine);
    QFETCH(QByteArray, pocket);
    Converted converted = convert(exportLines(pocketBlock({line})), 5);
    QVERIFY2(converted.ok, qPrintable(converted.error));
    QCOMPARE(converted.output, spine + "~~" + pocket + "~~");
}

void TestImportConvert::endOfInput_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<long long>("labels");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray first = exportLines(spineBlock({"FIC", "ADAMS"}));
    const QByteArray firstText = "FIC\r\nADAMS\r\n~~";
    const QByteArray secondContent = exportLines({"REF", "QA76", "", "", "", "", "", "", ""});
    const QByteArray secondText = "REF\r\nQA76\r\n~~";

    QTest::newRow("two whole labels") << 1 << first + secondContent + "\n\n\n"
                                      << 2LL << firstText + secondText;
    QTest::newRow("second label without its trailing lines")
        << 1 << first + secondContent << 1LL << firstText;
    QTest::newRow("one byte after the last content line")
        << 1 << first + secondContent + "x" << 2LL << firstText + secondText;
    QTest::newRow("one trailing line, no line feed at the end")
        << 1 << first + secondContent + "trailing" << 2LL << firstText + secondText;
    QTest::newRow("last content line without its line feed")
        << 1 << first + secondContent.chopped(1) << 1LL << firstText;
    QTest::newRow("input ends inside the first label")
        << 1 << exportLines({"FIC", "ADAMS", "c.1"}) << 0LL << QByteArray();
    QTest::newRow("input ends inside a line of the first label")
        << 1 << QByteArray("FIC\nADA") << 0LL << QByteArray();
    QTest::newRow("empty file") << 1 << QByteArray() << 0LL << QByteArray();
    QTest::newRow("a lone line feed") << 1 << QByteArray("\n") << 0LL << QByteArray();
    QTest::newRow("blank label") << 1 << exportLines(blankLines(12)) << 1LL << QByteArray("~~");
    QTest::newRow("blank slb label")
        << 5 << exportLines(blankLines(12)) << 1LL << QByteArray("~~~~");
    QTest::newRow("sl6 label without its trailing lines")
        << 4 << exportLines(twoColumnLines("S", "P", 1, 14)) << 0LL << QByteArray();
    QTest::newRow("sl6 label with one trailing byte")
        << 4 << exportLines(twoColumnLines("S", "P", 1, 14)) + " " << 1LL
        << text(numbered("S", 1, 14)) + "~~" + text(numbered("P", 1, 6)) + "~~" +
               text(numbered("P", 9, 6)) + "~~";
}

void TestImportConvert::endOfInput() {
    QFETCH(int, labelType);
    QFETCH(QByteArray, input);
    QFETCH(long long, labels);
    QFETCH(QByteArray, expected);
    Converted converted = convert(input, labelType);
    QVERIFY2(converted.ok, qPrintable(converted.error));
    QCOMPARE(converted.output, expected);
    QCOMPARE(converted.labels, labels);
}

void TestImportConvert::exportFixtures_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("labelType");
    QTest::addColumn<long long>("labels");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("CatME sp1, CR LF")
        << "catme_sp1.txt" << 1 << 2LL
        << QByteArray(
               "REF\r\r\nQA76.73\r\r\n.C153\r\r\nS77\r\r\n2013\r\r\n~~"
               "FIC\r\r\nTOLKIEN\r\r\nv.1\r\r\n~~");
    QTest::newRow("CatME slb, LF")
        << "catme_slb.txt" << 5 << 2LL
        << QByteArray(
               "QA76.73\r\n.S77\r\n2013\r\nc.2\r\n~~"
               "Stroustrup, Bjarne.\r\nThe C++ programming\r\nlanguage / Bjarne\r\n"
               "Stroustrup.\r\n31234000567890\r\n~~"
               "PS3545\r\n.E6\r\nD4\r\n1946\r\n~~"
               "Welty, Eudora,\r\n1909-2001.\r\nDelta wedding /\r\n31234000111222\r\n~~");
    QTest::newRow("Connexion Client sl4, CR LF")
        << "connexion_client_sl4.txt" << 3 << 2LL
        << QByteArray(
               "REF\r\nPE1625\r\n.O87\r\n1989\r\nv.1\r\n~~"
               "Oxford English\r\ndictionary.\r\n2nd ed.\r\nv.1\r\n~~"
               "Oxford English\r\ndictionary.\r\nv.1\r\n31234000999888\r\n~~"
               "FIC\r\nMORRISON\r\nc.1\r\n~~"
               "Morrison, Toni.\r\nBeloved.\r\n~~"
               "Morrison, Toni.\r\nBeloved.\r\n31234000222333\r\n~~");
    QTest::newRow("CatME sl6, second label cut off")
        << "catme_sl6_cut_off.txt" << 4 << 1LL
        << QByteArray(
               "J\r\n811\r\nSIL\r\nc.3\r\n~~"
               "Silverstein, Shel.\r\nWhere the sidewalk\r\nends : poems and\r\n"
               "drawings.\r\n~~"
               "Silverstein, Shel.\r\nWhere the sidewalk\r\nends.\r\n31234000444555\r\n~~");
    QTest::newRow("CatME slb as Mailer-1") << "catme_slb.txt" << 9 << 0LL << QByteArray();
}

void TestImportConvert::exportFixtures() {
    QFETCH(QString, fileName);
    QFETCH(int, labelType);
    QFETCH(long long, labels);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const std::string in = LM_TEST_DATA_DIR "/import/" + fileName.toStdString();
    const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
    lm::Result<lm::ConvertSummary> result = lm::FileConvert(in, labelType, out.toStdString());
    QVERIFY2(result.ok(), result.ok() ? "" : result.error().message().c_str());
    QCOMPARE(result->labelsWritten, labels);
    QVERIFY(!result->cancelled);
    QCOMPARE(readBytes(out), expected);
}

void TestImportConvert::binaryBytesPassThrough() {
    // Every byte but the line feed, NUL included, reaches the label unchanged.
    QByteArray line = "A";
    for (int byte = 0; byte < 256; ++byte)
        if (byte != '\n') line += char(byte);
    line += 'Z';
    Converted converted = convert(exportLines(spineBlock({line})), 1);
    QVERIFY2(converted.ok, qPrintable(converted.error));
    QCOMPARE(converted.output, line + "\r\n~~");

    Converted pockets = convert(exportLines(pocketBlock({twoColumns("QA76", line)})), 5);
    QVERIFY2(pockets.ok, qPrintable(pockets.error));
    QCOMPARE(pockets.output, "QA76\r\n~~" + line + "\r\n~~");
}

void TestImportConvert::megabyteLines() {
    const QByteArray longLine = QByteArray(1 << 20, 'x') + "end";
    Converted spine = convert(exportLines(spineBlock({"FIC", longLine, "c.1"})), 1);
    QVERIFY2(spine.ok, qPrintable(spine.error));
    QCOMPARE(spine.output, "FIC\r\n" + longLine + "\r\nc.1\r\n~~");

    Converted pocket = convert(exportLines(pocketBlock({twoColumns("FIC", longLine)})), 5);
    QVERIFY2(pocket.ok, qPrintable(pocket.error));
    QCOMPARE(pocket.output, "FIC\r\n~~" + longLine + "\r\n~~");

    // A megabyte of trailing-line bytes is read past, not kept.
    std::vector<QByteArray> first = {"FIC"};
    first.resize(9);
    Converted trailing = convert(
        exportLines(first + std::vector<QByteArray>{"t1", longLine, "t3"} + spineBlock({"REF"})),
        1);
    QVERIFY2(trailing.ok, qPrintable(trailing.error));
    QCOMPARE(trailing.output, QByteArray("FIC\r\n~~REF\r\n~~"));
}

void TestImportConvert::labelsAcrossReadBlocks() {
    // Several megabytes of labels of varying length, so that lines and CR LF
    // pairs fall across the reader's block boundaries at many places.
    QByteArray input;
    QByteArray expected;
    for (int i = 0; i < 40000; ++i) {
        const QByteArray number = QByteArray::number(i);
        const QByteArray title = "Title " + number + QByteArray(i % 97, '.');
        std::vector<QByteArray> lines = {twoColumns("QA" + number.right(5), title + "\r"),
                                         twoColumns(" .C" + number.left(3), "Author\r")};
        input += exportLines(pocketBlock(lines));
        expected += "QA" + number.right(5) + "\r\n.C" + number.left(3) + "\r\n~~" + title +
                    "\r\nAuthor\r\n~~";
    }
    QVERIFY(input.size() > 3 * (1 << 20));
    Converted converted = convert(input, 5);
    QVERIFY2(converted.ok, qPrintable(converted.error));
    QCOMPARE(converted.labels, 40000LL);
    QVERIFY(converted.output == expected);
}

void TestImportConvert::exportCanBeConvertedOntoItself() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("labels.txt"));
    writeBytes(path, exportLines(spineBlock({"FIC", "ADAMS"})));
    lm::Result<lm::ConvertSummary> result =
        lm::FileConvert(path.toStdString(), 1, path.toStdString());
    QVERIFY(result.ok());
    QCOMPARE(readBytes(path), QByteArray("FIC\r\nADAMS\r\n~~"));
}

void TestImportConvert::unreadableInputIsReported_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing file") << "missing.txt"
                                  << "No such file or directory";
    QTest::newRow("folder") << "folder"
                            << "Is a directory";
}

void TestImportConvert::unreadableInputIsReported() {
    QFETCH(QString, input);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
    writeBytes(out, "OLD~~");
    const QString in = dir.filePath(input);
    for (int type : {1, 9}) {
        lm::Result<lm::ConvertSummary> result =
            lm::FileConvert(in.toStdString(), type, out.toStdString());
        QVERIFY(!result.ok());
        QCOMPARE(QString::fromStdString(result.error().path), in);
        QCOMPARE(QString::fromStdString(result.error().reason), reason);
        QCOMPARE(readBytes(out), QByteArray("OLD~~"));
    }
}

void TestImportConvert::missingOutputFolderIsReported() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("export.txt"));
    writeBytes(in, exportLines(spineBlock({"FIC"})));
    const QString out = dir.filePath(QStringLiteral("gone/$$$aaaa.dat"));
    lm::Result<lm::ConvertSummary> result = lm::FileConvert(in.toStdString(), 1, out.toStdString());
    QVERIFY(!result.ok());
    QCOMPARE(QString::fromStdString(result.error().path), out);
    QCOMPARE(result.error().reason, std::string("No such file or directory"));
}

void TestImportConvert::failedWriteKeepsTheOldOutput() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("export.txt"));
    writeBytes(in, manySpineLabels(30000));
    const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
    writeBytes(out, "PREVIOUS~~IMPORT~~");

    lm::AtomicFileWriter::setWriteLimitForTesting(1000);
    lm::Result<lm::ConvertSummary> result = lm::FileConvert(in.toStdString(), 1, out.toStdString());
    lm::AtomicFileWriter::setWriteLimitForTesting(-1);

    QVERIFY(!result.ok());
    QCOMPARE(QString::fromStdString(result.error().path), out);
    QCOMPARE(result.error().reason, std::string("No space left on device"));
    QCOMPARE(readBytes(out), QByteArray("PREVIOUS~~IMPORT~~"));
    QCOMPARE(scratchFileCount(dir.path()), 0);
}

void TestImportConvert::progressRunsToTheFileSize() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("export.txt"));
    const QByteArray input = manySpineLabels(60000);
    writeBytes(in, input);
    const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));

    std::vector<long long> done;
    lm::Result<lm::ConvertSummary> result = lm::FileConvert(in.toStdString(), 1, out.toStdString(),
                                                            [&](long long bytes, long long total) {
                                                                done.push_back(bytes);
                                                                return total == input.size();
                                                            });
    QVERIFY(result.ok());
    QCOMPARE(result->labelsWritten, 60000LL);
    QVERIFY(done.size() >= 2);
    for (std::size_t i = 1; i < done.size(); ++i) QVERIFY(done[i] > done[i - 1]);
    QCOMPARE(done.back(), (long long)input.size());
}

void TestImportConvert::stopKeepsTheOldOutput() {
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("export.txt"));
    writeBytes(in, manySpineLabels(60000));
    const QString out = dir.filePath(QStringLiteral("$$$aaaa.dat"));
    writeBytes(out, "OLD~~");

    int calls = 0;
    lm::Result<lm::ConvertSummary> result = lm::FileConvert(
        in.toStdString(), 1, out.toStdString(), [&](long long, long long) { return ++calls < 2; });
    QVERIFY(result.ok());
    QVERIFY(result->cancelled);
    QCOMPARE(result->labelsWritten, 0LL);
    QCOMPARE(calls, 2);
    QCOMPARE(readBytes(out), QByteArray("OLD~~"));
    QCOMPARE(scratchFileCount(dir.path()), 0);
}

QTEST_GUILESS_MAIN(TestImportConvert)
#include "tst_importconvert.moc"

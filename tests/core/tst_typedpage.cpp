// The file that keeps a changed page's typed texts across a logout: every
// text comes back byte for byte, and a damaged file is refused, never read
// as another page.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/atomicfile.h"
#include "core/typedpage.h"
#include "storefixtures.h"

using lmtest::entriesIn;
using lmtest::readBytes;

Q_DECLARE_METATYPE(lm::TypedPage)

namespace {

lm::TypedPage page(std::string file, int number, std::vector<std::string> spines,
                   std::vector<std::string> pockets = {}) {
    lm::TypedPage typed;
    typed.fileName = std::move(file);
    typed.pageNumber = number;
    typed.labelType = pockets.empty() ? 1 : 3;
    typed.spineTexts = std::move(spines);
    typed.pocketTexts = std::move(pockets);
    return typed;
}

std::string everyByte() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += char(b);
    return bytes;
}

}  // namespace

class TestTypedPage : public QObject {
    Q_OBJECT
  private slots:
    void comesBackByteForByte_data();
    void comesBackByteForByte();
    void damagedFileIsRefused_data();
    void damagedFileIsRefused();
    void everyCutShortFileIsRefused();
    void fileIsReplacedWhole();
};

void TestTypedPage::comesBackByteForByte_data() {
    QTest::addColumn<lm::TypedPage>("typed");
    QTest::newRow("a new file's page") << page("", 1, {"QA 76.73", "", ""});
    QTest::newRow("line breaks and tildes")
        << page("/home/ann/qortex/$$label.dat", 7, {"QA\r\n76.73\r\nC25", "~", "a~~b", "\n"});
    QTest::newRow("every byte, in texts and in the name")
        << page(everyByte(), 32767, {everyByte(), std::string(1, '\0')}, {everyByte()});
    QTest::newRow("numbers and keywords inside texts")
        << page("text 3\nend\n", 2, {"text 5\n", "end\n", "spines 2\n"}, {"pockets 1\n"});
    QTest::newRow("a long text") << page("a.dat", 3, {std::string(200000, 'x')});
    QTest::newRow("no texts at all") << page("a.dat", 3, {});
}

void TestTypedPage::comesBackByteForByte() {
    QFETCH(lm::TypedPage, typed);
    lm::Result<lm::TypedPage> decoded = lm::decodeTypedPage(lm::encodeTypedPage(typed));
    QVERIFY2(decoded.ok(), decoded.ok() ? "" : decoded.error().reason.c_str());
    QVERIFY(decoded.value() == typed);

    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("kept")).toStdString();
    QVERIFY(lm::writeTypedPageFile(path, typed).ok());
    lm::Result<std::optional<lm::TypedPage>> read = lm::readTypedPageFile(path);
    QVERIFY(read.ok() && read.value());
    QVERIFY(*read.value() == typed);
}

void TestTypedPage::damagedFileIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good =
        QByteArray::fromStdString(lm::encodeTypedPage(page("a.dat", 2, {"A", "B"})));
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a label file") << QByteArray("QA 76~~B~~");
    QTest::newRow("another format line") << QByteArray(good).replace("page 1\n", "page 2\n");
    QTest::newRow("bytes after the end") << good + "x";
    QTest::newRow("page 0") << QByteArray(good).replace("page 2\n", "page 0\n");
    QTest::newRow("page past the last one") << QByteArray(good).replace("page 2\n", "page 32768\n");
    QTest::newRow("a text longer than the file")
        << QByteArray(good).replace("text 1\nA", "text 99\nA");
    QTest::newRow("a text shorter than it says")
        << QByteArray(good).replace("text 1\nA", "text 0\nA");
    QTest::newRow("a negative count") << QByteArray(good).replace("spines 2", "spines -2");
    QTest::newRow("a count past any page")
        << QByteArray(good).replace("spines 2", "spines 99999999999");
}

void TestTypedPage::damagedFileIsRefused() {
    QFETCH(QByteArray, bytes);
    QVERIFY(!lm::decodeTypedPage(bytes.toStdString()).ok());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    lm::Result<std::optional<lm::TypedPage>> read = lm::readTypedPageFile(path.toStdString());
    QVERIFY(!read.ok());
    QCOMPARE(QString::fromStdString(read.error().path), path);
}

// A write cut short by a crash is what an atomic write prevents; a file cut
// short anyway (copied half-way) must never read as a page.
void TestTypedPage::everyCutShortFileIsRefused() {
    const std::string whole = lm::encodeTypedPage(page("a.dat", 12, {"QA\r\n1", "", "B"}, {"P"}));
    for (std::size_t length = 0; length < whole.size(); ++length)
        QVERIFY2(!lm::decodeTypedPage(std::string_view(whole).substr(0, length)).ok(),
                 qPrintable(QString::number(length)));
}

void TestTypedPage::fileIsReplacedWhole() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("kept")).toStdString();
    lm::Result<std::optional<lm::TypedPage>> none = lm::readTypedPageFile(path);
    QVERIFY(none.ok() && !none.value());

    QVERIFY(lm::writeTypedPageFile(path, page("a.dat", 1, {"OLD"})).ok());
    const QByteArray old = readBytes(QString::fromStdString(path));
    // The disk fills while the new page is written: the old one stays whole.
    lm::AtomicFileWriter::injectFaultForTesting({lm::AtomicFileWriter::Stage::Write, 0, 3, ENOSPC});
    QVERIFY(!lm::writeTypedPageFile(path, page("b.dat", 2, {"NEW"})).ok());
    lm::AtomicFileWriter::clearFaultForTesting();
    QCOMPARE(readBytes(QString::fromStdString(path)), old);
    QCOMPARE(entriesIn(dir.path()), 1);
}

QTEST_APPLESS_MAIN(TestTypedPage)
#include "tst_typedpage.moc"

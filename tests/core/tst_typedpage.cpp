// The file that keeps a changed page's typed texts across a logout: every
// text comes back byte for byte, and a damaged file is refused, never read
// as another page.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/typedpage.h"

Q_DECLARE_METATYPE(lm::TypedPage)

namespace {

lm::TypedPage page(std::string file, int number, std::vector<std::string> spines,
                   std::vector<std::string> pockets = {}) {
    return lm::TypedPage{std::move(file), number, pockets.empty() ? 1 : 3, std::move(spines),
                         std::move(pockets)};
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
    void comesBackByteForByte_data() {
        QTest::addColumn<lm::TypedPage>("typed");
        QTest::newRow("a new file's page, empty texts") << page("", 1, {"QA 76.73", "", ""});
        QTest::newRow("every byte, in texts and in the name")
            << page(everyByte(), 32767, {everyByte(), "a~~b", "\r\n"}, {everyByte()});
        QTest::newRow("keywords and lengths inside texts")
            << page("text 3\nend\n", 2, {"text 5\n", "end\n", "spines 2\n"}, {"pockets 1\n"});
    }
    void comesBackByteForByte() {
        QFETCH(lm::TypedPage, typed);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("kept")).toStdString();
        lm::Result<std::optional<lm::TypedPage>> none = lm::readTypedPageFile(path);
        QVERIFY(none.ok() && !none.value());
        QVERIFY(lm::writeTypedPageFile(path, typed).ok());
        lm::Result<std::optional<lm::TypedPage>> read = lm::readTypedPageFile(path);
        QVERIFY2(read.ok(), read.ok() ? "" : read.error().reason.c_str());
        QVERIFY(read.value() && *read.value() == typed);
    }
    void damagedFileIsRefused_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good =
            QByteArray::fromStdString(lm::encodeTypedPage(page("a.dat", 2, {"A", "B"}, {"P"})));
        QTest::newRow("a label file") << QByteArray("QA 76~~B~~");
        QTest::newRow("another format") << QByteArray(good).replace("page 1\n", "page 2\n");
        QTest::newRow("bytes after the end") << good + "x";
        QTest::newRow("page 0") << QByteArray(good).replace("page 2\n", "page 0\n");
        QTest::newRow("a text longer than the file")
            << QByteArray(good).replace("text 1\nA", "text 99\nA");
        QTest::newRow("a count past any page")
            << QByteArray(good).replace("spines 2", "spines 99999999999");
        // A file cut short anyway (copied half-way): every length of it.
        for (int length = 0; length < good.size(); ++length)
            QTest::addRow("cut short at %d", length) << good.left(length);
    }
    void damagedFileIsRefused() {
        QFETCH(QByteArray, bytes);
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
};

QTEST_APPLESS_MAIN(TestTypedPage)
#include "tst_typedpage.moc"

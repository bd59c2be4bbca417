#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fstream>

#include "core/counterfile.h"

class TestCounterFile : public QObject {
    Q_OBJECT
  private slots:
    void readsTheNumberOnTheFirstLine_data();
    void readsTheNumberOnTheFirstLine();
    void refusesWhatIsNoWholeNumber_data();
    void refusesWhatIsNoWholeNumber();
    void missingFileIsAnError();
    void writesDigitsAndCrLf();

  private:
    std::string write(const QByteArray& bytes);
    QTemporaryDir m_dir;
};

std::string TestCounterFile::write(const QByteArray& bytes) {
    std::string path = m_dir.filePath(QStringLiteral("$$$num.val")).toStdString();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.constData(), bytes.size());
    return path;
}

void TestCounterFile::readsTheNumberOnTheFirstLine_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qlonglong>("value");
    QTest::newRow("as Clear writes it") << QByteArray("0\r\n") << 0LL;
    QTest::newRow("forty") << QByteArray("40\r\n") << 40LL;
    QTest::newRow("no line end") << QByteArray("39") << 39LL;
    QTest::newRow("LF only") << QByteArray("41\n") << 41LL;
    QTest::newRow("blanks around") << QByteArray(" \t 56 \r\n") << 56LL;
    QTest::newRow("sign") << QByteArray("-3\r\n") << -3LL;
    QTest::newRow("plus sign") << QByteArray("+10\r\n") << 10LL;
    QTest::newRow("second line ignored") << QByteArray("12\r\nrest") << 12LL;
    QTest::newRow("beyond 16 bits") << QByteArray("100000\r\n") << 100000LL;
}

void TestCounterFile::readsTheNumberOnTheFirstLine() {
    QFETCH(QByteArray, bytes);
    QFETCH(qlonglong, value);
    lm::Result<long long> read = lm::readCounterFile(write(bytes));
    QVERIFY2(read.ok(), read.ok() ? "" : read.error().message().c_str());
    QCOMPARE(*read, value);
}

void TestCounterFile::refusesWhatIsNoWholeNumber_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blank line") << QByteArray("  \r\n");
    QTest::newRow("word") << QByteArray("full\r\n");
    QTest::newRow("digits then letters") << QByteArray("40abc\r\n");
    QTest::newRow("two numbers") << QByteArray("4 0\r\n");
    QTest::newRow("fraction") << QByteArray("40.5\r\n");
    QTest::newRow("sign alone") << QByteArray("-\r\n");
    QTest::newRow("too large") << QByteArray("99999999999999999999\r\n");
    QTest::newRow("endless line") << QByteArray(4000, '7');
}

void TestCounterFile::refusesWhatIsNoWholeNumber() {
    QFETCH(QByteArray, bytes);
    std::string path = write(bytes);
    lm::Result<long long> read = lm::readCounterFile(path);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().path, path);
    QVERIFY(!read.error().reason.empty());
}

void TestCounterFile::missingFileIsAnError() {
    std::string path = m_dir.filePath(QStringLiteral("none.val")).toStdString();
    lm::Result<long long> read = lm::readCounterFile(path);
    QVERIFY(!read.ok());
    QCOMPARE(read.error().reason, lm::systemReason(ENOENT));
}

void TestCounterFile::writesDigitsAndCrLf() {
    std::string path = write("12345678\r\n");
    QVERIFY(lm::writeCounterFile(path, 0).ok());
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    QCOMPARE(bytes, std::string("0\r\n"));
    QVERIFY(lm::writeCounterFile(path, 40).ok());
    QCOMPARE(*lm::readCounterFile(path), 40LL);
    // A folder that does not exist: the error names the file.
    std::string missing = m_dir.filePath(QStringLiteral("no/$$$num.val")).toStdString();
    lm::Status written = lm::writeCounterFile(missing, 0);
    QVERIFY(!written.ok());
    QCOMPARE(written.error().path, missing);
}

QTEST_MAIN(TestCounterFile)
#include "tst_counterfile.moc"

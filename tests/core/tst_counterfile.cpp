#include <QTemporaryDir>
#include <QTest>

#include <cerrno>

#include "core/counterfile.h"
#include "storefixtures.h"

class TestCounterFile : public QObject {
    Q_OBJECT
  private slots:
    void readsTheNumberOnTheFirstLine_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("whole");  // false: refused as no whole number
        QTest::addColumn<qlonglong>("value");
        QTest::newRow("as Clear writes it") << QByteArray("0\r\n") << true << 0LL;
        QTest::newRow("no line end") << QByteArray("39") << true << 39LL;
        QTest::newRow("blanks around") << QByteArray(" \t 56 \r\n") << true << 56LL;
        QTest::newRow("sign") << QByteArray("-3\r\n") << true << -3LL;
        QTest::newRow("second line ignored") << QByteArray("12\r\nrest") << true << 12LL;
        QTest::newRow("beyond 16 bits") << QByteArray("100000\r\n") << true << 100000LL;
        for (const char* refused : {"", "  \r\n", "full\r\n", "40abc\r\n", "4 0\r\n", "40.5\r\n",
                                    "-\r\n", "99999999999999999999\r\n"})
            QTest::addRow("refused '%s'", refused) << QByteArray(refused) << false << 0LL;
        // The first 256 bytes are read: a line that ends within them counts,
        // whatever the file holds after it.
        QTest::newRow("long file, short first line")
            << QByteArray("12\r\n") + QByteArray(600, 'x') << true << 12LL;
        QTest::newRow("line end in the last byte read")
            << QByteArray("5") + QByteArray(254, ' ') + "\n" + "junk" << true << 5LL;
        QTest::newRow("255 bytes, no line end")
            << QByteArray("5") + QByteArray(254, ' ') << true << 5LL;
        QTest::newRow("256 bytes, no line end")
            << QByteArray("5") + QByteArray(255, ' ') << false << 0LL;
        QTest::newRow("endless line") << QByteArray(4000, '7') << false << 0LL;
    }
    void readsTheNumberOnTheFirstLine() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, whole);
        QFETCH(qlonglong, value);
        const std::string path = write(bytes);
        lm::Result<long long> read = lm::readCounterFile(path);
        QCOMPARE(read.ok(), whole);
        if (whole) {
            QCOMPARE(*read, value);
        } else {
            QCOMPARE(read.error().path, path);
            QVERIFY(!read.error().reason.empty());
        }
    }
    void missingFileIsAnError() {
        std::string path = m_dir.filePath(QStringLiteral("none.val")).toStdString();
        lm::Result<long long> read = lm::readCounterFile(path);
        QVERIFY(!read.ok());
        QCOMPARE(read.error().reason, lm::systemReason(ENOENT));
    }
    void writesDigitsAndCrLf() {
        std::string path = write("12345678\r\n");
        QVERIFY(lm::writeCounterFile(path, 0).ok());
        QCOMPARE(lmtest::readBytes(QString::fromStdString(path)), QByteArray("0\r\n"));
        QVERIFY(lm::writeCounterFile(path, 40).ok());
        QCOMPARE(*lm::readCounterFile(path), 40LL);
        // A folder that does not exist: the error names the file.
        std::string missing = m_dir.filePath(QStringLiteral("no/$$$num.val")).toStdString();
        lm::Status written = lm::writeCounterFile(missing, 0);
        QVERIFY(!written.ok());
        QCOMPARE(written.error().path, missing);
    }

  private:
    std::string write(const QByteArray& bytes) {
        const QString path = m_dir.filePath(QStringLiteral("$$$num.val"));
        lmtest::writeBytes(path, bytes);
        return path.toStdString();
    }
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestCounterFile)
#include "tst_counterfile.moc"

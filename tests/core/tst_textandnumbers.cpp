#include <QTest>

#include "core/ansi.h"
#include "core/numbers.h"

class TestTextAndNumbers : public QObject {
    Q_OBJECT
  private slots:
    void everyByteRoundTrips() {
        std::string all;
        for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
        std::u32string text = lm::decodeAnsi(all);
        QCOMPARE(int(text.size()), 256);
        std::string back;
        QVERIFY(lm::encodeAnsi(text, back));
        QVERIFY(back == all);
    }
    void windows1252Characters_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<uint>("codePoint");
        QTest::newRow("euro") << 0x80 << 0x20ACu;
        QTest::newRow("undefined 81") << 0x81 << 0x81u;
        QTest::newRow("left quote") << 0x93 << 0x201Cu;
        QTest::newRow("Y diaeresis") << 0x9F << 0x178u;
    }
    void windows1252Characters() {
        QFETCH(int, byte);
        QFETCH(uint, codePoint);
        QCOMPARE(uint(lm::ansiToUnicode(static_cast<unsigned char>(byte))), codePoint);
        QCOMPARE(lm::unicodeToAnsi(char32_t(codePoint)), byte);
    }
    void unencodableCharacterIsFound() {
        std::string out;
        std::size_t bad = 99;
        QVERIFY(!lm::encodeAnsi(U"ab\u0416c", out, &bad));  // Cyrillic Zhe
        QCOMPARE(int(bad), 2);
        QCOMPARE(lm::unicodeToAnsi(char32_t(0x80)), -1);  // U+0080 is not the euro byte
        QCOMPARE(lm::ansiToUtf8("caf\xE9 \x80"), std::string("caf\xC3\xA9 \xE2\x82\xAC"));
    }
    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("10.5") << 10.5 << 10.0;
        QTest::newRow("11.5") << 11.5 << 12.0;
        QTest::newRow("-0.5") << -0.5 << 0.0;
        QTest::newRow("-1.5") << -1.5 << -2.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(lm::roundHalfEven(value), rounded);
    }
    void signedNumberForm() {
        QCOMPARE(lm::formatSignedNumber(640), std::string(" 640"));
        QCOMPARE(lm::formatSignedNumber(0), std::string(" 0"));
        QCOMPARE(lm::formatSignedNumber(-3), std::string("-3"));
    }
    void leadingNumber_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<double>("value");
        QTest::newRow("12abc") << QStringLiteral("12abc") << 12.0;
        QTest::newRow("abc") << QStringLiteral("abc") << 0.0;
        QTest::newRow("leading spaces") << QStringLiteral("   640") << 640.0;
        QTest::newRow("second point stops") << QStringLiteral("1.2.3") << 1.2;
        QTest::newRow("point only") << QStringLiteral(".") << 0.0;
    }
    void leadingNumber() {
        QFETCH(QString, answer);
        QFETCH(double, value);
        QCOMPARE(lm::leadingNumber(answer.toStdString()), value);
    }
};

QTEST_APPLESS_MAIN(TestTextAndNumbers)
#include "tst_textandnumbers.moc"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/numbers.h"
#include "core/settings.h"

namespace {

const char* const kDefaultLine =
    "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,#FALSE#,"
    "#FALSE#,#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n";

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
  private slots:
    void roundTripIsByteExact_data();
    void roundTripIsByteExact();
    void variantFlagsKeepTheirKind();
    void integersRoundHalfToEven_data();
    void integersRoundHalfToEven();
    void spacesBeforeItemsAreSkipped();
    void brokenTextIsRefused_data();
    void brokenTextIsRefused();
    void missingFileIsCreatedWithDefaults();
    void brokenFileIsNeverOverwritten();
};

void TestSettings::roundTripIsByteExact_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("defaults") << QByteArray(kDefaultLine);
    QTest::newRow("styles and colours") << QByteArray(
        "\"Arial\",9,255,#TRUE#,#FALSE#,#TRUE#,#FALSE#,\"Courier New\",14,16711680,"
        "#FALSE#,#TRUE#,#TRUE#,#TRUE#,2,9,2,1090,360,35,30\r\n");
    QTest::newRow("variants of every kind") << QByteArray(
        "\"Times New Roman\",11,0,,-1,#FALSE#,#FALSE#,\"Times New Roman\",12,0,"
        "\"yes\",#FALSE#,1.5,#FALSE#,0,1,1,920,640,35,30\r\n");
    QTest::newRow("negative margins") << QByteArray(
        "\"A\",11,-1,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"B\",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"
        "3,10,1,-5,0,0,0\r\n");
}

void TestSettings::roundTripIsByteExact() {
    QFETCH(QByteArray, line);
    lm::Result<lm::Settings> parsed = lm::parseSettingsText(line.toStdString());
    QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.error().reason.c_str());
    QCOMPARE(QByteArray::fromStdString(lm::formatSettingsLine(*parsed)), line);

    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
    QVERIFY(lm::writeSettingsFile(path, *parsed).ok());
    QCOMPARE(QByteArray::fromStdString(readAll(path)), line);
    lm::Result<lm::Settings> reread = lm::readSettingsFile(path);
    QVERIFY(reread.ok());
    QVERIFY(*reread == *parsed);
}

void TestSettings::variantFlagsKeepTheirKind() {
    lm::Result<lm::Settings> parsed = lm::parseSettingsText(
        "\"T\",11,0,,-1,#FALSE#,#FALSE#,\"T\",12,0,\"yes\",#FALSE#,#TRUE#,#FALSE#,0,1,1,920,640,35,"
        "30");
    QVERIFY(parsed.ok());
    using Kind = lm::SettingsVariant::Kind;
    QCOMPARE(int(parsed->SpineFontBold.kind), int(Kind::Empty));
    QCOMPARE(int(parsed->SpineFontItalic.kind), int(Kind::Number));
    QVERIFY(parsed->SpineFontItalic.isTrue());
    QCOMPARE(int(parsed->PocketFontBold.kind), int(Kind::Text));
    QCOMPARE(parsed->PocketFontBold.text, std::string("yes"));
    QVERIFY(!parsed->PocketFontBold.isTrue());
    QCOMPARE(int(parsed->PocketFontStrikethru.kind), int(Kind::Boolean));
    QVERIFY(parsed->PocketFontStrikethru.isTrue());
}

void TestSettings::integersRoundHalfToEven_data() {
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("read");
    QTest::newRow("10.5") << QStringLiteral("10.5") << 10;
    QTest::newRow("11.5") << QStringLiteral("11.5") << 12;
    QTest::newRow("-2.5") << QStringLiteral("-2.5") << -2;
    QTest::newRow("7.51") << QStringLiteral("7.51") << 8;
}

void TestSettings::integersRoundHalfToEven() {
    QFETCH(QString, written);
    QFETCH(int, read);
    std::string line = "\"T\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"T\"," + written.toStdString() +
                       ",0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n";
    lm::Result<lm::Settings> parsed = lm::parseSettingsText(line);
    QVERIFY(parsed.ok());
    QCOMPARE(parsed->PocketFontSize, read);
}

void TestSettings::spacesBeforeItemsAreSkipped() {
    lm::Result<lm::Settings> parsed = lm::parseSettingsText(
        "  \"Arial\", 11, 0, #TRUE#,#FALSE#,#FALSE#,#FALSE#, \"Times New Roman\",12,0,#FALSE#,"
        "#FALSE#,#FALSE#,#FALSE#,   2,4,2,1685,690,35,30\r\n");
    QVERIFY(parsed.ok());
    QCOMPARE(parsed->SpineFontName, std::string("Arial"));
    QCOMPARE(parsed->SpineFontSize, 11);
    QVERIFY(parsed->SpineFontBold.isTrue());
    QCOMPARE(parsed->PocketFontName, std::string("Times New Roman"));
    QCOMPARE(parsed->LabelAlignment, 2);
    QCOMPARE(parsed->LabelType, 4);
    QCOMPARE(parsed->PrintingMethod, 2);
}

void TestSettings::brokenTextIsRefused_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("it holds 0 of the 21");
    QTest::newRow("twenty items")
        << QByteArray(
               "\"T\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"T\",12,0,#FALSE#,#FALSE#,"
               "#FALSE#,#FALSE#,0,1,1,920,640,35\r\n")
        << QStringLiteral("it holds 20 of the 21");
    QTest::newRow("text for a size")
        << QByteArray(
               "\"T\",big,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"T\",12,0,#FALSE#,#FALSE#,"
               "#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n")
        << QStringLiteral("item 2 (SpineFontSize) holds \"big\", which is not a number");
    QTest::newRow("number for a boolean")
        << QByteArray(
               "\"T\",11,0,#FALSE#,#FALSE#,1,#FALSE#,\"T\",12,0,#FALSE#,#FALSE#,"
               "#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n")
        << QStringLiteral(
               "item 6 (SpineFontStrikethru) holds \"1\", which is not #TRUE# or #FALSE#");
    QTest::newRow("16-bit overflow")
        << QByteArray(
               "\"T\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"T\",12,0,#FALSE#,#FALSE#,"
               "#FALSE#,#FALSE#,0,1,1,40000,640,35,30\r\n")
        << QStringLiteral("item 18 (PageTopMargin) holds \"40000\", which is out of range");
    QTest::newRow("quoted label type")
        << QByteArray(
               "\"T\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"T\",12,0,#FALSE#,#FALSE#,"
               "#FALSE#,#FALSE#,0,\"1\",1,920,640,35,30\r\n")
        << QStringLiteral("item 16 (LabelType)");
}

void TestSettings::brokenTextIsRefused() {
    QFETCH(QByteArray, text);
    QFETCH(QString, reason);
    lm::Result<lm::Settings> parsed = lm::parseSettingsText(text.toStdString());
    QVERIFY(!parsed.ok());
    QVERIFY2(QString::fromStdString(parsed.error().reason).contains(reason),
             parsed.error().reason.c_str());
}

void TestSettings::missingFileIsCreatedWithDefaults() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
    lm::Result<lm::Settings> loaded = lm::loadOrCreateSettingsFile(path);
    QVERIFY(loaded.ok());
    QVERIFY(*loaded == lm::defaultSettings());
    QCOMPARE(readAll(path), std::string(kDefaultLine));
}

void TestSettings::brokenFileIsNeverOverwritten() {
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
    const std::string broken = "\"Times New Roman\",11,0\r\n";
    writeAll(path, broken);
    lm::Result<lm::Settings> loaded = lm::loadOrCreateSettingsFile(path);
    QVERIFY(!loaded.ok());
    QCOMPARE(loaded.error().path, path);
    QCOMPARE(readAll(path), broken);
}

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"

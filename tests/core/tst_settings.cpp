#include <QTemporaryDir>
#include <QTest>

#include "core/settings.h"
#include "storefixtures.h"

using lmtest::readBytes;

namespace {

const char* const kDefaultLine =
    "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,#FALSE#,"
    "#FALSE#,#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n";

// `line` (the default one) with item `item` (1-based) holding `value`.
QByteArray withItem(int item, const QByteArray& value, const QByteArray& line = kDefaultLine) {
    QList<QByteArray> items = line.chopped(2).split(',');
    items[item - 1] = value;
    return items.join(',') + "\r\n";
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
  private slots:
    void readAndWriteBack_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("written");  // the line written back; empty when refused
        QTest::addColumn<QString>("reason");      // part of the refusal
        auto same = [](const char* name, const QByteArray& line) {
            QTest::newRow(name) << line << line << QString();
        };
        auto refused = [](const char* name, const QByteArray& text, const char* reason) {
            QTest::newRow(name) << text << QByteArray() << QString::fromUtf8(reason);
        };
        same("defaults", kDefaultLine);
        same("variants of every kind",
             "\"Times New Roman\",11,0,,-1,#FALSE#,#FALSE#,\"Times New Roman\",12,0,"
             "\"yes\",#FALSE#,1.5,#FALSE#,0,1,1,920,640,35,30\r\n");
        QTest::newRow("10.5 rounds to even")
            << withItem(9, "10.5") << withItem(9, "10") << QString();
        QTest::newRow("spaces before items")
            << QByteArray(
                   "  \"Arial\", 11, 0, #TRUE#,#FALSE#,#FALSE#,#FALSE#, \"Times New Roman\",12,0,"
                   "#FALSE#,#FALSE#,#FALSE#,#FALSE#,   2,4,2,1685,690,35,30\r\n")
            << QByteArray(
                   "\"Arial\",11,0,#TRUE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,"
                   "#FALSE#,#FALSE#,#FALSE#,#FALSE#,2,4,2,1685,690,35,30\r\n")
            << QString();
        refused("empty file", "", "it holds 0 of the 21");
        refused("text for a size", withItem(2, "big"),
                "item 2 (SpineFontSize) holds \"big\", which is not a number");
        refused("16-bit overflow", withItem(18, "40000"),
                "item 18 (PageTopMargin) holds \"40000\", which is out of range");
        refused("quoted label type", withItem(16, "\"1\""), "item 16 (LabelType)");
        // The four font flags that hold #TRUE# or #FALSE# only: anything else is
        // refused, never taken for #FALSE#.
        same("every flag #TRUE#",
             withItem(6, "#TRUE#",
                      withItem(7, "#TRUE#", withItem(12, "#TRUE#", withItem(14, "#TRUE#")))));
        refused("junk for a flag", withItem(7, "yes"),
                "item 7 (SpineFontUnderline) holds \"yes\", which is not #TRUE# or #FALSE#");
        refused("a quoted flag", withItem(14, "\"#FALSE#\""),
                "item 14 (PocketFontUnderline) holds \"#FALSE#\", which is not #TRUE# or #FALSE#");
        refused("an empty flag", withItem(12, ""), "item 12 (PocketFontItalic)");
    }
    void readAndWriteBack() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        QFETCH(QString, reason);
        lm::Result<lm::Settings> parsed = lm::parseSettingsText(text.toStdString());
        if (written.isEmpty()) {
            QVERIFY(!parsed.ok());
            QVERIFY2(QString::fromStdString(parsed.error().reason).contains(reason),
                     parsed.error().reason.c_str());
            return;
        }
        QVERIFY2(parsed.ok(), parsed.ok() ? "" : parsed.error().reason.c_str());
        QCOMPARE(QByteArray::fromStdString(lm::formatSettingsLine(*parsed)), written);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
        QVERIFY(lm::writeSettingsFile(path, *parsed).ok());
        QCOMPARE(readBytes(QString::fromStdString(path)), written);
        lm::Result<lm::Settings> reread = lm::readSettingsFile(path);
        QVERIFY(reread.ok());
        QVERIFY(*reread == *parsed);
    }
    void loadOrCreate() {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
        lm::Result<lm::Settings> loaded = lm::loadOrCreateSettingsFile(path);
        QVERIFY(loaded.ok());
        QVERIFY(*loaded == lm::defaultSettings());
        QCOMPARE(readBytes(QString::fromStdString(path)), QByteArray(kDefaultLine));

        // A file that does not read is reported and never replaced by defaults.
        const QByteArray broken = "\"Times New Roman\",11,0\r\n";
        lmtest::writeBytes(QString::fromStdString(path), broken);
        loaded = lm::loadOrCreateSettingsFile(path);
        QVERIFY(!loaded.ok());
        QCOMPARE(loaded.error().path, path);
        QCOMPARE(readBytes(QString::fromStdString(path)), broken);
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"

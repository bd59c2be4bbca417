#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include "core/labeltypechoice.h"
#include "core/labeltypes.h"
#include "core/settings.h"
#include "core/setupinformation.h"
#include "core/setupmargins.h"
#include "core/workfolder.h"
#include "core/workingfilecheck.h"

Q_DECLARE_METATYPE(lm::MarginItem)

namespace {

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// The working file's length with QORTEX_DIR pointing at `folder`.
lm::Result<std::int64_t> workingFileLengthIn(const QString& folder) {
    const QByteArray old = qgetenv("QORTEX_DIR");
    qputenv("QORTEX_DIR", QFile::encodeName(folder));
    lm::Result<std::int64_t> length = lm::workingFileLength();
    qputenv("QORTEX_DIR", old);
    return length;
}

}  // namespace

class TestSetupRules : public QObject {
    Q_OBJECT
  private slots:
    void labelTypeChoice_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("top");  // -1: not a label type, nothing changes
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("spineSize");
        // A few types, not the whole defaults table again: the rule is the same for each.
        QTest::newRow("sp1") << 1 << 920 << 640 << 11;
        QTest::newRow("slb2") << 6 << 1382 << 2376 << 11;
        QTest::newRow("Mailer-1") << 9 << 1090 << 360 << 9;
        for (int type : {0, 11, -1}) QTest::addRow("%d", type) << type << -1 << 0 << 0;
    }
    void labelTypeChoice() {
        QFETCH(int, type);
        QFETCH(int, top);
        QFETCH(int, left);
        QFETCH(int, spineSize);
        // Start from a setup far from every default: Mailer-1's 9 point spine
        // font, odd margins and a pocket font size the choice must keep.
        lm::Settings settings = lm::defaultSettings();
        settings.LabelType = lm::kMailer1;
        settings.SpineFontSize = 9;
        settings.PocketFontSize = 14;
        settings.PageTopMargin = 3;
        settings.PageLeftMargin = 4;
        settings.SpineLeftMargin = 5;
        settings.PocketLeftMargin = 6;
        settings.LabelAlignment = 2;
        lm::Settings expected = settings;
        QCOMPARE(lm::applyLabelTypeChoice(settings, type), top >= 0);
        if (top >= 0) {
            expected.LabelType = type;
            expected.PageTopMargin = top;
            expected.PageLeftMargin = left;
            expected.SpineFontSize = spineSize;
            expected.SpineLeftMargin = 35;
            expected.PocketLeftMargin = 30;
        }
        QVERIFY(settings == expected);
    }
    void marginAnswers_data() {
        QTest::addColumn<lm::MarginItem>("item");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("stored");  // -1: refused as out of range
        auto row = [](const char* name, lm::MarginItem item, const char* answer, int stored) {
            QTest::newRow(name) << item << QString::fromLatin1(answer) << stored;
        };
        const auto top = lm::MarginItem::PageTop;
        const auto left = lm::MarginItem::PageLeft;
        const auto spine = lm::MarginItem::SpineLeft;
        const auto pocket = lm::MarginItem::PocketLeft;
        row("top 0 is invalid", top, "0", -1);
        row("spine 0 is valid", spine, "0", 0);
        row("0.4 is above 0, then rounds to 0", top, "0.4", 0);
        row("spine -0.4 is below 0", spine, "-0.4", -1);
        row("left 4499.5 rounds to even 4500", left, "4499.5", 4500);
        row("left 4500 is invalid", left, "4500", -1);
        QTest::newRow("a huge number is invalid") << pocket << QString(400, QLatin1Char('9')) << -1;
        row("comma is no decimal point", top, "12,7", 12);
    }
    void marginAnswers() {
        QFETCH(lm::MarginItem, item);
        QFETCH(QString, answer);
        QFETCH(int, stored);
        std::optional<int> value = lm::marginFromAnswer(item, answer.toStdString());
        QCOMPARE(value.value_or(-1), stored);
    }
    void setupInformationLines_data() {
        QTest::addColumn<QString>("line");  // the settings file's line
        QTest::addColumn<QString>("shown");
        QTest::newRow("Mailer-1, italic, batch, justified")
            << "\"Arial\",9,0,#FALSE#,#TRUE#,#FALSE#,#FALSE#,\"Courier New\",12,0,"
               "#TRUE#,#TRUE#,#FALSE#,#FALSE#,3,9,2,1090,360,35,30"
            << "Font Name: Arial\r\nFont Size:  9\r\nFont Style: Regular Italic\r\n"
               "Label Type: Mailer-1\r\nPrinting Method: Batch\r\nPage Top Margin:  1090\r\n"
               "Page Left Margin:  360\r\nSpine Label Left Margin:  35\r\n"
               "Pocket Label Left Margin:  30\r\nLabel Alignment: Justified";
        QTest::newRow("numbers as flags, negatives, values outside every table")
            << "\"Arial\",11,0,1,0,#FALSE#,#FALSE#,\"Arial\",12,0,"
               "#FALSE#,#FALSE#,#FALSE#,#FALSE#,7,12,5,-20,640,-1,30"
            << "Font Name: Arial\r\nFont Size:  11\r\nFont Style: Bold \r\n"
               "Label Type: \r\nPrinting Method: Batch\r\nPage Top Margin: -20\r\n"
               "Page Left Margin:  640\r\nSpine Label Left Margin: -1\r\n"
               "Pocket Label Left Margin:  30\r\nLabel Alignment: ";
    }
    void setupInformationLines() {
        QFETCH(QString, line);
        QFETCH(QString, shown);
        lm::Result<lm::Settings> settings = lm::parseSettingsText(line.toStdString() + "\r\n");
        QVERIFY2(settings.ok(), settings.ok() ? "" : settings.error().reason.c_str());
        QCOMPARE(text(lm::setupInformation(settings.value())), shown);
    }
    void workingFileLength() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("$$label.dat"));
        // A missing working file is created empty.
        lm::Result<std::int64_t> length = workingFileLengthIn(dir.path());
        QVERIFY(length.ok());
        QCOMPARE(*length, std::int64_t(0));
        QVERIFY(QFileInfo(path).isFile() && QFileInfo(path).size() == 0);

        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write("A~~"), qint64(3));
        file.close();
        length = workingFileLengthIn(dir.path());
        QVERIFY(length.ok());
        QCOMPARE(*length, std::int64_t(3));

        // A folder where the working file should be.
        QVERIFY(file.remove());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("$$label.dat")));
        length = workingFileLengthIn(dir.path());
        QVERIFY(!length.ok());
        QCOMPARE(text(length.error().path), path);
        QVERIFY(!length.error().reason.empty());
    }
};

QTEST_APPLESS_MAIN(TestSetupRules)
#include "tst_setuprules.moc"

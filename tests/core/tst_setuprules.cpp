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

// QORTEX_DIR points at `path` while the object lives.
class WorkFolderVariable {
  public:
    explicit WorkFolderVariable(const QString& path) : m_old(qgetenv("QORTEX_DIR")) {
        qputenv("QORTEX_DIR", QFile::encodeName(path));
    }
    ~WorkFolderVariable() { qputenv("QORTEX_DIR", m_old); }

  private:
    QByteArray m_old;
};

}  // namespace

class TestSetupRules : public QObject {
    Q_OBJECT
  private slots:
    void labelTypeChoiceWritesTheTypesDefaults_data();
    void labelTypeChoiceWritesTheTypesDefaults();
    void labelTypeOutsideTheTableChangesNothing_data();
    void labelTypeOutsideTheTableChangesNothing();
    void marginAnswers_data();
    void marginAnswers();
    void marginItemsMapToTheirSettings();
    void setupInformationLines_data();
    void setupInformationLines();
    void workingFileLengthCreatesAMissingFile();
    void workingFileLengthCountsBytes();
    void workingFileThatCannotBeOpenedIsAnError();
};

void TestSetupRules::labelTypeChoiceWritesTheTypesDefaults_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("spineSize");
    // A few types, not the whole defaults table again: the rule is the same for each.
    QTest::newRow("sp1") << 1 << 920 << 640 << 11;
    QTest::newRow("slb2") << 6 << 1382 << 2376 << 11;
    QTest::newRow("Mailer-1") << 9 << 1090 << 360 << 9;
}

void TestSetupRules::labelTypeChoiceWritesTheTypesDefaults() {
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
    QVERIFY(lm::applyLabelTypeChoice(settings, type));
    lm::Settings expected = settings;
    expected.LabelType = type;
    expected.PageTopMargin = top;
    expected.PageLeftMargin = left;
    expected.SpineFontSize = spineSize;
    expected.SpineLeftMargin = 35;
    expected.PocketLeftMargin = 30;
    QVERIFY(settings == expected);
    QCOMPARE(settings.PocketFontSize, 14);
    QCOMPARE(settings.LabelAlignment, 2);
}

void TestSetupRules::labelTypeOutsideTheTableChangesNothing_data() {
    QTest::addColumn<int>("type");
    QTest::newRow("0") << 0;
    QTest::newRow("11") << 11;
    QTest::newRow("-1") << -1;
}

void TestSetupRules::labelTypeOutsideTheTableChangesNothing() {
    QFETCH(int, type);
    lm::Settings settings = lm::defaultSettings();
    settings.PageTopMargin = 1;
    const lm::Settings before = settings;
    QVERIFY(!lm::applyLabelTypeChoice(settings, type));
    QVERIFY(settings == before);
}

void TestSetupRules::marginAnswers_data() {
    QTest::addColumn<lm::MarginItem>("item");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("stored");  // -1: refused as out of range
    const auto top = lm::MarginItem::PageTop;
    const auto left = lm::MarginItem::PageLeft;
    const auto spine = lm::MarginItem::SpineLeft;
    const auto pocket = lm::MarginItem::PocketLeft;
    QTest::newRow("top 0 is invalid") << top << "0" << -1;
    QTest::newRow("spine 0 is valid") << spine << "0" << 0;
    QTest::newRow("pocket 0 is valid") << pocket << "0" << 0;
    QTest::newRow("left 4499.5 rounds to even 4500") << left << "4499.5" << 4500;
    QTest::newRow("left 4500 is invalid") << left << "4500" << -1;
    QTest::newRow("top 4499") << top << "4499" << 4499;
    QTest::newRow("top abc counts as 0, invalid") << top << "abc" << -1;
    QTest::newRow("spine abc counts as 0, valid") << spine << "abc" << 0;
    QTest::newRow("top blank counts as 0, invalid") << top << " " << -1;
    QTest::newRow("pocket blank counts as 0, valid") << pocket << " " << 0;
    QTest::newRow("0.4 is above 0, then rounds to 0") << top << "0.4" << 0;
    QTest::newRow("spine 899.9 is below 900, rounds to 900") << spine << "899.9" << 900;
    QTest::newRow("spine 900 is invalid") << spine << "900" << -1;
    QTest::newRow("spine -1 is invalid") << spine << "-1" << -1;
    QTest::newRow("spine -0.4 is below 0") << spine << "-0.4" << -1;
    QTest::newRow("pocket 1999.5 rounds to even 2000") << pocket << "1999.5" << 2000;
    QTest::newRow("pocket 2000 is invalid") << pocket << "2000" << -1;
    QTest::newRow("a huge number is invalid") << pocket << QString(400, QLatin1Char('9')) << -1;
    QTest::newRow("comma is no decimal point") << top << "12,7" << 12;
}

void TestSetupRules::marginAnswers() {
    QFETCH(lm::MarginItem, item);
    QFETCH(QString, answer);
    QFETCH(int, stored);
    std::optional<int> value = lm::marginFromAnswer(item, answer.toStdString());
    if (stored < 0) {
        QVERIFY2(!value, value ? qPrintable(QString::number(*value)) : "");
    } else {
        QVERIFY(value);
        QCOMPARE(*value, stored);
    }
}

void TestSetupRules::marginItemsMapToTheirSettings() {
    lm::Settings settings = lm::defaultSettings();
    lm::setMarginValue(settings, lm::MarginItem::PageTop, 1);
    lm::setMarginValue(settings, lm::MarginItem::PageLeft, 2);
    lm::setMarginValue(settings, lm::MarginItem::SpineLeft, 3);
    lm::setMarginValue(settings, lm::MarginItem::PocketLeft, 4);
    QCOMPARE(settings.PageTopMargin, 1);
    QCOMPARE(settings.PageLeftMargin, 2);
    QCOMPARE(settings.SpineLeftMargin, 3);
    QCOMPARE(settings.PocketLeftMargin, 4);
    QCOMPARE(lm::marginValue(settings, lm::MarginItem::PageTop), 1);
    QCOMPARE(lm::marginValue(settings, lm::MarginItem::PageLeft), 2);
    QCOMPARE(lm::marginValue(settings, lm::MarginItem::SpineLeft), 3);
    QCOMPARE(lm::marginValue(settings, lm::MarginItem::PocketLeft), 4);
}

void TestSetupRules::setupInformationLines_data() {
    QTest::addColumn<QString>("line");  // the settings file's line
    QTest::addColumn<QString>("shown");
    QTest::newRow("defaults")
        << "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,"
           "#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,1,920,640,35,30"
        << "Font Name: Times New Roman\r\nFont Size:  11\r\nFont Style: Regular \r\n"
           "Label Type: sp1\r\nPrinting Method: Interactive\r\nPage Top Margin:  920\r\n"
           "Page Left Margin:  640\r\nSpine Label Left Margin:  35\r\n"
           "Pocket Label Left Margin:  30\r\nLabel Alignment: Left";
    QTest::newRow("Mailer-1, italic, batch, justified")
        << "\"Arial\",9,0,#FALSE#,#TRUE#,#FALSE#,#FALSE#,\"Courier New\",12,0,"
           "#TRUE#,#TRUE#,#FALSE#,#FALSE#,3,9,2,1090,360,35,30"
        << "Font Name: Arial\r\nFont Size:  9\r\nFont Style: Regular Italic\r\n"
           "Label Type: Mailer-1\r\nPrinting Method: Batch\r\nPage Top Margin:  1090\r\n"
           "Page Left Margin:  360\r\nSpine Label Left Margin:  35\r\n"
           "Pocket Label Left Margin:  30\r\nLabel Alignment: Justified";
    QTest::newRow("bold keeps its trailing space")
        << "\"Arial\",14,0,#TRUE#,#FALSE#,#FALSE#,#FALSE#,\"Arial\",12,0,"
           "#FALSE#,#FALSE#,#FALSE#,#FALSE#,2,4,1,1685,690,0,0"
        << "Font Name: Arial\r\nFont Size:  14\r\nFont Style: Bold \r\n"
           "Label Type: sl6\r\nPrinting Method: Interactive\r\nPage Top Margin:  1685\r\n"
           "Page Left Margin:  690\r\nSpine Label Left Margin:  0\r\n"
           "Pocket Label Left Margin:  0\r\nLabel Alignment: Centered";
    QTest::newRow("bold italic; the pocket font never shows")
        << "\"Arial\",10,0,#TRUE#,#TRUE#,#FALSE#,#FALSE#,\"Wingdings\",30,0,"
           "#TRUE#,#TRUE#,#TRUE#,#TRUE#,1,10,2,1140,860,35,30"
        << "Font Name: Arial\r\nFont Size:  10\r\nFont Style: Bold Italic\r\n"
           "Label Type: sp1/sp2-f3\r\nPrinting Method: Batch\r\nPage Top Margin:  1140\r\n"
           "Page Left Margin:  860\r\nSpine Label Left Margin:  35\r\n"
           "Pocket Label Left Margin:  30\r\nLabel Alignment: Right";
    QTest::newRow("numbers as flags, negatives, values outside every table")
        << "\"Arial\",11,0,1,0,#FALSE#,#FALSE#,\"Arial\",12,0,"
           "#FALSE#,#FALSE#,#FALSE#,#FALSE#,7,12,5,-20,640,-1,30"
        << "Font Name: Arial\r\nFont Size:  11\r\nFont Style: Bold \r\n"
           "Label Type: \r\nPrinting Method: Batch\r\nPage Top Margin: -20\r\n"
           "Page Left Margin:  640\r\nSpine Label Left Margin: -1\r\n"
           "Pocket Label Left Margin:  30\r\nLabel Alignment: ";
}

void TestSetupRules::setupInformationLines() {
    QFETCH(QString, line);
    QFETCH(QString, shown);
    lm::Result<lm::Settings> settings = lm::parseSettingsText(line.toStdString() + "\r\n");
    QVERIFY2(settings.ok(), settings.ok() ? "" : settings.error().reason.c_str());
    QCOMPARE(text(lm::setupInformation(settings.value())), shown);
}

void TestSetupRules::workingFileLengthCreatesAMissingFile() {
    QTemporaryDir dir;
    WorkFolderVariable variable(dir.path());
    const QString path = dir.filePath(QStringLiteral("$$label.dat"));
    QVERIFY(!QFile::exists(path));
    lm::Result<std::int64_t> length = lm::workingFileLength();
    QVERIFY(length.ok());
    QCOMPARE(length.value(), std::int64_t(0));
    QVERIFY(QFile::exists(path));
    QCOMPARE(QFileInfo(path).size(), qint64(0));
}

void TestSetupRules::workingFileLengthCountsBytes() {
    QTemporaryDir dir;
    WorkFolderVariable variable(dir.path());
    QFile file(dir.filePath(QStringLiteral("$$label.dat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("A~~");
    file.close();
    lm::Result<std::int64_t> length = lm::workingFileLength();
    QVERIFY(length.ok());
    QCOMPARE(length.value(), std::int64_t(3));
}

void TestSetupRules::workingFileThatCannotBeOpenedIsAnError() {
    QTemporaryDir dir;
    WorkFolderVariable variable(dir.path());
    // A folder where the working file should be.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("$$label.dat")));
    lm::Result<std::int64_t> length = lm::workingFileLength();
    QVERIFY(!length.ok());
    QCOMPARE(text(length.error().path), dir.filePath(QStringLiteral("$$label.dat")));
    QVERIFY(!length.error().reason.empty());
}

QTEST_APPLESS_MAIN(TestSetupRules)
#include "tst_setuprules.moc"

#include <QDir>
#include <QFile>
#include <QLayout>
#include <QRegularExpression>
#include <QTest>

#include "app/form1.h"
#include "app/forms1.h"
#include "app/startup.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "platform/labelcontrol.h"
#include "platform/sheetcontrol.h"
#include "scripteddialogs.h"

using lm::Forms1;
using lm::LabelControl;

namespace {

// The labels of the page, templates left out, of one kind.
QList<LabelControl*> pageLabels(const Forms1& window, LabelControl::Kind kind) {
    QList<LabelControl*> labels;
    for (LabelControl* label : window.findChildren<LabelControl*>())
        if (label->kind() == kind && label->element() >= 2) labels << label;
    return labels;
}

QString brokenMessage(const std::string& path, const QString& reason) {
    return QStringLiteral(
               "The settings file %1 cannot be read: %2\r\n\r\n"
               "The Label Maker cannot start. Correct the file, or remove it to "
               "start with the default settings.")
        .arg(QString::fromStdString(path), reason);
}

}  // namespace

class TestStartUp : public QObject {
    Q_OBJECT
  private slots:
    void everyLabelTypeGetsItsLabels_data();
    void everyLabelTypeGetsItsLabels();
    void labelsTakeTheSettingsFontsAlignmentAndMargins();
    void mailerHasThreeLabelsWithMargin50();
    void sp1BatchStartsEmptyAndUntitled();
    void templatesAreHidden();
    void interactiveStartLoadsTheWorkingFile();
    void interactiveStartCreatesAMissingWorkingFile();
    void unreadableWorkingFileIsReported();
    void missingSettingsFileIsCreatedWithDefaults();
    void brokenSettingsFileStopsWithACriticalBox_data();
    void brokenSettingsFileStopsWithACriticalBox();
    void staleScratchFilesAreRemoved();
    void splashShowsItsSevenLines();
    void windowOpensMaximizedWithItsNormalSizeKept();
};

void TestStartUp::everyLabelTypeGetsItsLabels_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("spines");
    QTest::addColumn<int>("pockets");
    QTest::addColumn<QSize>("spineSize");
    QTest::addColumn<QSize>("pocketSize");
    QTest::addColumn<QPointF>("pocketOffset");  // first pocket from the first spine
    QTest::newRow("sp1") << 1 << 40 << 0 << QSize(1290, 2340) << QSize() << QPointF();
    QTest::newRow("sl4") << 3 << 10 << 20 << QSize(1296, 2088) << QSize(4032, 1170)
                         << QPointF(1386, 0);
    QTest::newRow("slb2") << 6 << 8 << 8 << QSize(1800, 1440) << QSize(4032, 1296)
                          << QPointF(3456, 0);
    QTest::newRow("Mailer-1") << 9 << 1 << 2 << QSize(11880, 3780) << QSize(7740, 1620)
                              << QPointF(0, -1620);
    QTest::newRow("type 0") << 0 << 0 << 0 << QSize() << QSize() << QPointF();
}

void TestStartUp::everyLabelTypeGetsItsLabels() {
    QFETCH(int, type);
    QFETCH(int, spines);
    QFETCH(int, pockets);
    QFETCH(QSize, spineSize);
    QFETCH(QSize, pocketSize);
    QFETCH(QPointF, pocketOffset);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    lm::Settings settings = settingsForType(type);
    auto window = startWith(folder, settings, dialogs);
    QVERIFY(window);

    QCOMPARE(pageLabels(*window, LabelControl::Kind::Spine).size(), spines);
    QCOMPARE(pageLabels(*window, LabelControl::Kind::Pocket).size(), pockets);
    QCOMPARE(window->state().LastSpineIndex, spines + 1);
    QCOMPARE(window->state().LastPocketIndex, pockets + 1);
    QCOMPARE(window->page().lastSpineIndex(), spines + 1);
    QCOMPARE(window->page().lastPocketIndex(), pockets + 1);
    QCOMPARE(window->state().ZoomValue, 100);
    if (spines == 0) return;

    // Every label of the page exists under its number, in its place.
    for (int n = 2; n <= spines + 1; ++n) QVERIFY(window->spineControl(n));
    for (int n = 2; n <= pockets + 1; ++n) QVERIFY(window->pocketControl(n));
    QVERIFY(!window->spineControl(spines + 2));
    QVERIFY(!window->pocketControl(pockets + 2));

    LabelControl* spine = window->spineControl(2);
    int top = settings.PageTopMargin + (type == lm::kMailer1 ? 1620 : 0);
    QCOMPARE(spine->leftTwips(), double(settings.PageLeftMargin));
    QCOMPARE(spine->topTwips(), double(top));
    QCOMPARE(QSize(spine->widthTwips(), spine->heightTwips()), spineSize);
    QCOMPARE(spine->pos(), QPoint(pixelsX(*spine, settings.PageLeftMargin), pixelsY(*spine, top)));
    QVERIFY(!spine->isHidden());
    if (pockets == 0) return;
    LabelControl* pocket = window->pocketControl(2);
    QCOMPARE(QSize(pocket->widthTwips(), pocket->heightTwips()), pocketSize);
    QCOMPARE(QPointF(pocket->leftTwips(), pocket->topTwips()),
             QPointF(spine->leftTwips(), spine->topTwips()) + pocketOffset);
}

void TestStartUp::labelsTakeTheSettingsFontsAlignmentAndMargins() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    lm::Settings settings = settingsForType(lm::kSlb);
    settings.SpineFontName = "Liberation Sans";
    settings.SpineFontSize = 14;
    settings.SpineFontColor = 0x00FF0000;  // blue
    settings.SpineFontBold = lm::SettingsVariant::fromBool(true);
    settings.PocketFontName = "Liberation Mono";
    settings.PocketFontSize = 9;
    settings.PocketFontItalic = true;
    settings.PocketFontStrikethru = lm::SettingsVariant::fromBool(true);
    settings.LabelAlignment = lm::kAlignCentered;
    settings.SpineLeftMargin = 72;
    settings.PocketLeftMargin = 500;
    auto window = startWith(folder, settings, dialogs);
    QVERIFY(window);

    for (int n = 2; n <= window->state().LastSpineIndex; ++n) {
        LabelControl* spine = window->spineControl(n);
        QCOMPARE(spine->labelFont().name, QStringLiteral("Liberation Sans"));
        QCOMPARE(spine->labelFont().size, 14.0);
        QCOMPARE(spine->palette().color(QPalette::Text), QColor(0, 0, 255));
        QVERIFY(spine->labelFont().bold);
        QCOMPARE(spine->labelAlignment(), int(lm::kAlignCentered));
        QCOMPARE(spine->innerMargins().left, 72);
        QCOMPARE(spine->innerMargins().top, 144);
        QCOMPARE(spine->innerMargins().right, 144);
        QCOMPARE(spine->innerMargins().bottom, 144);
    }
    for (int n = 2; n <= window->state().LastPocketIndex; ++n) {
        LabelControl* pocket = window->pocketControl(n);
        QCOMPARE(pocket->labelFont().name, QStringLiteral("Liberation Mono"));
        QCOMPARE(pocket->labelFont().size, 9.0);
        QVERIFY(pocket->labelFont().italic);
        QVERIFY(pocket->labelFont().strikethrough);
        QVERIFY(!pocket->labelFont().bold);
        QCOMPARE(pocket->labelAlignment(), int(lm::kAlignCentered));
        QCOMPARE(pocket->innerMargins().left, 500);
    }
}

void TestStartUp::mailerHasThreeLabelsWithMargin50() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    lm::Settings settings = settingsForType(lm::kMailer1);
    settings.SpineLeftMargin = 300;
    settings.PocketLeftMargin = 700;
    auto window = startWith(folder, settings, dialogs);
    QVERIFY(window);
    QCOMPARE(pageLabels(*window, LabelControl::Kind::Spine).size() +
                 pageLabels(*window, LabelControl::Kind::Pocket).size(),
             3);
    struct Expected {
        LabelControl* label;
        double top;
        int width, height;
    } expected[] = {{window->pocketControl(2), 1090, 7740, 1620},
                    {window->spineControl(2), 1090 + 1620, 11880, 3780},
                    {window->pocketControl(3), 1090 + 1620 + 3780, 11880, 1530}};
    for (const Expected& e : expected) {
        QVERIFY(e.label);
        QCOMPARE(e.label->innerLeftMargin(), 50);
        QCOMPARE(e.label->leftTwips(), 360.0);
        QCOMPARE(e.label->topTwips(), e.top);
        QCOMPARE(e.label->widthTwips(), e.width);
        QCOMPARE(e.label->heightTwips(), e.height);
    }
    QCOMPARE(window->sheet()->pageWidth(), 12960);
    QCOMPARE(window->sheet()->pageHeight(), 7920);
}

void TestStartUp::sp1BatchStartsEmptyAndUntitled() {
    StartedWindow s(settingsForType(lm::kSp1, lm::kBatchPrinting));
    QVERIFY(s.window);
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
    const lm::AppState& state = s.window->state();
    QVERIFY(state.CurrentFileName.empty());
    QCOMPARE(state.PageNumber, 1);
    QCOMPARE(state.PageStartPosition, 1);
    QCOMPARE(state.PageEndPosition, 0);
    QVERIFY(!state.PageChanged);
    QCOMPARE(state.SelectedLabel, 0);
    for (int n = 2; n <= 41; ++n) QCOMPARE(s.window->page().spineText(n), std::string());
    QCOMPARE(s.window->sheet()->pageWidth(), 12240);
    QCOMPARE(s.window->sheet()->pageHeight(), 15840);
    QVERIFY(s.folder.readFile(lm::kWorkingLabelFile).isNull());
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestStartUp::templatesAreHidden() {
    StartedWindow s(settingsForType(lm::kSl4));
    QVERIFY(s.window);
    s.window->show();
    QVERIFY(s.window->spineControl(1));
    QVERIFY(s.window->pocketControl(1));
    QVERIFY(!s.window->spineControl(1)->isVisible());
    QVERIFY(!s.window->pocketControl(1)->isVisible());
    QVERIFY(s.window->spineControl(2)->isVisible());
    // The page's texts leave the templates out.
    s.window->spineControl(1)->setLabelText("template");
    QCOMPARE(s.window->page().spineText(1), std::string());
}

void TestStartUp::interactiveStartLoadsTheWorkingFile() {
    TempWorkFolder folder;
    // One sl4 set and a half: the second set's pocket text is cut short.
    folder.writeFile(lm::kWorkingLabelFile, "PS\r\n3545~~Hemingway\r~~Old man~~FIC~~Sea~~");
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSl4, lm::kInteractivePrinting), dialogs);
    QVERIFY(window);
    std::string path = folder.filePath(lm::kWorkingLabelFile);
    QCOMPARE(window->windowTitle(), QStringLiteral("Kelvarine Label Maker - ") +
                                        QString::fromStdString(path).toUpper() +
                                        QStringLiteral(" (Page  1)"));
    const lm::AppState& state = window->state();
    QCOMPARE(state.CurrentFileName, path);
    QCOMPARE(state.PageNumber, 1);
    QCOMPARE(state.PageStartPosition, 1);
    QVERIFY(!state.PageChanged);
    QCOMPARE(window->page().spineText(2), std::string("PS\r\n3545"));
    QCOMPARE(window->page().pocketText(2), std::string("Hemingway\r"));
    QCOMPARE(window->page().pocketText(3), std::string("Old man"));
    QCOMPARE(window->page().spineText(3), std::string("FIC"));
    QCOMPARE(window->page().pocketText(4), std::string("Sea"));
    QCOMPARE(window->spineControl(2)->toPlainText(), QStringLiteral("PS\n3545"));
    LM_VERIFY_DIALOGS(dialogs);
}

void TestStartUp::interactiveStartCreatesAMissingWorkingFile() {
    StartedWindow s(settingsForType(lm::kSp1, lm::kInteractivePrinting));
    QVERIFY(s.window);
    QVERIFY(QFile::exists(QString::fromStdString(s.folder.filePath(lm::kWorkingLabelFile))));
    QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), QByteArray());
    QVERIFY(s.window->windowTitle().endsWith(QStringLiteral("$$LABEL.DAT (Page  1)")));
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestStartUp::unreadableWorkingFileIsReported() {
    TempWorkFolder folder;
    // A folder where the working file should be cannot be read as a file.
    QVERIFY(QDir(folder.path()).mkdir(QString::fromUtf8(lm::kWorkingLabelFile)));
    std::string path = folder.filePath(lm::kWorkingLabelFile);
    folder.writeSettings(settingsForType(lm::kSp1, lm::kInteractivePrinting));
    ScriptedDialogs dialogs;
    lm::PageState probe;
    lm::MemoryPage scratch = lm::MemoryPage::forLabelType(lm::kSp1);
    lm::Status refused = lm::loadFirstPage(probe, scratch, lm::kSp1, path);
    QVERIFY(!refused.ok());
    QString reason = QString::fromStdString(refused.error().reason);
    if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    dialogs.expectMessage(QStringLiteral("The working label file %1 cannot be opened: %2")
                              .arg(QString::fromStdString(path), reason),
                          lm::MessageButtons::Ok, lm::MessageIcon::Critical, lm::MessageAnswer::Ok);
    lm::StartUpResult started = lm::startUp(dialogs);
    QVERIFY(started.window);
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(started.window->state().CurrentFileName.empty());
    QCOMPARE(started.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
}

void TestStartUp::missingSettingsFileIsCreatedWithDefaults() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    lm::StartUpResult started = lm::startUp(dialogs);
    QVERIFY(started.window);
    QCOMPARE(folder.readFile(lm::kSettingsFile),
             QByteArray("\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New "
                        "Roman\",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,1,920,640,35,30\r\n"));
    QCOMPARE(started.window->state().LastSpineIndex, 41);
    QVERIFY(started.window->state().settings == lm::defaultSettings());
    LM_VERIFY_DIALOGS(dialogs);
}

void TestStartUp::brokenSettingsFileStopsWithACriticalBox_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");  // empty: the reason the settings reader gives
    QTest::newRow("three items") << QByteArray("\"Times New Roman\",11,0\r\n")
                                 << QStringLiteral("it holds 3 of the 21 settings items.");
    QTest::newRow("empty file") << QByteArray() << QString();
    QTest::newRow("label type in quotes")
        << QByteArray(
               "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New "
               "Roman\",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,\"sl4\",1,920,640,35,30\r\n")
        << QString();
}

void TestStartUp::brokenSettingsFileStopsWithACriticalBox() {
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    TempWorkFolder folder;
    folder.writeFile(lm::kSettingsFile, content);
    std::string path = folder.filePath(lm::kSettingsFile);
    if (reason.isEmpty()) {
        lm::Result<lm::Settings> read = lm::readSettingsFile(path);
        QVERIFY(!read.ok());
        reason = QString::fromStdString(read.error().reason);
        QVERIFY(!reason.isEmpty());
    }
    ScriptedDialogs dialogs;
    dialogs.expectMessage(brokenMessage(lm::settingsFilePath(), reason), lm::MessageButtons::Ok,
                          lm::MessageIcon::Critical, lm::MessageAnswer::Ok);
    lm::StartUpResult started = lm::startUp(dialogs);
    QVERIFY(!started.window);
    QVERIFY(started.exitCode != 0);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile(lm::kSettingsFile), content);  // never overwritten
}

void TestStartUp::staleScratchFilesAreRemoved() {
    TempWorkFolder folder;
    // Left by a save whose process no longer runs (no process has this id).
    folder.writeFile(".$$label.dat.lm-save-99999999-AbCdEf", "half a page");
    folder.writeFile("keep.dat", "labels");
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    QDir dir(folder.path());
    QVERIFY(!dir.exists(QStringLiteral(".$$label.dat.lm-save-99999999-AbCdEf")));
    QVERIFY(dir.exists(QStringLiteral("keep.dat")));
}

void TestStartUp::splashShowsItsSevenLines() {
    lm::Form1 splash;
    QCOMPARE(splash.windowTitle(), QStringLiteral("Kelvarine Label Maker (Version 4.11)"));
    QStringList lines = splash.text().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QString());
    QCOMPARE(lines[1], QStringLiteral("Kelvarine Technology Company"));
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d{4}$")).match(lines[2]).hasMatch(),
             qPrintable(lines[2]));
    QCOMPARE(lines[3], QString());
    QCOMPARE(lines[4], QStringLiteral("*******************************************"));
    QCOMPARE(lines[5], QString());
    QCOMPARE(lines[6], QStringLiteral("PLEASE WAIT. LOADING LABELS..."));
    QCOMPARE(splash.text(), lm::Form1::splashText());
}

void TestStartUp::windowOpensMaximizedWithItsNormalSizeKept() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    QWidget* client = s.window->centralWidget();
    s.window->layout()->activate();
    QSize normalClient = client->size();
    lm::showMainWindow(*s.window);
    QVERIFY(s.window->windowState() & Qt::WindowMaximized);
    QCOMPARE(normalClient, QSize(pixelsX(*s.window->spineControl(2), 7740),
                                 pixelsY(*s.window->spineControl(2), 5685)));
    s.window->showNormal();
    QVERIFY(QTest::qWaitFor([&] { return client->size() == normalClient; }));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"

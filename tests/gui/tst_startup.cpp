#include <QDir>
#include <QLayout>
#include <QRegularExpression>
#include <QTest>

#include "app/form1.h"
#include "app/forms1.h"
#include "app/startup.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "core/pagereader.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
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

}  // namespace

class TestStartUp : public QObject {
    Q_OBJECT
  private slots:
    void labelsStandWhereThePageGeometryPutsThem_data();
    void labelsStandWhereThePageGeometryPutsThem();
    void labelsTakeTheSettingsFontsAlignmentAndMargins();
    void sp1BatchStartsEmptyAndUntitled();
    void interactiveStartLoadsTheWorkingFile();
    void unreadableWorkingFileIsReported();
    void missingSettingsFileIsCreatedWithDefaults();
    void splashShowsItsSevenLines();
    void windowOpensMaximizedWithItsNormalSizeKept();
};

void TestStartUp::labelsStandWhereThePageGeometryPutsThem_data() {
    QTest::addColumn<int>("type");
    for (int type = 0; type <= 10; ++type) QTest::addRow("type %d", type) << type;
}

// Every label of the page exists under its number, in its place at zoom
// 100, with its inner left margin (50 on every Mailer-1 label), on the sheet
// of its type; the templates are hidden and hold no text of the page.
void TestStartUp::labelsStandWhereThePageGeometryPutsThem() {
    QFETCH(int, type);
    lm::Settings settings = settingsForType(type);
    settings.SpineLeftMargin = 300;
    settings.PocketLeftMargin = 700;
    StartedWindow s(settings);
    QVERIFY(s.window);
    s.window->show();
    const lm::PageGeometry geometry =
        lm::pageGeometry(type, settings.PageTopMargin, settings.PageLeftMargin);
    QCOMPARE(s.window->state().LastSpineIndex, geometry.lastSpineIndex);
    QCOMPARE(s.window->state().LastPocketIndex, geometry.lastPocketIndex);
    QCOMPARE(s.window->page().lastSpineIndex(), geometry.lastSpineIndex);
    QCOMPARE(pageLabels(*s.window, LabelControl::Kind::Spine).size() +
                 pageLabels(*s.window, LabelControl::Kind::Pocket).size(),
             qsizetype(geometry.placements.size()));
    for (const lm::LabelPlacement& p : geometry.placements) {
        LabelControl* label =
            p.pocket ? s.window->pocketControl(p.number) : s.window->spineControl(p.number);
        QVERIFY(label && label->isVisible());
        QCOMPARE(QRectF(label->leftTwips(), label->topTwips(), label->widthTwips(),
                        label->heightTwips()),
                 QRectF(p.left, p.top, p.width, p.height));
        QCOMPARE(label->pos(), QPoint(pixelsX(*label, p.left), pixelsY(*label, p.top)));
        QCOMPARE(label->innerLeftMargin(), type == lm::kMailer1 ? 50 : p.pocket ? 700 : 300);
    }
    QCOMPARE(QSize(s.window->sheet()->pageWidth(), s.window->sheet()->pageHeight()),
             QSize(geometry.sheetWidth, geometry.sheetHeight));
    if (geometry.placements.empty()) return;
    QVERIFY(!s.window->spineControl(1)->isVisible());
    s.window->spineControl(1)->setLabelText("template");
    QCOMPARE(s.window->page().spineText(1), std::string());
}

void TestStartUp::labelsTakeTheSettingsFontsAlignmentAndMargins() {
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
    StartedWindow s(settings);
    QVERIFY(s.window);
    auto look = [](const LabelControl* label) {
        const lm::LabelFont f = label->labelFont();
        return QStringLiteral("%1 %2 %3 b%4 i%5 s%6 a%7 %8")
            .arg(f.name)
            .arg(f.size)
            .arg(label->palette().color(QPalette::Text).name())
            .arg(f.bold)
            .arg(f.italic)
            .arg(f.strikethrough)
            .arg(label->labelAlignment())
            .arg(label->innerMargins().left);
    };
    const QString spine = QStringLiteral("Liberation Sans 14 #0000ff b1 i0 s0 a2 72");
    const QString pocket = QStringLiteral("Liberation Mono 9 #000000 b0 i1 s1 a2 500");
    for (LabelControl* label : pageLabels(*s.window, LabelControl::Kind::Spine))
        QCOMPARE(look(label), spine);
    for (LabelControl* label : pageLabels(*s.window, LabelControl::Kind::Pocket))
        QCOMPARE(look(label), pocket);
    const lm::InnerMargins spineMargins = s.window->spineControl(2)->innerMargins();
    QCOMPARE(QList<int>({spineMargins.top, spineMargins.right, spineMargins.bottom}),
             QList<int>({144, 144, 144}));
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
    QVERIFY(shownTexts(*s.window).isEmpty());
    QVERIFY(s.folder.readFile(lm::kWorkingLabelFile).isNull());
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestStartUp::interactiveStartLoadsTheWorkingFile() {
    // One sl4 set and a half: the second set's pocket text is cut short.
    StartedWindow s(settingsForType(lm::kSl4, lm::kInteractivePrinting),
                    "PS\r\n3545~~Hemingway\r~~Old man~~FIC~~Sea~~");
    QVERIFY(s.window);
    const std::string path = s.folder.filePath(lm::kWorkingLabelFile);
    QCOMPARE(s.window->windowTitle(), titleOf(QString::fromStdString(path), 1, false));
    const lm::AppState& state = s.window->state();
    QCOMPARE(state.CurrentFileName, path);
    QCOMPARE(state.PageNumber, 1);
    QCOMPARE(state.PageStartPosition, 1);
    QVERIFY(!state.PageChanged);
    QCOMPARE(shownTexts(*s.window),
             QList<QByteArray>({"PS\r\n3545", "Hemingway\r", "Old man", "FIC", "Sea"}));
    QCOMPARE(s.window->spineControl(2)->toPlainText(), QStringLiteral("PS\n3545"));
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
    QVERIFY(started.window->state().settings == lm::defaultSettings());
    LM_VERIFY_DIALOGS(dialogs);
}

void TestStartUp::splashShowsItsSevenLines() {
    lm::Form1 splash;
    QCOMPARE(splash.windowTitle(), QStringLiteral("Kelvarine Label Maker (Version 4.11)"));
    QString text = splash.text();
    QCOMPARE(text, lm::Form1::splashText());
    text.replace(QRegularExpression(QStringLiteral("\\r\\n\\d{4}-\\d{4}\\r\\n")),
                 QStringLiteral("\r\nYEARS\r\n"));
    QCOMPARE(text, QStringLiteral("\r\nKelvarine Technology Company\r\nYEARS\r\n\r\n") +
                       QString(43, QLatin1Char('*')) +
                       QStringLiteral("\r\n\r\nPLEASE WAIT. LOADING LABELS..."));
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

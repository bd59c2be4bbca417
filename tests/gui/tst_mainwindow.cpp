#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/clientarea.h"
#include "app/forms1.h"
#include "app/pageview.h"
#include "app/windowtitle.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "platform/labelcontrol.h"
#include "platform/ruler.h"
#include "platform/statusbar.h"
#include "platform/twips.h"
#include "scripteddialogs.h"

using lm::Forms1;
using lm::LabelControl;

namespace {

std::unique_ptr<Forms1> shownWindow(const TempWorkFolder& folder, int type, lm::Dialogs& dialogs,
                                    int printing = lm::kBatchPrinting) {
    auto window = startWith(folder, settingsForType(type, printing), dialogs);
    if (!window) return window;
    window->resize(1200, 900);
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        QTest::qFail("window not active", __FILE__, __LINE__);
    return window;
}

void click(LabelControl* label) {
    QTest::mouseClick(label->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void titleFollowsTheRule_data();
    void titleFollowsTheRule();
    void windowTitleAndStatusBarShowThePage();
    void clickSelectsTheLabelAndFocusesIt_data();
    void clickSelectsTheLabelAndFocusesIt();
    void typingMarksThePageChangedButNotTheTitle();
    void pageTextsAreTheLabelsBytes();
    void pageViewFillsTheClientAreaWhileItIsTallEnough();
    void buttonsStayAgainstTheRightEdge();
    void buttonBarFormatsTheFocusedLabel();
    void rulerMarksTheFocusedLabelsMargin();
    void statusBarShowsTheCaretLineAndColumn();
    void startUpLoadRunsOnlyForInteractivePrinting_data();
    void startUpLoadRunsOnlyForInteractivePrinting();
};

void TestMainWindow::titleFollowsTheRule_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("twoSpaces");
    QTest::addColumn<QString>("title");
    QTest::newRow("start-up") << QStringLiteral("c:\\qortex\\$$label.dat") << 1 << false
                              << QStringLiteral(
                                     "Kelvarine Label Maker - C:\\QORTEX\\$$LABEL.DAT (Page  1)");
    QTest::newRow("after next page")
        << QStringLiteral("c:\\qortex\\$$label.dat") << 2 << true
        << QStringLiteral("Kelvarine Label Maker - C:\\QORTEX\\$$LABEL.DAT  (Page  2)");
    QTest::newRow("accented name")
        << QStringLiteral("/tmp/étiquettes.dat") << 1 << false
        << QStringLiteral("Kelvarine Label Maker - /TMP/ÉTIQUETTES.DAT (Page  1)");
}

void TestMainWindow::titleFollowsTheRule() {
    QFETCH(QString, file);
    QFETCH(int, page);
    QFETCH(bool, twoSpaces);
    QFETCH(QString, title);
    QCOMPARE(lm::pageTitle(file.toStdString(), page,
                           twoSpaces ? lm::TitleSpacing::TwoSpaces : lm::TitleSpacing::OneSpace),
             title);
}

void TestMainWindow::windowTitleAndStatusBarShowThePage() {
    StartedWindow s(settingsForType(lm::kSl4));
    QVERIFY(s.window);
    auto* status = s.window->findChild<lm::StatusBar*>();
    QCOMPARE(status->pageText(), QStringLiteral("Page 1"));
    s.window->state().CurrentFileName = "/work/q/$$label.dat";
    s.window->state().PageNumber = 3;
    s.window->setPageTitle(lm::TitleSpacing::TwoSpaces);
    QCOMPARE(s.window->title(),
             QStringLiteral("Kelvarine Label Maker - /WORK/Q/$$LABEL.DAT  (Page  3)"));
    QCOMPARE(status->pageText(), QStringLiteral("Page 3"));
    s.window->setPlainTitle();
    QCOMPARE(s.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
}

void TestMainWindow::clickSelectsTheLabelAndFocusesIt_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("pocket");
    QTest::addColumn<int>("element");
    QTest::addColumn<int>("selected");
    QTest::newRow("spine 3") << 3 << false << 3 << 3;
    QTest::newRow("sl4 pocket 21") << 3 << true << 21 << 61;
}

void TestMainWindow::clickSelectsTheLabelAndFocusesIt() {
    QFETCH(int, type);
    QFETCH(bool, pocket);
    QFETCH(int, element);
    QFETCH(int, selected);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = shownWindow(folder, type, dialogs);
    QVERIFY(window);
    LabelControl* label = pocket ? window->pocketControl(element) : window->spineControl(element);
    window->findChild<lm::PageView*>()->ensureWidgetVisible(label);
    click(label);
    QCOMPARE(window->state().SelectedLabel, selected);
    QVERIFY(label->hasFocus());
    QCOMPARE(window->activeLabel(), label);
    // Moving the focus with the keyboard does not select.
    window->spineControl(2)->setFocus(Qt::TabFocusReason);
    QCOMPARE(window->state().SelectedLabel, selected);
}

void TestMainWindow::typingMarksThePageChangedButNotTheTitle() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = shownWindow(folder, lm::kSl4, dialogs);
    QVERIFY(window);
    QString title = window->windowTitle();
    QVERIFY(!window->state().PageChanged);
    click(window->pocketControl(4));
    QVERIFY(!window->state().PageChanged);
    QTest::keyClicks(window->pocketControl(4), QStringLiteral("Vol. 1"));
    QVERIFY(window->state().PageChanged);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->page().pocketText(4), std::string("Vol. 1"));
}

void TestMainWindow::pageTextsAreTheLabelsBytes() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = shownWindow(folder, lm::kSlb, dialogs);
    QVERIFY(window);
    lm::LabelPage& page = window->page();
    page.setSpineText(2, "PS\r3545\rE6");
    page.setPocketText(11, "Hemingway\x81\r\n");
    QCOMPARE(window->spineControl(2)->toPlainText(), QStringLiteral("PS\n3545\nE6"));
    QCOMPARE(page.spineText(2), std::string("PS\r3545\rE6"));
    QCOMPARE(page.pocketText(11), std::string("Hemingway\x81\r\n"));
    // Outside the page: the templates and numbers past the last label.
    page.setSpineText(1, "template");
    page.setSpineText(12, "nowhere");
    QCOMPARE(window->spineControl(1)->labelText(), std::string());
    QCOMPARE(page.spineText(12), std::string());
    // A character the file cannot hold is flagged where it is.
    window->pocketControl(5)->replaceSelection(QStringLiteral("\u20ac and \u0101"));
    QVERIFY(!page.pocketTextEncodable(5));
    QVERIFY(page.pocketTextEncodable(4));
    QVERIFY(page.spineTextEncodable(5));
}

void TestMainWindow::pageViewFillsTheClientAreaWhileItIsTallEnough() {
    lm::ClientArea area;
    area.resize(900, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    auto py = [&](double twips) { return lm::twipsToPixels(twips, area.logicalDpiY()); };
    QWidget* view = area.pageView();
    QCOMPARE(view->y(), py(990));
    QCOMPARE(view->height(), 700 - py(495) - py(375) - py(495));
    QCOMPARE(view->width(), 900);

    area.resize(900, 500);
    QCOMPARE(view->height(), 500 - py(495) - py(375) - py(495));
    int kept = view->height();
    // 1400 twips and lower leave the view as it was.
    area.resize(900, py(1400));
    QCOMPARE(view->height(), kept);
    area.resize(700, 40);
    QCOMPARE(view->height(), kept);
    QCOMPARE(view->width(), 700);
    area.resize(700, py(1500));
    QCOMPARE(view->height(), py(1500) - py(495) - py(375) - py(495));
    QCOMPARE(area.statusBar()->y(), py(1500) - py(375));
}

void TestMainWindow::buttonsStayAgainstTheRightEdge() {
    lm::ClientArea area;
    area.resize(1000, 700);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    auto px = [&](double twips) { return lm::twipsToPixels(twips, area.logicalDpiX()); };
    auto* next = area.findChild<QPushButton*>(QStringLiteral("Command1"));
    auto* previous = area.findChild<QPushButton*>(QStringLiteral("Command2"));
    auto* multiple = area.findChild<QPushButton*>(QStringLiteral("Command3"));
    for (int width : {1000, 520, 1600}) {
        area.resize(width, 700);
        QCOMPARE(next->geometry().left(), width - px(550));
        QCOMPARE(next->width(), px(450));
        QCOMPARE(previous->geometry().left(), next->geometry().left() - px(450));
        QCOMPARE(multiple->geometry().left(), previous->geometry().left() - px(450));
        QVERIFY(area.rect().contains(next->geometry()));
        QCOMPARE(next->y(), lm::twipsToPixels(30, area.logicalDpiY()));
    }
    QCOMPARE(next->text(), QStringLiteral("NP"));
    QCOMPARE(previous->text(), QStringLiteral("PP"));
    QCOMPARE(multiple->text(), QStringLiteral("ML"));
}

void TestMainWindow::buttonBarFormatsTheFocusedLabel() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = shownWindow(folder, lm::kSl4, dialogs);
    QVERIFY(window);
    LabelControl* spine3 = window->spineControl(3);
    click(spine3);
    QWidget* bar = window->findChild<QWidget*>(QStringLiteral("TXButtonBar1"));
    QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("bold")), Qt::LeftButton);
    QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("alignRight")), Qt::LeftButton);
    auto* size = bar->findChild<QComboBox*>(QStringLiteral("fontSize"));
    size->lineEdit()->selectAll();
    QTest::keyClicks(size->lineEdit(), QStringLiteral("16"));
    QTest::keyClick(size->lineEdit(), Qt::Key_Return);

    QVERIFY(spine3->labelFont().bold);
    QCOMPARE(spine3->labelFont().size, 16.0);
    QCOMPARE(spine3->labelAlignment(), int(lm::kAlignRight));
    QVERIFY(spine3->hasFocus());
    LabelControl* spine2 = window->spineControl(2);
    QVERIFY(!spine2->labelFont().bold);
    QCOMPARE(spine2->labelFont().size, 11.0);
    QCOMPARE(spine2->labelAlignment(), int(lm::kAlignLeft));
    QVERIFY(!window->state().PageChanged);

    // The bar shows the state of the label that takes the focus.
    click(spine2);
    QVERIFY(!bar->findChild<QToolButton*>(QStringLiteral("bold"))->isChecked());
    QVERIFY(bar->findChild<QToolButton*>(QStringLiteral("alignLeft"))->isChecked());
    QCOMPARE(size->currentText(), QStringLiteral("11"));
}

void TestMainWindow::rulerMarksTheFocusedLabelsMargin() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = shownWindow(folder, lm::kSl4, dialogs);
    QVERIFY(window);
    auto* ruler = window->findChild<lm::Ruler*>();
    LabelControl* pocket = window->pocketControl(2);
    click(pocket);
    QCOMPARE(ruler->label(), pocket);
    int labelLeft =
        ruler->mapFromGlobal(pocket->mapToGlobal(QPoint(0, 0))).x() + pocket->frameWidth();
    int dpi = pocket->logicalDpiX();
    QCOMPARE(ruler->markerX(), labelLeft + qRound(30 * dpi / 1440.0));
    // Dragging the marker a quarter inch to the right moves the inner margin.
    QPoint from(ruler->markerX(), ruler->height() - 4);
    QTest::mousePress(ruler, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(labelLeft + dpi / 4.0, from.y()),
                     ruler->mapToGlobal(QPointF(labelLeft + dpi / 4.0, from.y())), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(ruler, &move);
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(labelLeft + dpi / 4, from.y()));
    QCOMPARE(pocket->innerLeftMargin(), 360);
    QVERIFY(!window->state().PageChanged);
}

void TestMainWindow::statusBarShowsTheCaretLineAndColumn() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = shownWindow(folder, lm::kSp1, dialogs);
    QVERIFY(window);
    auto* status = window->findChild<lm::StatusBar*>();
    LabelControl* label = window->spineControl(4);
    label->setLabelText("FIC\r\nSMI\r\n2004");
    click(label);
    label->moveCursor(QTextCursor::Start);
    label->moveCursor(QTextCursor::Down);
    label->moveCursor(QTextCursor::Right);
    QCOMPARE(status->lineText(), QStringLiteral("Line 2"));
    QCOMPARE(status->columnText(), QStringLiteral("Col 2"));
    label->moveCursor(QTextCursor::End);
    QCOMPARE(status->lineText(), QStringLiteral("Line 3"));
    QCOMPARE(status->columnText(), QStringLiteral("Col 5"));
}

void TestMainWindow::startUpLoadRunsOnlyForInteractivePrinting_data() {
    QTest::addColumn<int>("printing");
    QTest::addColumn<int>("loads");
    QTest::newRow("Interactive") << lm::kInteractivePrinting << 1;
    QTest::newRow("Batch") << lm::kBatchPrinting << 0;
}

void TestMainWindow::startUpLoadRunsOnlyForInteractivePrinting() {
    QFETCH(int, printing);
    QFETCH(int, loads);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    folder.writeSettings(settingsForType(lm::kSp1, printing));
    Forms1 window(settingsForType(lm::kSp1, printing), dialogs);
    int ran = 0;
    window.setStartUpLoad([&] { ++ran; });
    window.runStartUpLoad();
    QCOMPARE(ran, loads);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

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

// A window of `type` on screen and active, or none.
struct ShownWindow : StartedWindow {
    explicit ShownWindow(int type) : StartedWindow(settingsForType(type)) {
        if (!window) return;
        window->resize(1200, 900);
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) window.reset();
    }
};

void click(LabelControl* label) {
    QTest::mouseClick(label->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
  private slots:
    void pageTitleNamesTheFileInCapitals_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("twoSpaces");
        QTest::addColumn<QString>("title");
        QTest::newRow("a to z, digits and marks kept")
            << "/home/ann/az_09-zone.dat" << 1 << false
            << "Kelvarine Label Maker - /HOME/ANN/AZ_09-ZONE.DAT (Page  1)";
        QTest::newRow("letters beyond ASCII")
            << "/q/\u00e9t\u00e9.dat" << 12 << true
            << "Kelvarine Label Maker - /Q/\u00c9T\u00c9.DAT  (Page  12)";
        QTest::newRow("a page before the first")
            << "/Q/A.DAT" << -1 << true << "Kelvarine Label Maker - /Q/A.DAT  (Page -1)";
    }
    void pageTitleNamesTheFileInCapitals() {
        QFETCH(QString, file);
        QFETCH(int, page);
        QFETCH(bool, twoSpaces);
        QFETCH(QString, title);
        const auto spacing = twoSpaces ? lm::TitleSpacing::TwoSpaces : lm::TitleSpacing::OneSpace;
        QCOMPARE(lm::pageTitle(file.toStdString(), page, spacing), title);
    }
    void windowTitleAndStatusBarShowThePage() {
        StartedWindow s(settingsForType(lm::kSl4));
        QVERIFY(s.window);
        auto* status = s.window->findChild<lm::StatusBar*>();
        QCOMPARE(status->pageText(), QStringLiteral("Page 1"));
        s.window->state().CurrentFileName = "/work/q/\xc3\xa9tiquettes.dat";
        s.window->state().PageNumber = 3;
        s.window->setPageTitle(lm::TitleSpacing::TwoSpaces);
        QCOMPARE(s.window->title(),
                 QStringLiteral("Kelvarine Label Maker - /WORK/Q/\u00c9TIQUETTES.DAT  (Page  3)"));
        s.window->setPageTitle(lm::TitleSpacing::OneSpace);
        QVERIFY(s.window->title().endsWith(QStringLiteral("DAT (Page  3)")));
        QCOMPARE(status->pageText(), QStringLiteral("Page 3"));
        s.window->setPlainTitle();
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
    }
    void clickSelectsTheLabelAndFocusesIt_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("pocket");
        QTest::addColumn<int>("element");
        QTest::addColumn<int>("selected");
        QTest::newRow("spine 3") << 3 << false << 3 << 3;
        QTest::newRow("sl4 pocket 21") << 3 << true << 21 << 61;
    }
    // A click selects; moving the focus with the keyboard does not. Typing marks
    // the page changed but leaves the title.
    void clickSelectsTheLabelAndFocusesIt() {
        QFETCH(int, type);
        QFETCH(bool, pocket);
        QFETCH(int, element);
        QFETCH(int, selected);
        ShownWindow s(type);
        QVERIFY(s.window);
        Forms1* window = s.window.get();
        LabelControl* label =
            pocket ? window->pocketControl(element) : window->spineControl(element);
        window->findChild<lm::PageView*>()->ensureWidgetVisible(label);
        click(label);
        QCOMPARE(window->state().SelectedLabel, selected);
        QVERIFY(label->hasFocus());
        QCOMPARE(window->activeLabel(), label);
        QVERIFY(!window->state().PageChanged);
        const QString title = window->windowTitle();
        QTest::keyClicks(label, QStringLiteral("Vol. 1"));
        QVERIFY(window->state().PageChanged);
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(label->toPlainText(), QStringLiteral("Vol. 1"));
        window->spineControl(2)->setFocus(Qt::TabFocusReason);
        QCOMPARE(window->state().SelectedLabel, selected);
    }
    // The page view fills the client area between the bars; the buttons stay
    // against the right edge.
    void layoutFollowsTheClientAreaSize() {
        lm::ClientArea area;
        area.resize(900, 700);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        auto px = [&](double twips) { return lm::twipsToPixels(twips, area.logicalDpiX()); };
        auto py = [&](double twips) { return lm::twipsToPixels(twips, area.logicalDpiY()); };
        QWidget* view = area.pageView();
        auto* next = area.findChild<QPushButton*>(QStringLiteral("Command1"));
        auto* previous = area.findChild<QPushButton*>(QStringLiteral("Command2"));
        auto* multiple = area.findChild<QPushButton*>(QStringLiteral("Command3"));
        QCOMPARE(view->y(), py(990));
        QCOMPARE(QStringList({next->text(), previous->text(), multiple->text()}),
                 QStringList({QStringLiteral("NP"), QStringLiteral("PP"), QStringLiteral("ML")}));
        area.resize(1600, 500);
        QCOMPARE(view->height(), 500 - py(495) - py(375) - py(495));
        QCOMPARE(view->width(), 1600);
        QCOMPARE(next->geometry().left(), 1600 - px(550));
        QVERIFY(multiple->geometry().left() < previous->geometry().left() &&
                previous->geometry().left() < next->geometry().left());
        QCOMPARE(area.statusBar()->y(), 500 - py(375));
    }
    void buttonBarFormatsTheFocusedLabel() {
        ShownWindow s(lm::kSl4);
        QVERIFY(s.window);
        Forms1* window = s.window.get();
        LabelControl* spine3 = window->spineControl(3);
        click(spine3);
        QWidget* bar = window->findChild<QWidget*>(QStringLiteral("TXButtonBar1"));
        QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("bold")), Qt::LeftButton);
        QTest::mouseClick(bar->findChild<QToolButton*>(QStringLiteral("alignRight")),
                          Qt::LeftButton);
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
    void rulerMarksTheFocusedLabelsMargin() {
        ShownWindow s(lm::kSl4);
        QVERIFY(s.window);
        Forms1* window = s.window.get();
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
    void statusBarShowsTheCaretLineAndColumn() {
        ShownWindow s(lm::kSp1);
        QVERIFY(s.window);
        Forms1* window = s.window.get();
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
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"

#include <QAbstractButton>
#include <QAction>
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "platform/sheetcontrol.h"
#include "scripteddialogs.h"

using lm::Forms1;

namespace {

QList<int> checkedZoomItems(Forms1& window) {
    QList<int> checked;
    for (QAction* item : window.menuArray(QStringLiteral("mnuView_ZoomItem")))
        if (item->isChecked()) checked << item->data().toInt();
    return checked;
}

void chooseZoom(Forms1& window, int index) {
    window.menuItem(QStringLiteral("mnuView_ZoomItem_%1").arg(index))->trigger();
}

}  // namespace

class TestZoomMenu : public QObject {
    Q_OBJECT
  private slots:
    void oneHundredIsCheckedAtStart();
    void itemSetsTheZoomFromItsCaption_data();
    void itemSetsTheZoomFromItsCaption();
    void zoomLastsAcrossPageMoves();
};

void TestZoomMenu::oneHundredIsCheckedAtStart() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    QCOMPARE(checkedZoomItems(*s.window), QList<int>{4});
    QCOMPARE(s.window->state().ZoomValue, 100);
}

void TestZoomMenu::itemSetsTheZoomFromItsCaption_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("zoom");
    QTest::newRow("sp1 30%") << int(lm::kSp1) << 1 << 30;
    QTest::newRow("sl4 75%") << int(lm::kSl4) << 3 << 75;
    QTest::newRow("Mailer-1 200%") << int(lm::kMailer1) << 5 << 200;
}

void TestZoomMenu::itemSetsTheZoomFromItsCaption() {
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(int, zoom);
    StartedWindow s(settingsForType(type));
    QVERIFY(s.window);
    lm::LabelControl* label = s.window->spineControl(2);
    const double left = label->leftTwips();
    const double top = label->topTwips();
    chooseZoom(*s.window, index == 1 ? 5 : 1);  // start from another zoom
    chooseZoom(*s.window, index);
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(s.window->state().ZoomValue, zoom);
    QCOMPARE(checkedZoomItems(*s.window), QList<int>{index});
    QCOMPARE(s.window->sheet()->zoomFactor(), zoom);
    QCOMPARE(label->zoomFactor(), zoom);
    QVERIFY(qAbs(label->leftTwips() - left * zoom / 100) < 1e-6);
    QVERIFY(qAbs(label->topTwips() - top * zoom / 100) < 1e-6);
}

void TestZoomMenu::zoomLastsAcrossPageMoves() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(labelSetTexts(lm::kSl6, 14)));
    auto window = startWith(folder, settingsForType(lm::kSl6, lm::kInteractivePrinting), dialogs);
    QVERIFY(window);
    const double left = window->pocketControl(13)->leftTwips();
    chooseZoom(*window, 2);
    window->menuItem(QStringLiteral("mnuPage_NextPage"))->trigger();
    QCOMPARE(window->pocketControl(13)->zoomFactor(), 50);
    QVERIFY(qAbs(window->pocketControl(13)->leftTwips() - left / 2) < 1e-6);
    window->menuItem(QStringLiteral("mnuPage_PreviousPage"))->trigger();
    QCOMPARE(window->spineControl(7)->zoomFactor(), 50);
    QCOMPARE(checkedZoomItems(*window), QList<int>{2});
    LM_VERIFY_DIALOGS(dialogs);
}

// The label type was changed in the Setup menu since start-up, so the page
// has too few labels for it: the recovery shows page 1 and says so once, its
// own layout failing again without starting another recovery.

QTEST_MAIN(TestZoomMenu)
#include "tst_zoommenu.moc"

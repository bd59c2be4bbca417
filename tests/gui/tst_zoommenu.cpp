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
    void failedLayoutShowsTheFirstPageOnce();
};

void TestZoomMenu::oneHundredIsCheckedAtStart() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    QCOMPARE(checkedZoomItems(*window), QList<int>{4});
    QCOMPARE(window->state().ZoomValue, 100);
}

void TestZoomMenu::itemSetsTheZoomFromItsCaption_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("zoom");
    QTest::newRow("sp1 30%") << int(lm::kSp1) << 1 << 30;
    QTest::newRow("sp1 50%") << int(lm::kSp1) << 2 << 50;
    QTest::newRow("sl4 75%") << int(lm::kSl4) << 3 << 75;
    QTest::newRow("slb 100%") << int(lm::kSlb) << 4 << 100;
    QTest::newRow("Mailer-1 200%") << int(lm::kMailer1) << 5 << 200;
}

void TestZoomMenu::itemSetsTheZoomFromItsCaption() {
    QFETCH(int, type);
    QFETCH(int, index);
    QFETCH(int, zoom);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(type), dialogs);
    QVERIFY(window);
    lm::LabelControl* label = window->spineControl(2);
    const double left = label->leftTwips();
    const double top = label->topTwips();
    chooseZoom(*window, index == 1 ? 5 : 1);  // start from another zoom
    chooseZoom(*window, index);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().ZoomValue, zoom);
    QCOMPARE(checkedZoomItems(*window), QList<int>{index});
    QCOMPARE(window->sheet()->zoomFactor(), zoom);
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
void TestZoomMenu::failedLayoutShowsTheFirstPageOnce() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSlb, 25);
    folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(texts));
    auto window = startWith(folder, settingsForType(lm::kSlb, lm::kInteractivePrinting), dialogs);
    QVERIFY(window);
    window->button(QStringLiteral("Command1"))->click();
    window->state().PageLabelType = lm::kSl4;  // needs 20 pocket labels, the page has 10
    dialogs.expectMessage(QStringLiteral("You have moved too fast!"), lm::MessageButtons::Ok,
                          lm::MessageIcon::None, lm::MessageAnswer::Ok);
    chooseZoom(*window, 3);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().ZoomValue, 75);
    QCOMPARE(checkedZoomItems(*window), QList<int>{3});
    QCOMPARE(window->state().PageNumber, 1);
    QCOMPARE(window->state().PageStartPosition, 1);
    QVERIFY(!window->state().PageChanged);
    const QString path = QString::fromStdString(folder.filePath(lm::kWorkingLabelFile));
    QCOMPARE(window->windowTitle(), titleOf(path, 1, true));
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

QTEST_MAIN(TestZoomMenu)
#include "tst_zoommenu.moc"

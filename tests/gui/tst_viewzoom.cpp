#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "platform/labelcontrol.h"
#include "platform/sheetcontrol.h"
#include "scripteddialogs.h"

using lm::Forms1;
using lm::LabelControl;

class TestViewZoom : public QObject {
    Q_OBJECT
  private slots:
    void labelsMoveWithTheZoomAndKeepTheirSize_data();
    void labelsMoveWithTheZoomAndKeepTheirSize();
    void textIsDrawnAtTheZoom();
    void zoomOneHundredGivesBackTheStartUpPositions();
    void mailerLaysOutItsThreeLabels();
    void layoutForAnotherTypeFailsAndRecoversOnce();
    void layoutForATypeWithTheSameLabelsSucceeds();
    void pageViewGrowsToHoldTheZoomedPage();
};

void TestViewZoom::labelsMoveWithTheZoomAndKeepTheirSize_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("pocket");
    QTest::addColumn<int>("element");
    QTest::addColumn<QPointF>("position");
    QTest::newRow("sp1 50% first") << 1 << 50 << false << 2 << QPointF(320, 460);
    QTest::newRow("sp1 50% second") << 1 << 50 << false << 3 << QPointF(1013, 460);
    QTest::newRow("sp1 50% second row") << 1 << 50 << false << 10 << QPointF(320, 1967.5);
    QTest::newRow("sp1 200% first") << 1 << 200 << false << 2 << QPointF(1280, 1840);
    QTest::newRow("sp1 200% second") << 1 << 200 << false << 3 << QPointF(4052, 1840);
    QTest::newRow("sl4 200% fifth row")
        << 3 << 200 << false << 10 << QPointF(1420, 2 * (827 + 12009.6));
    QTest::newRow("sl4 50% second pocket")
        << 3 << 50 << true << 3 << QPointF((710 + 1386) * 0.5, (827 + 1170) * 0.5);
    QTest::newRow("slb2 30% pocket")
        << 6 << 30 << true << 2 << QPointF((2376 + 3456) * 0.3, 1382 * 0.3);
    QTest::newRow("spa 75% last") << 7 << 75 << false << 51
                                  << QPointF((380 + 4 * 2340) * 0.75, (890 + 9 * 1440) * 0.75);
}

void TestViewZoom::labelsMoveWithTheZoomAndKeepTheirSize() {
    QFETCH(int, type);
    QFETCH(int, zoom);
    QFETCH(bool, pocket);
    QFETCH(int, element);
    QFETCH(QPointF, position);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(type), dialogs);
    QVERIFY(window);
    LabelControl* label = pocket ? window->pocketControl(element) : window->spineControl(element);
    QVERIFY(label);
    QSize size = label->size();
    int width = label->widthTwips();

    QVERIFY(window->ViewZoom(zoom));
    QVERIFY(qAbs(label->leftTwips() - position.x()) < 1e-6);
    QVERIFY(qAbs(label->topTwips() - position.y()) < 1e-6);
    QCOMPARE(label->pos(), QPoint(pixelsX(*label, position.x()), pixelsY(*label, position.y())));
    QCOMPARE(label->size(), size);
    QCOMPARE(label->widthTwips(), width);
    QCOMPARE(label->zoomFactor(), zoom);
    QCOMPARE(window->sheet()->zoomFactor(), zoom);
    QCOMPARE(window->state().ZoomValue, 100);  // the zoom menu sets it, not the layout
}

void TestViewZoom::textIsDrawnAtTheZoom() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSl4), dialogs);
    QVERIFY(window);
    QVERIFY(window->ViewZoom(200));
    QCOMPARE(window->spineControl(2)->font().pointSizeF(), 22.0);
    QCOMPARE(window->pocketControl(5)->font().pointSizeF(), 24.0);
    QCOMPARE(window->spineControl(2)->labelFont().size, 11.0);
    QVERIFY(window->ViewZoom(30));
    QCOMPARE(window->spineControl(2)->font().pointSizeF(), 3.3);
}

void TestViewZoom::zoomOneHundredGivesBackTheStartUpPositions() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSl6), dialogs);
    QVERIFY(window);
    QList<QPair<QPointF, QPoint>> before;
    const QList<LabelControl*> labels = window->findChildren<LabelControl*>();
    for (LabelControl* label : labels)
        before << qMakePair(QPointF(label->leftTwips(), label->topTwips()), label->pos());
    QVERIFY(window->ViewZoom(75));
    QVERIFY(window->ViewZoom(100));
    for (int i = 0; i < labels.size(); ++i) {
        QCOMPARE(QPointF(labels[i]->leftTwips(), labels[i]->topTwips()), before[i].first);
        QCOMPARE(labels[i]->pos(), before[i].second);
    }
}

void TestViewZoom::mailerLaysOutItsThreeLabels() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kMailer1), dialogs);
    QVERIFY(window);
    QVERIFY(window->ViewZoom(50));
    QCOMPARE(window->pocketControl(2)->topTwips(), 1090 * 0.5);
    QCOMPARE(window->spineControl(2)->topTwips(), (1090 + 1620) * 0.5);
    QCOMPARE(window->pocketControl(3)->topTwips(), (1090 + 1620 + 3780) * 0.5);
    QCOMPARE(window->pocketControl(3)->leftTwips(), 360 * 0.5);
    QCOMPARE(window->pocketControl(3)->widthTwips(), 11880);
}

void TestViewZoom::layoutForAnotherTypeFailsAndRecoversOnce() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    int recoveries = 0;
    window->setLayoutRecovery([&] {
        ++recoveries;
        // The recovery lays the page out again; that layout fails too and
        // must not start another recovery.
        QVERIFY(!window->ViewZoom(window->state().ZoomValue));
    });
    window->state().PageLabelType = lm::kSpa;  // 50 spine labels, the page has 40
    QVERIFY(!window->ViewZoom(100));
    QCOMPARE(recoveries, 1);
    QVERIFY(!window->ViewZoom(50));
    QCOMPARE(recoveries, 2);
}

void TestViewZoom::layoutForATypeWithTheSameLabelsSucceeds() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    int recoveries = 0;
    window->setLayoutRecovery([&] { ++recoveries; });
    window->state().PageLabelType = lm::kSp2;
    QVERIFY(window->ViewZoom(200));
    QCOMPARE(recoveries, 0);
}

void TestViewZoom::pageViewGrowsToHoldTheZoomedPage() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    QWidget* page = window->findChild<QWidget*>(QStringLiteral("page"));
    QVERIFY(page);
    QVERIFY(window->ViewZoom(200));
    LabelControl* last = window->spineControl(41);
    QVERIFY(page->rect().contains(last->geometry()));
    QCOMPARE(page->size(), window->sheet()->size().expandedTo(page->size()));
    QCOMPARE(window->sheet()->width(), pixelsX(*last, 12240 * 2));
    QVERIFY(window->ViewZoom(30));
    QCOMPARE(window->sheet()->width(), pixelsX(*last, 12240 * 0.3));
    // At 30% the labels keep their size and stand out of the smaller sheet.
    QVERIFY(page->rect().contains(last->geometry()));
}

QTEST_MAIN(TestViewZoom)
#include "tst_viewzoom.moc"

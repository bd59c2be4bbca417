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
    void layoutForAnotherTypeFailsAndRecoversOnce();
    void pageViewGrowsToHoldTheZoomedPage();
};

void TestViewZoom::labelsMoveWithTheZoomAndKeepTheirSize_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("pocket");
    QTest::addColumn<int>("element");
    QTest::addColumn<QPointF>("position");
    QTest::newRow("sp1 50% first") << 1 << 50 << false << 2 << QPointF(320, 460);
    QTest::newRow("sp1 50% second row") << 1 << 50 << false << 10 << QPointF(320, 1967.5);
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
    StartedWindow s(settingsForType(type));
    QVERIFY(s.window);
    LabelControl* label =
        pocket ? s.window->pocketControl(element) : s.window->spineControl(element);
    QVERIFY(label);
    QSize size = label->size();
    int width = label->widthTwips();

    QVERIFY(s.window->ViewZoom(zoom));
    QVERIFY(qAbs(label->leftTwips() - position.x()) < 1e-6);
    QVERIFY(qAbs(label->topTwips() - position.y()) < 1e-6);
    QCOMPARE(label->pos(), QPoint(pixelsX(*label, position.x()), pixelsY(*label, position.y())));
    QCOMPARE(label->size(), size);
    QCOMPARE(label->widthTwips(), width);
    QCOMPARE(label->zoomFactor(), zoom);
    QCOMPARE(s.window->sheet()->zoomFactor(), zoom);
    QCOMPARE(s.window->state().ZoomValue, 100);  // the zoom menu sets it, not the layout
}

void TestViewZoom::textIsDrawnAtTheZoom() {
    StartedWindow s(settingsForType(lm::kSl4));
    QVERIFY(s.window);
    QVERIFY(s.window->ViewZoom(200));
    QCOMPARE(s.window->spineControl(2)->font().pointSizeF(), 22.0);
    QCOMPARE(s.window->pocketControl(5)->font().pointSizeF(), 24.0);
    QCOMPARE(s.window->spineControl(2)->labelFont().size, 11.0);
    QVERIFY(s.window->ViewZoom(30));
    QCOMPARE(s.window->spineControl(2)->font().pointSizeF(), 3.3);
}

void TestViewZoom::zoomOneHundredGivesBackTheStartUpPositions() {
    StartedWindow s(settingsForType(lm::kSl6));
    QVERIFY(s.window);
    QList<QPair<QPointF, QPoint>> before;
    const QList<LabelControl*> labels = s.window->findChildren<LabelControl*>();
    for (LabelControl* label : labels)
        before << qMakePair(QPointF(label->leftTwips(), label->topTwips()), label->pos());
    QVERIFY(s.window->ViewZoom(75));
    QVERIFY(s.window->ViewZoom(100));
    for (int i = 0; i < labels.size(); ++i) {
        QCOMPARE(QPointF(labels[i]->leftTwips(), labels[i]->topTwips()), before[i].first);
        QCOMPARE(labels[i]->pos(), before[i].second);
    }
}

void TestViewZoom::layoutForAnotherTypeFailsAndRecoversOnce() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    int recoveries = 0;
    s.window->setLayoutRecovery([&] {
        ++recoveries;
        // The recovery lays the page out again; that layout fails too and
        // must not start another recovery.
        QVERIFY(!s.window->ViewZoom(s.window->state().ZoomValue));
    });
    s.window->state().PageLabelType = lm::kSpa;  // 50 spine labels, the page has 40
    QVERIFY(!s.window->ViewZoom(100));
    QCOMPARE(recoveries, 1);
    QVERIFY(!s.window->ViewZoom(50));
    QCOMPARE(recoveries, 2);
}

void TestViewZoom::pageViewGrowsToHoldTheZoomedPage() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    QWidget* page = s.window->findChild<QWidget*>(QStringLiteral("page"));
    QVERIFY(page);
    QVERIFY(s.window->ViewZoom(200));
    LabelControl* last = s.window->spineControl(41);
    QVERIFY(page->rect().contains(last->geometry()));
    QCOMPARE(page->size(), s.window->sheet()->size().expandedTo(page->size()));
    QCOMPARE(s.window->sheet()->width(), pixelsX(*last, 12240 * 2));
    QVERIFY(s.window->ViewZoom(30));
    QCOMPARE(s.window->sheet()->width(), pixelsX(*last, 12240 * 0.3));
    // At 30% the labels keep their size and stand out of the smaller sheet.
    QVERIFY(page->rect().contains(last->geometry()));
}

QTEST_MAIN(TestViewZoom)
#include "tst_viewzoom.moc"

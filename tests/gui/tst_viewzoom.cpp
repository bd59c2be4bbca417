#include <QAction>
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "platform/sheetcontrol.h"
#include "scripteddialogs.h"

using lm::LabelControl;

namespace {

QList<int> checkedZoomItems(lm::Forms1& window) {
    QList<int> checked;
    for (QAction* item : window.menuArray(QStringLiteral("mnuView_ZoomItem")))
        if (item->isChecked()) checked << item->data().toInt();
    return checked;
}

void chooseZoom(lm::Forms1& window, int index) {
    trigger(window, QStringLiteral("mnuView_ZoomItem_%1").arg(index));
}

}  // namespace

class TestViewZoom : public QObject {
    Q_OBJECT
  private slots:
    void zoomItemMovesTheLabelsAndKeepsTheirSize_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("from");  // the zoom item chosen before
        QTest::addColumn<int>("item");
        QTest::newRow("sp1 50%") << int(lm::kSp1) << 4 << 2;
        QTest::newRow("Mailer-1 back to 100%") << int(lm::kMailer1) << 3 << 4;
    }
    // Every label moves to its place at the zoom and keeps its size; its text
    // is drawn at the zoom.
    void zoomItemMovesTheLabelsAndKeepsTheirSize() {
        QFETCH(int, type);
        QFETCH(int, from);
        QFETCH(int, item);
        const lm::Settings settings = settingsForType(type);
        StartedWindow s(settings);
        QVERIFY(s.window);
        const QSize size = s.window->spineControl(2)->size();
        const double zoom = QList<int>{30, 50, 75, 100, 200}[item - 1];
        chooseZoom(*s.window, from);
        chooseZoom(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.window->state().ZoomValue, int(zoom));
        QCOMPARE(checkedZoomItems(*s.window), QList<int>{item});
        QCOMPARE(s.window->sheet()->zoomFactor(), int(zoom));
        const lm::PageGeometry geometry =
            lm::pageGeometry(type, settings.PageTopMargin, settings.PageLeftMargin);
        for (const lm::LabelPlacement& p : geometry.placements) {
            LabelControl* label =
                p.pocket ? s.window->pocketControl(p.number) : s.window->spineControl(p.number);
            const QPointF at(p.left * zoom / 100, p.top * zoom / 100);
            QVERIFY(qAbs(label->leftTwips() - at.x()) < 1e-6 &&
                    qAbs(label->topTwips() - at.y()) < 1e-6);
            QCOMPARE(label->pos(), QPoint(pixelsX(*label, at.x()), pixelsY(*label, at.y())));
            QCOMPARE(label->font().pointSizeF(), label->labelFont().size * zoom / 100);
            QCOMPARE(label->widthTwips(), p.width);
            if (type == lm::kMailer1) QCOMPARE(label->innerLeftMargin(), 50);
        }
        QCOMPARE(s.window->spineControl(2)->size(), size);
    }
    void zoomLastsAcrossPageMoves() {
        StartedWindow s(settingsForType(lm::kSl6, lm::kInteractivePrinting),
                        labelFileBytes(labelSetTexts(lm::kSl6, 14)));
        QVERIFY(s.window);
        const double left = s.window->pocketControl(13)->leftTwips();
        chooseZoom(*s.window, 2);
        trigger(*s.window, QStringLiteral("mnuPage_NextPage"));
        QCOMPARE(s.window->pocketControl(13)->zoomFactor(), 50);
        QVERIFY(qAbs(s.window->pocketControl(13)->leftTwips() - left / 2) < 1e-6);
        trigger(*s.window, QStringLiteral("mnuPage_PreviousPage"));
        QCOMPARE(s.window->spineControl(7)->zoomFactor(), 50);
        QCOMPARE(checkedZoomItems(*s.window), QList<int>{2});
        LM_VERIFY_DIALOGS(s.dialogs);
    }
    void layoutForAnotherTypeFailsAndRecoversOnce() {
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
    // At 30% the labels keep their size and stand out of the smaller sheet.
    void pageViewGrowsToHoldTheZoomedPage() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        QWidget* page = s.window->findChild<QWidget*>(QStringLiteral("page"));
        QVERIFY(page);
        LabelControl* last = s.window->spineControl(41);
        for (int zoom : {200, 30}) {
            QVERIFY(s.window->ViewZoom(zoom));
            QVERIFY(page->rect().contains(last->geometry()));
            QVERIFY(page->width() >= s.window->sheet()->width());
            QVERIFY(page->height() >= s.window->sheet()->height());
            QCOMPARE(s.window->sheet()->width(), pixelsX(*last, 12240 * zoom / 100.0));
        }
    }
};

QTEST_MAIN(TestViewZoom)
#include "tst_viewzoom.moc"

// The ML, PP and NP buttons sit at the right end of the button bar: at any
// width the window takes they stay against the right edge and clear of the
// bar's own buttons.
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/clientarea.h"
#include "platform/buttonbar.h"
#include "platform/twips.h"

class TestToolbarLayout : public QObject {
    Q_OBJECT
  private slots:
    void pageButtonsClearTheBar_data() {
        QTest::addColumn<int>("widthTwips");
        QTest::newRow("wide") << 20000;
        QTest::newRow("as the window opens") << 7740;
        QTest::newRow("narrow") << 5000;
        QTest::newRow("narrower than the bar") << 1500;
    }
    void pageButtonsClearTheBar() {
        QFETCH(int, widthTwips);
        lm::ClientArea area;
        auto px = [&](double twips) { return lm::twipsToPixels(twips, area.logicalDpiX()); };
        area.resize(px(widthTwips), 600);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        // The window opens at the width the page layout gives it.
        QVERIFY(area.minimumWidth() <= px(7740));
        const int width = area.width();
        QCOMPARE(width, std::max(px(widthTwips), area.minimumWidth()));

        auto* multiple = area.findChild<QPushButton*>(QStringLiteral("Command3"));
        auto* next = area.findChild<QPushButton*>(QStringLiteral("Command1"));
        QCOMPARE(next->geometry().left(), width - px(550));
        int barRight = 0;
        for (QWidget* child :
             area.buttonBar()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!child->isVisible()) continue;
            const QRect onArea(child->mapTo(&area, QPoint(0, 0)), child->size());
            barRight = std::max(barRight, onArea.right());
        }
        QVERIFY2(barRight < multiple->geometry().left(),
                 qPrintable(QStringLiteral("bar ends at %1, ML starts at %2 of %3")
                                .arg(barRight)
                                .arg(multiple->geometry().left())
                                .arg(width)));
    }
};

QTEST_MAIN(TestToolbarLayout)
#include "tst_toolbarlayout.moc"

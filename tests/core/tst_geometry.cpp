#include <QTest>

#include "core/labeltypes.h"
#include "core/pagegeometry.h"

class TestGeometry : public QObject {
    Q_OBJECT
  private slots:
    void everyTypeHasOneControlPerLabel() {
        for (int type = lm::kFirstLabelType; type <= lm::kLastLabelType; ++type) {
            const lm::LabelTypeInfo* info = lm::labelTypeInfo(type);
            lm::PageGeometry page =
                lm::pageGeometry(type, info->defaultTopMargin, info->defaultLeftMargin);
            QCOMPARE(page.lastSpineIndex - 1, info->setsPerPage);
            QCOMPARE(page.lastPocketIndex - 1, info->setsPerPage * info->pocketsPerSet);
            QCOMPARE(int(page.placements.size()), page.lastSpineIndex + page.lastPocketIndex - 2);
            for (int n = 2; n <= page.lastSpineIndex; ++n) QVERIFY(page.spine(n));
            for (int n = 2; n <= page.lastPocketIndex; ++n) QVERIFY(page.pocket(n));
        }
    }
    void placements_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("pocket");
        QTest::addColumn<int>("number");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        // sp1 with its default margins: one column pitch 1386, one row pitch 3015.
        QTest::newRow("sp1 second") << 1 << false << 3 << 2026.0 << 920.0 << 1290 << 2340;
        QTest::newRow("sp1 last") << 1 << false << 41 << 640.0 + 7 * 1386 << 920.0 + 4 * 3015
                                  << 1290 << 2340;
        // sl6: pockets at (+1386, 0) and (+1386, +1900); rows 4520 apart.
        QTest::newRow("sl6 pocket 1") << 4 << true << 2 << 2076.0 << 1685.0 << 4032 << 1900;
        QTest::newRow("sl6 pocket 2") << 4 << true << 3 << 2076.0 << 3585.0 << 4032 << 1900;
        QTest::newRow("sl6 row three") << 4 << false << 6 << 690.0 << 10725.0 << 1296 << 2250;
        QTest::newRow("slb pocket") << 5 << true << 2 << 2076.0 << 890.0 << 4032 << 1296;
        QTest::newRow("slb2 pocket") << 6 << true << 2 << 2376.0 + 3456 << 1382.0 << 4032 << 1296;
        QTest::newRow("spa sixth") << 7 << false << 7 << 380.0 << 890.0 + 1440 << 2160 << 1440;
        QTest::newRow("f2 ninth") << 8 << false << 10 << 390.0 << 690.0 + 2160 << 1440 << 2160;
        QTest::newRow("f3 second") << 10 << false << 3 << 860.0 + 1800 << 1140.0 << 1620 << 2160;
    }
    void placements() {
        QFETCH(int, type);
        QFETCH(bool, pocket);
        QFETCH(int, number);
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(int, width);
        QFETCH(int, height);
        const lm::LabelTypeInfo* info = lm::labelTypeInfo(type);
        lm::PageGeometry page =
            lm::pageGeometry(type, info->defaultTopMargin, info->defaultLeftMargin);
        const lm::LabelPlacement* p = pocket ? page.pocket(number) : page.spine(number);
        QVERIFY(p);
        QCOMPARE(p->left, left);
        QCOMPARE(p->top, top);
        QCOMPARE(p->width, width);
        QCOMPARE(p->height, height);
    }
    void fractionalRowPitchAccumulates() {
        for (int type : {lm::kSl4, lm::kSlb}) {
            lm::PageGeometry page = lm::pageGeometry(type, 827, 710);
            // Set 9 opens the fifth row: 4 x 3002.4 below the first, fraction kept.
            const lm::LabelPlacement* fifthRow = page.spine(10);
            QVERIFY(fifthRow);
            QVERIFY(qAbs(fifthRow->top - (827 + 12009.6)) < 1e-6);
            QVERIFY(qAbs(page.spine(4)->top - (827 + 3002.4)) < 1e-6);
        }
    }
    void mailerForm() {
        lm::PageGeometry page = lm::pageGeometry(lm::kMailer1, 1090, 360);
        QCOMPARE(page.sheetWidth, 12960);
        QCOMPARE(page.sheetHeight, 7920);
        // Created in this order: first pocket, spine, second pocket.
        QCOMPARE(int(page.placements.size()), 3);
        QCOMPARE(&page.placements[0], page.pocket(2));
        QCOMPARE(&page.placements[1], page.spine(2));
        QCOMPARE(&page.placements[2], page.pocket(3));
        QCOMPARE(page.pocket(2)->top, 1090.0);
        QCOMPARE(page.spine(2)->top, 1090.0 + 1620);
        QCOMPARE(page.pocket(3)->top, 1090.0 + 1620 + 3780);
        QCOMPARE(page.pocket(2)->width, 7740);
        QCOMPARE(page.spine(2)->height, 3780);
        QCOMPARE(page.pocket(3)->height, 1530);
        for (const lm::LabelPlacement& p : page.placements) QCOMPARE(p.left, 360.0);
    }
    void unknownTypeHasNoControls() {
        for (int type : {0, 11, -3}) {
            lm::PageGeometry page = lm::pageGeometry(type, 920, 640);
            QVERIFY(page.placements.empty());
            QCOMPARE(page.lastSpineIndex, 1);
            QCOMPARE(page.lastPocketIndex, 1);
            QVERIFY(!lm::labelTypeInfo(type));
            QCOMPARE(lm::labelTypeName(type), std::string());
        }
    }
};

QTEST_APPLESS_MAIN(TestGeometry)
#include "tst_geometry.moc"

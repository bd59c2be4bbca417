#include <QTest>

#include "core/labeltypes.h"
#include "core/selection.h"

using Ints = std::vector<int>;
Q_DECLARE_METATYPE(Ints)

class TestSelection : public QObject {
    Q_OBJECT
  private slots:
    void decodeSelectedLabel_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<int>("selectedLabel");
        QTest::addColumn<int>("setPosition");  // 0 = nothing selected
        QTest::addColumn<Ints>("spine");
        QTest::addColumn<Ints>("pocket");

        QTest::newRow("none") << int(lm::kSp1) << 0 << 0 << Ints{} << Ints{};
        QTest::newRow("sp1 spine 42 is no label") << int(lm::kSp1) << 42 << 0 << Ints{} << Ints{};
        QTest::newRow("sp1 template") << int(lm::kSp1) << 1 << 0 << Ints{} << Ints{};
        QTest::newRow("sp2 spine 6") << int(lm::kSp2) << 6 << 4 << Ints{6, 7} << Ints{};
        QTest::newRow("sp2 spine 41") << int(lm::kSp2) << 41 << 21 << Ints{40, 41} << Ints{};
        QTest::newRow("sl4 pocket 5") << int(lm::kSl4) << 45 << 3 << Ints{3} << Ints{4, 5};
        QTest::newRow("sl4 pocket 22 is no label") << int(lm::kSl4) << 62 << 0 << Ints{} << Ints{};
        QTest::newRow("Mailer-1 pocket 3") << int(lm::kMailer1) << 43 << 2 << Ints{2} << Ints{2, 3};
    }
    void decodeSelectedLabel() {
        QFETCH(int, labelType);
        QFETCH(int, selectedLabel);
        QFETCH(int, setPosition);
        QFETCH(Ints, spine);
        QFETCH(Ints, pocket);
        std::optional<lm::SelectedSet> selected = lm::decodeSelectedLabel(labelType, selectedLabel);
        QCOMPARE(selected.has_value(), setPosition != 0);
        if (!selected) return;
        QCOMPARE(selected->setPosition, setPosition);
        QCOMPARE(selected->controls.spine, spine);
        QCOMPARE(selected->controls.pocket, pocket);
    }
    void everyControlBelongsToTheSetThatHoldsIt() {
        // Selecting any control of a set selects that set, for every type.
        for (int t = lm::kFirstLabelType; t <= lm::kLastLabelType; ++t) {
            const lm::LabelTypeInfo* type = lm::labelTypeInfo(t);
            int spines = 0;
            int pockets = 0;
            for (int k = 2; k <= type->lastSetPosition(); ++k) {
                lm::SetControls controls = lm::controlsOfSet(t, k);
                spines += int(controls.spine.size());
                pockets += int(controls.pocket.size());
                for (int s : controls.spine)
                    QCOMPARE(lm::decodeSelectedLabel(t, s)->setPosition, k);
                for (int p : controls.pocket)
                    QCOMPARE(lm::decodeSelectedLabel(t, p + 40)->setPosition, k);
            }
            QCOMPARE(spines, type->setsPerPage);
            QCOMPARE(pockets, type->setsPerPage * type->pocketsPerSet);
        }
    }
};

QTEST_APPLESS_MAIN(TestSelection)
#include "tst_selection.moc"

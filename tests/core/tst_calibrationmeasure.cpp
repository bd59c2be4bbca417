// Working out a printer's calibration from the two crosshairs the operator
// measured: the arithmetic, both units, and the limits that refuse a
// measurement with what was measured and what was expected.

#include <QtTest>
#include <string>

#include "core/calibrationmeasure.h"

Q_DECLARE_METATYPE(std::string)

namespace {

// sp1 with its default margins: the first label's top-left corner and the
// last label's bottom-right corner.
const lm::CrosshairPair kMeant{640, 920, 640 + 7 * 1386 + 1290, 920 + 4 * 3015 + 2340};

// Where a printer with this calibration puts the crosshairs, in `unit`.
lm::CrosshairPair printed(double offsetXmm, double offsetYmm, double scaleX, double scaleY,
                          lm::LengthUnit unit) {
    auto at = [unit](double offsetMm, double scale, double p) {
        const double twips = lm::twipsFromMillimetres(offsetMm) + scale * p;
        return lm::lengthFromTwips(twips, unit);
    };
    return {at(offsetXmm, scaleX, kMeant.x1), at(offsetYmm, scaleY, kMeant.y1),
            at(offsetXmm, scaleX, kMeant.x2), at(offsetYmm, scaleY, kMeant.y2)};
}

lm::CrosshairPair inTwips(const lm::CrosshairPair& p, lm::LengthUnit unit) {
    return {lm::twipsFromLength(p.x1, unit), lm::twipsFromLength(p.y1, unit),
            lm::twipsFromLength(p.x2, unit), lm::twipsFromLength(p.y2, unit)};
}

}  // namespace

class TestCalibrationMeasure : public QObject {
    Q_OBJECT
  private slots:
    void measurementsGiveTheCalibration_data() {
        QTest::addColumn<double>("offsetXmm");
        QTest::addColumn<double>("offsetYmm");
        QTest::addColumn<double>("scaleX");
        QTest::addColumn<double>("scaleY");
        QTest::addColumn<bool>("inches");
        QTest::newRow("a true printer") << 0.0 << 0.0 << 1.0 << 1.0 << false;
        QTest::newRow("+1.5, -0.8 mm, 1.01") << 1.5 << -0.8 << 1.01 << 1.01 << false;
        QTest::newRow("the same in inches") << 1.5 << -0.8 << 1.01 << 1.01 << true;
        QTest::newRow("x and y apart") << -4.0 << 6.5 << 0.98 << 1.03 << false;
        QTest::newRow("at the limits") << 10.0 << -10.0 << 0.95 << 1.05 << false;
    }
    void measurementsGiveTheCalibration() {
        QFETCH(double, offsetXmm);
        QFETCH(double, offsetYmm);
        QFETCH(double, scaleX);
        QFETCH(double, scaleY);
        QFETCH(bool, inches);
        const lm::LengthUnit unit = inches ? lm::LengthUnit::Inch : lm::LengthUnit::Millimetre;
        const lm::CrosshairPair measured = printed(offsetXmm, offsetYmm, scaleX, scaleY, unit);
        const lm::CalibrationOutcome outcome =
            lm::measureCalibration(kMeant, inTwips(measured, unit), unit);
        QVERIFY2(outcome.calibration, outcome.refusal.c_str());
        QVERIFY(outcome.refusal.empty());
        const lm::PrintCalibration& c = *outcome.calibration;
        QVERIFY(qAbs(lm::millimetresFromTwips(c.offsetX) - offsetXmm) < 1e-6);
        QVERIFY(qAbs(lm::millimetresFromTwips(c.offsetY) - offsetYmm) < 1e-6);
        QVERIFY(qAbs(c.scaleX - scaleX) < 1e-9);
        QVERIFY(qAbs(c.scaleY - scaleY) < 1e-9);
    }
    void measurementsOutsideTheLimits_data() {
        QTest::addColumn<double>("offsetXmm");
        QTest::addColumn<double>("offsetYmm");
        QTest::addColumn<double>("scaleX");
        QTest::addColumn<double>("scaleY");
        QTest::addColumn<std::string>("problem");
        QTest::newRow("x scale too small")
            << 0.0 << 0.0 << 0.94 << 1.0 << std::string("the x scale is 0.9400");
        QTest::newRow("y scale too large")
            << 0.0 << 0.0 << 1.0 << 1.06 << std::string("the y scale is 1.0600");
        QTest::newRow("x offset too far right")
            << 10.2 << 0.0 << 1.0 << 1.0 << std::string("the x offset is +10.20 mm");
        QTest::newRow("y offset too far up")
            << 0.0 << -10.5 << 1.0 << 1.0 << std::string("the y offset is -10.50 mm");
        // The crosshairs read in the wrong order: the scale turns negative.
        QTest::newRow("crosshairs swapped")
            << 0.0 << 0.0 << -1.0 << 1.0 << std::string("the x scale is -1.0000");
    }
    void measurementsOutsideTheLimits() {
        QFETCH(double, offsetXmm);
        QFETCH(double, offsetYmm);
        QFETCH(double, scaleX);
        QFETCH(double, scaleY);
        QFETCH(std::string, problem);
        const lm::LengthUnit mm = lm::LengthUnit::Millimetre;
        const lm::CalibrationOutcome outcome = lm::measureCalibration(
            kMeant, inTwips(printed(offsetXmm, offsetYmm, scaleX, scaleY, mm), mm), mm);
        QVERIFY(!outcome.calibration);
        QVERIFY2(outcome.refusal.find(problem) != std::string::npos, outcome.refusal.c_str());
    }
    void refusalSaysWhatWasMeasuredAndExpected() {
        const lm::LengthUnit mm = lm::LengthUnit::Millimetre;
        const lm::CrosshairPair measured = inTwips({12, 15, 200, 250}, mm);
        const lm::CalibrationOutcome outcome = lm::measureCalibration(kMeant, measured, mm);
        QVERIFY(!outcome.calibration);
        QCOMPARE(
            outcome.refusal,
            std::string("These measurements cannot be right: the y scale is 0.9252 (0.95 to "
                        "1.05 allowed).\n\nMeasured: first crosshair at 12.0, 15.0 mm, last at "
                        "200.0, 250.0 mm.\nExpected: first crosshair at 11.3, 16.2 mm, last at "
                        "205.2, 270.2 mm.\n\nMeasure again from the paper's top-left edge; "
                        "nothing was stored."));
        const lm::LengthUnit in = lm::LengthUnit::Inch;
        const lm::CalibrationOutcome inches =
            lm::measureCalibration(kMeant, inTwips({0, 0, 9, 9}, in), in);
        QVERIFY2(inches.refusal.find(
                     "Expected: first crosshair at 0.44, 0.64 in, last at 8.08, 10.64 in.") !=
                     std::string::npos,
                 inches.refusal.c_str());
    }
};

QTEST_APPLESS_MAIN(TestCalibrationMeasure)
#include "tst_calibrationmeasure.moc"

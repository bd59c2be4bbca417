#pragma once

#include <optional>
#include <string>

#include "core/printcalibration.h"

namespace lm {

// The unit the operator's ruler reads.
enum class LengthUnit { Millimetre, Inch };

double twipsFromLength(double value, LengthUnit unit);
double lengthFromTwips(double twips, LengthUnit unit);
double millimetresFromTwips(double twips);
double twipsFromMillimetres(double millimetres);

// "mm" or "in".
const char* unitName(LengthUnit unit);
std::optional<LengthUnit> unitFromName(const std::string& name);

// Two points of the calibration sheet, twips from the paper's top-left
// corner: where they are meant (the crosshairs' places on the sheet) or
// where the printer put them (the operator's measurements).
struct CrosshairPair {
    double x1 = 0, y1 = 0;  // the first label's top-left corner
    double x2 = 0, y2 = 0;  // the last label's bottom-right corner
};

// A printer further off than this is misfed or misconfigured, not something
// a correction should hide; and a measurement this far off is more likely
// a misread ruler than the printer's doing.
inline constexpr double kMinCalibrationScale = 0.95;
inline constexpr double kMaxCalibrationScale = 1.05;
inline constexpr double kMaxCalibrationOffsetMm = 10.0;

// Empty when `calibration` lies within the limits; otherwise why not, e.g.
// "the scale down is 1.062 (0.95 to 1.05 allowed)".
std::string calibrationLimitProblem(const PrintCalibration& calibration);

// The calibration, or the reason it is refused.
struct CalibrationOutcome {
    std::optional<PrintCalibration> calibration;
    std::string refusal;  // empty when calibration holds a value
};

// From crosshairs meant at `meant` and measured at `measured`: for each axis
// scale = (M2 - M1) / (P2 - P1) and offset = M1 - scale * P1. Values outside
// the limits are refused with a message that says what was measured and what
// was expected, in `unit`.
CalibrationOutcome measureCalibration(const CrosshairPair& meant, const CrosshairPair& measured,
                                      LengthUnit unit);

// "offset across +1.50 mm, down -0.80 mm; scale across 1.0100, down 1.0100".
std::string describeCalibration(const PrintCalibration& calibration);

}  // namespace lm

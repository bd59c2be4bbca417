#include "core/calibrationmeasure.h"

#include <cmath>
#include <cstdio>

namespace lm {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kMillimetresPerInch = 25.4;

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Lengths as the operator reads them off the ruler: 0.1 mm, 0.01 in.
std::string length(double twips, LengthUnit unit) {
    return formatted(unit == LengthUnit::Inch ? "%.2f" : "%.1f", lengthFromTwips(twips, unit));
}

std::string pair(const CrosshairPair& p, LengthUnit unit) {
    const std::string u = std::string(" ") + unitName(unit);
    return "first crosshair at " + length(p.x1, unit) + ", " + length(p.y1, unit) + u +
           ", last at " + length(p.x2, unit) + ", " + length(p.y2, unit) + u;
}

bool withinScale(double scale) {
    return scale >= kMinCalibrationScale && scale <= kMaxCalibrationScale;
}

// An offset at the limit, stored in millimetres and read back into twips,
// may come back a rounding error beyond it; it must still be accepted.
bool withinOffset(double twips) {
    return std::fabs(millimetresFromTwips(twips)) <= kMaxCalibrationOffsetMm + 1e-9;
}

}  // namespace

double twipsFromLength(double value, LengthUnit unit) {
    return unit == LengthUnit::Inch ? value * kTwipsPerInch : twipsFromMillimetres(value);
}

double lengthFromTwips(double twips, LengthUnit unit) {
    return unit == LengthUnit::Inch ? twips / kTwipsPerInch : millimetresFromTwips(twips);
}

double millimetresFromTwips(double twips) {
    return twips * kMillimetresPerInch / kTwipsPerInch;
}

double twipsFromMillimetres(double millimetres) {
    return millimetres * kTwipsPerInch / kMillimetresPerInch;
}

const char* unitName(LengthUnit unit) {
    return unit == LengthUnit::Inch ? "in" : "mm";
}

std::optional<LengthUnit> unitFromName(const std::string& name) {
    if (name == "mm") return LengthUnit::Millimetre;
    if (name == "in") return LengthUnit::Inch;
    return std::nullopt;
}

std::string calibrationLimitProblem(const PrintCalibration& c) {
    const std::string scales = " (0.95 to 1.05 allowed)";
    const std::string offsets = " (-10.0 to +10.0 mm allowed)";
    // NaN fails every comparison, so it is refused too.
    if (!withinScale(c.scaleX)) return "the x scale is " + formatted("%.4f", c.scaleX) + scales;
    if (!withinScale(c.scaleY)) return "the y scale is " + formatted("%.4f", c.scaleY) + scales;
    if (!withinOffset(c.offsetX))
        return "the x offset is " + formatted("%+.2f", millimetresFromTwips(c.offsetX)) + " mm" +
               offsets;
    if (!withinOffset(c.offsetY))
        return "the y offset is " + formatted("%+.2f", millimetresFromTwips(c.offsetY)) + " mm" +
               offsets;
    return {};
}

CalibrationOutcome measureCalibration(const CrosshairPair& meant, const CrosshairPair& measured,
                                      LengthUnit unit) {
    CalibrationOutcome outcome;
    PrintCalibration c;
    // The sheet's crosshairs are far apart on both axes; equal ones would
    // leave the scale undefined, which the limits then refuse as NaN.
    c.scaleX = (measured.x2 - measured.x1) / (meant.x2 - meant.x1);
    c.scaleY = (measured.y2 - measured.y1) / (meant.y2 - meant.y1);
    c.offsetX = measured.x1 - c.scaleX * meant.x1;
    c.offsetY = measured.y1 - c.scaleY * meant.y1;
    const std::string problem = calibrationLimitProblem(c);
    if (problem.empty()) {
        outcome.calibration = c;
        return outcome;
    }
    outcome.refusal = "These measurements cannot be right: " + problem +
                      ".\n\nMeasured: " + pair(measured, unit) +
                      ".\nExpected: " + pair(meant, unit) +
                      ".\n\nMeasure again from the paper's top-left edge; nothing was stored.";
    return outcome;
}

std::string describeCalibration(const PrintCalibration& c) {
    return "offset x " + formatted("%+.2f", millimetresFromTwips(c.offsetX)) + " mm, y " +
           formatted("%+.2f", millimetresFromTwips(c.offsetY)) + " mm; scale x " +
           formatted("%.4f", c.scaleX) + ", y " + formatted("%.4f", c.scaleY);
}

}  // namespace lm

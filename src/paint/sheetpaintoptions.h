#pragma once

#include "core/printcalibration.h"

namespace lm {

// What a print adds to the labels themselves, for one job.
struct SheetPaintOptions {
    // Every label box drawn as a thin outline: a test print on plain paper,
    // held over a label sheet against the light.
    bool outlines = false;
    // The calibration sheet's marks: a crosshair at the first label's
    // top-left corner and one at the last label's bottom-right corner, and
    // the instructions for measuring them.
    bool calibrationMarks = false;
    // The printer's correction: every point P is drawn at
    // (P - offset) / scale, so that the printer puts it at P.
    PrintCalibration calibration;
};

}  // namespace lm

#pragma once

#include "core/calibrationmeasure.h"

class QPainter;

namespace lm {

struct LabelSheet;
struct Settings;
struct SheetPaintOptions;

// Where the calibration sheet's two crosshairs are meant, twips from the
// paper's top-left corner: the top-left corner of the first label and the
// bottom-right corner of the last, as the sheet prints them (the vertical
// correction applied). These are the corners of the area all labels cover,
// which on every sheet belong to its first and its last label.
CrosshairPair calibrationCrosshairs(const LabelSheet& sheet);

// Draws the crosshairs and the instructions for measuring them onto a
// painter that paintSheet has set up in the sheet's twips (the vertical
// correction applied).
void paintCalibrationMarks(QPainter& painter, const LabelSheet& sheet);

// The sheet to measure for `labelType`: its label boxes without texts. It is
// printed with outlines and marks (calibrationSheetOptions) and without any
// calibration, since the measurement is of the printer as it is.
LabelSheet calibrationSheet(const Settings& settings, int labelType);
SheetPaintOptions calibrationSheetOptions();

}  // namespace lm

#pragma once

#include "paint/sheetpaintoptions.h"

class QPainter;

namespace lm {

struct LabelSheet;

// Prints one sheet: every spine label, then every pocket label, each with its
// font, alignment and inner margins, clipped to its own box. Positions are
// twips from the painter's origin, converted with the device's resolution,
// minus the sheet's vertical correction. The origin is the printable area's
// top-left corner on a printer (QPrinter without fullPage) and the page's
// corner on a PDF writer or an image. The painter's state is left as it was.
// `options` adds the outlines of the label boxes and the printer's
// calibration, which moves everything, outlines included.
void paintSheet(QPainter& painter, const LabelSheet& sheet, const SheetPaintOptions& options = {});

}  // namespace lm

#pragma once

#include "core/result.h"

namespace lm {

class PrintJob;
class WindowContext;
struct LabelSheet;

// The page on display as one sheet: every spine label control 2 ..
// LastSpineIndex, then every pocket control, empty ones included, each with
// the text it shows, at its position and size, with its font, alignment and
// inner margins, and the vertical correction of the LabelType. Positions are
// the controls' own, so the page must be laid out at zoom 100.
LabelSheet controlSheet(WindowContext& window);

// Prints the page on display, laid out at zoom 100, as one sheet of `job`.
Status PrintingPro(WindowContext& window, PrintJob& job);

}  // namespace lm

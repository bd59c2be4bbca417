#pragma once

namespace lm {

class LabelArrays;
struct AppState;

// Places every label of the current LabelType at its page position times
// zoom/100 and draws its text at that zoom; sizes stay. The positions are the
// unscaled running positions of the type's grid from the settings' margins,
// each multiplied by the zoom. Returns false, having moved what it could, when
// a label the type needs does not exist.
bool layOutLabels(const AppState& state, const LabelArrays& labels, int zoomPercent);

}  // namespace lm

#pragma once

class QWidget;

namespace lm {

class LabelArrays;
struct AppState;
struct PageGeometry;

// Start-up's page: the two hidden templates (spine and pocket element 1) with
// the settings' fonts and alignment, then one label control per position of
// the settings' label type, each made from its template and placed at its
// page position at zoom 100. Sets LastSpineIndex and LastPocketIndex. A type
// outside 1 to 10 gets the templates only.
void buildPage(AppState& state, QWidget* canvas, LabelArrays& labels);

}  // namespace lm

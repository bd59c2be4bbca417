#include "app/pagelayout.h"

#include "app/appstate.h"
#include "app/labelarrays.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "platform/labelcontrol.h"

namespace lm {

bool layOutLabels(const AppState& state, const LabelArrays& labels, int zoomPercent) {
    int type = state.LabelType();
    if (!labelTypeInfo(type)) return true;  // a type outside 1 to 10 has no labels to place
    const Settings& settings = state.settings;
    PageGeometry geometry = pageGeometry(type, settings.PageTopMargin, settings.PageLeftMargin);
    double z = zoomPercent / 100.0;
    bool complete = true;
    for (const LabelPlacement& place : geometry.placements) {
        LabelControl* control =
            place.pocket ? labels.pocket(place.number) : labels.spine(place.number);
        if (!control) {
            complete = false;
            continue;
        }
        control->setZoomFactor(zoomPercent);
        control->moveTwips(place.left * z, place.top * z);
    }
    return complete;
}

}  // namespace lm

#include "app/pagebuilder.h"

#include <algorithm>

#include "app/appstate.h"
#include "app/labelarrays.h"
#include "app/labelnames.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "platform/labelcontrol.h"
#include "platform/windowevents.h"

namespace lm {
namespace {

LabelControl* makeTemplate(LabelControl::Kind kind, const Settings& settings, QWidget* canvas) {
    auto* control = new LabelControl(kind, 1, canvas);
    bool spine = kind == LabelControl::Kind::Spine;
    control->setLabelFont(spine ? spineFontFromSettings(settings)
                                : pocketFontFromSettings(settings));
    control->setLabelAlignment(settings.LabelAlignment);
    if (spine) {
        control->resizeTwips(kSpineTemplateWidth, kSpineTemplateHeight);
        control->setInnerMargins(
            {kSpineInnerMargin, kSpineInnerMargin, kSpineInnerMargin, kSpineInnerMargin});
    } else {
        control->resizeTwips(kPocketTemplateWidth, kPocketTemplateHeight);
    }
    control->hide();
    return control;
}

}  // namespace

void buildPage(AppState& state, QWidget* canvas, LabelArrays& labels) {
    const Settings& settings = state.settings;
    LabelControl* spineTemplate = makeTemplate(LabelControl::Kind::Spine, settings, canvas);
    LabelControl* pocketTemplate = makeTemplate(LabelControl::Kind::Pocket, settings, canvas);
    labels.add(spineTemplate);
    labels.add(pocketTemplate);

    int type = settings.LabelType;
    const LabelTypeInfo* info = labelTypeInfo(type);
    PageGeometry geometry = pageGeometry(type, settings.PageTopMargin, settings.PageLeftMargin);
    if (const LabelPlacement* first = geometry.spine(2); first && type != kMailer1)
        spineTemplate->resizeTwips(first->width, first->height);
    if (const LabelPlacement* first = geometry.pocket(2); first && type != kMailer1)
        pocketTemplate->resizeTwips(first->width, first->height);

    state.LastSpineIndex = 1;
    state.LastPocketIndex = 1;
    for (const LabelPlacement& place : geometry.placements) {
        LabelControl* templ = place.pocket ? pocketTemplate : spineTemplate;
        auto* control = new LabelControl(templ->kind(), place.number, canvas);
        control->copyFormatFrom(*templ);
        control->setLabelAlignment(settings.LabelAlignment);
        control->moveTwips(place.left, place.top);
        if (type == kMailer1) {
            control->setInnerLeftMargin(kMailerInnerLeftMargin);
        } else {
            control->setInnerLeftMargin(place.pocket ? settings.PocketLeftMargin
                                                     : settings.SpineLeftMargin);
        }
        control->resizeTwips(place.width, place.height);
        control->show();
        control->raise();
        labels.add(control);
        if (place.pocket) {
            state.LastPocketIndex = std::max(state.LastPocketIndex, place.number);
        } else {
            state.LastSpineIndex = std::max(state.LastSpineIndex, place.number);
        }
        // Keeps the splash painted while the larger sets are made.
        if (info && info->hasPockets()) letWindowEventsRun();
    }
    nameLabels(labels, type, geometry);
}

}  // namespace lm

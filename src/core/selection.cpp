#include "core/selection.h"

#include "core/labeltypes.h"
#include "core/pagegeometry.h"

namespace lm {
namespace {

constexpr int kPocketOffset = 40;

int setOfSpineControl(const LabelTypeInfo& info, int spine) {
    if (info.index == kMailer1) return 2;
    if (info.pairsSpines()) return spine / 2 + 1;
    return spine;
}

int setOfPocketControl(const LabelTypeInfo& info, int pocket) {
    if (info.index == kMailer1) return 2;
    if (info.pocketsPerSet == 2) return pocket / 2 + 1;
    return pocket;
}

}  // namespace

SetControls controlsOfSet(int labelType, int setPosition) {
    SetControls controls;
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    if (!info || setPosition < 2 || setPosition > info->lastSetPosition()) return controls;
    const int k = setPosition;
    if (info->pairsSpines()) {
        controls.spine = {2 * k - 2, 2 * k - 1};
    } else {
        controls.spine = {k};
    }
    if (info->pocketsPerSet == 2) {
        controls.pocket = {2 * k - 2, 2 * k - 1};
    } else if (info->pocketsPerSet == 1) {
        controls.pocket = {k};
    }
    return controls;
}

std::optional<SelectedSet> decodeSelectedLabel(int labelType, int SelectedLabel) {
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    if (!info || SelectedLabel == 0) return std::nullopt;
    PageGeometry page = pageGeometry(labelType, 0, 0);
    SelectedSet selected;
    // Spine-only types have no pocket controls, so every value names a spine
    // control there, however large.
    if (info->hasPockets() && SelectedLabel >= kPocketOffset) {
        selected.pocket = true;
        selected.control = SelectedLabel - kPocketOffset;
        if (selected.control < 2 || selected.control > page.lastPocketIndex) return std::nullopt;
        selected.setPosition = setOfPocketControl(*info, selected.control);
    } else {
        selected.control = SelectedLabel;
        if (selected.control < 2 || selected.control > page.lastSpineIndex) return std::nullopt;
        selected.setPosition = setOfSpineControl(*info, selected.control);
    }
    selected.controls = controlsOfSet(labelType, selected.setPosition);
    return selected;
}

}  // namespace lm

#include "core/labeltypechoice.h"

#include "core/labeltypes.h"

namespace lm {

bool applyLabelTypeChoice(Settings& settings, int labelType) {
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    if (!info) return false;
    settings.LabelType = labelType;
    settings.PageTopMargin = info->defaultTopMargin;
    settings.PageLeftMargin = info->defaultLeftMargin;
    settings.SpineFontSize = info->spineFontSize;
    settings.SpineLeftMargin = kDefaultSpineLeftMargin;
    settings.PocketLeftMargin = kDefaultPocketLeftMargin;
    return true;
}

}  // namespace lm

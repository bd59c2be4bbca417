#include "core/startposition.h"

#include "core/labeltypes.h"

namespace lm {

int startPositionCount(int labelType) {
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    return info ? info->setsPerPage : 0;
}

std::string startPositionProblem(int labelType, int position) {
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    if (!info) return "label type " + std::to_string(labelType) + " is not 1 to 10";
    if (info->setsPerPage == 1 && position != 1)
        return std::string(info->name) +
               " has one label set a sheet, so printing always starts at label 1";
    if (position < 1 || position > info->setsPerPage)
        return std::string("a sheet of ") + info->name + " holds labels 1 to " +
               std::to_string(info->setsPerPage);
    return {};
}

SetElements setElements(int labelType, int position) {
    SetElements set;
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    if (!info || position < 1 || position > info->setsPerPage) return set;
    if (labelType == kMailer1) {
        // One spine label between its two pockets.
        return {2, {2, 3}};
    }
    set.spine = position + 1;
    for (int j = 0; j < info->pocketsPerSet; ++j)
        set.pockets.push_back(2 + (position - 1) * info->pocketsPerSet + j);
    return set;
}

}  // namespace lm

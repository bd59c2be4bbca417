#include "core/droppedsets.h"

#include "core/editrequest.h"
#include "core/labelset.h"
#include "core/labeltypes.h"

namespace lm {
namespace {

// Calls `visit(setPosition, texts)` for every set the save leaves out for
// its empty spine text.
template <class Visit>
void forEachLeftOut(const LabelPage& page, int labelType, const EditRequest& edit, Visit visit) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return;
    for (int k = 2; k <= type->lastSetPosition(); ++k) {
        if (edit.deletesSet() && k == edit.SelectedSetIndex) continue;
        const LabelSetTexts texts = labelSetTextsAt(page, *type, k);
        if (texts.s1.empty()) visit(k, texts);
    }
}

}  // namespace

std::vector<int> setsLosingTexts(const LabelPage& page, int labelType, const EditRequest& edit) {
    std::vector<int> sets;
    forEachLeftOut(page, labelType, edit, [&sets](int position, const LabelSetTexts& texts) {
        if (!texts.s2.empty() || !texts.p1.empty() || !texts.p2.empty())
            sets.push_back(position - 1);
    });
    return sets;
}

bool leavesOutSets(const LabelPage& page, int labelType, const EditRequest& edit) {
    bool any = false;
    forEachLeftOut(page, labelType, edit, [&any](int, const LabelSetTexts&) { any = true; });
    return any;
}

}  // namespace lm

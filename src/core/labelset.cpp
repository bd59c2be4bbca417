#include "core/labelset.h"

#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/selection.h"

namespace lm {

LabelSetTexts labelSetTextsAt(const LabelPage& page, const LabelTypeInfo& type, int setPosition) {
    SetControls controls = controlsOfSet(type.index, setPosition);
    LabelSetTexts set;
    if (controls.spine.size() > 0) set.s1 = page.spineText(controls.spine[0]);
    if (controls.spine.size() > 1) set.s2 = page.spineText(controls.spine[1]);
    if (controls.pocket.size() > 0) set.p1 = page.pocketText(controls.pocket[0]);
    if (controls.pocket.size() > 1) set.p2 = page.pocketText(controls.pocket[1]);
    return set;
}

void appendLabelSet(std::string& out, const LabelTypeInfo& type, const LabelSetTexts& set) {
    out += set.s1;
    out += kTextTerminator;
    if (type.pairsSpines()) {
        out += set.s2;
        out += kTextTerminator;
    }
    if (type.pocketsPerSet >= 1) {
        out += set.p1;
        out += kTextTerminator;
    }
    if (type.pocketsPerSet >= 2) {
        out += set.p2;
        out += kTextTerminator;
    }
}

int textsPerSetPosition(const LabelTypeInfo& type) {
    return type.spineTextsPerSetPosition() + type.pocketsPerSet;
}

}  // namespace lm

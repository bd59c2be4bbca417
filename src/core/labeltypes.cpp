#include "core/labeltypes.h"

namespace lm {
namespace {

// slb2 refuses more than 7 blank sets, one less than its 8 sets per page,
// the rule every other grid type follows.
constexpr LabelTypeInfo kLabelTypes[] = {
    {kSp1, "sp1", "sp&1", 40, 0, 920, 640, 11, 40, 39, 0},
    {kSp2, "sp2", "sp&2", 40, 0, 920, 640, 11, 40, 19, 0},
    {kSl4, "sl4", "sl&4", 10, 2, 827, 710, 11, 10, 9, 0},
    {kSl6, "sl6", "sl&6", 6, 2, 1685, 690, 11, 6, 5, 0},
    {kSlb, "slb", "sl&b", 10, 1, 890, 690, 11, 10, 9, 0},
    {kSlb2, "slb2", "slb2", 8, 1, 1382, 2376, 11, 10, 7, 0},
    {kSpa, "spa", "spa", 50, 0, 890, 380, 11, 50, 49, 0},
    {kSp1Sp2F2, "sp1/sp2-f2", "sp1/sp2-f2", 56, 0, 690, 390, 11, 56, 55, 150},
    {kMailer1, "Mailer-1", "Mailer-1", 1, 2, 1090, 360, 9, 1, -1, 700},
    {kSp1Sp2F3, "sp1/sp2-f3", "sp1/sp2-f3", 36, 0, 1140, 860, 11, 36, 35, 0},
};

}  // namespace

const LabelTypeInfo* labelTypeInfo(int index) {
    if (index < kFirstLabelType || index > kLastLabelType) return nullptr;
    return &kLabelTypes[index - 1];
}

std::string labelTypeName(int index) {
    const LabelTypeInfo* info = labelTypeInfo(index);
    return info ? info->name : "";
}

}  // namespace lm

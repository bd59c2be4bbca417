#pragma once

#include <string>

namespace lm {

class LabelPage;
struct LabelTypeInfo;

// The texts of one label set as the page save takes them: the spine text,
// the second spine text of an sp2 pair, and up to two pocket texts. Which of
// them a set really has depends on the label type.
struct LabelSetTexts {
    std::string s1;
    std::string s2;
    std::string p1;
    std::string p2;
};

// The texts of the set at `setPosition` of the page.
LabelSetTexts labelSetTextsAt(const LabelPage& page, const LabelTypeInfo& type, int setPosition);

// The set's texts in file order, each followed by the terminator.
void appendLabelSet(std::string& out, const LabelTypeInfo& type, const LabelSetTexts& set);

// How many texts one set of the type puts into the file.
int textsPerSetPosition(const LabelTypeInfo& type);

}  // namespace lm

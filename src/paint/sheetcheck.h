#pragma once

#include <QString>
#include <vector>

namespace lm {

struct LabelSheet;
struct SheetLabel;

// What can keep a label from printing as the operator means it.
enum class LabelProblemKind {
    Overflow,          // lines below the bottom, or a word broken inside itself
    MissingCharacter,  // the font cannot draw a character; another would stand in
    BlankLeft,         // "<Blank>" is still the spine text, and prints as such
};

// One problem of one label of a sheet.
struct LabelProblem {
    LabelProblemKind kind = LabelProblemKind::Overflow;
    bool pocket = false;
    int element = 0;      // element number in its control array, from 2
    int set = 0;          // the set's place on its page in fill order, from 1
    QString label;        // "spine", "spine2", "pocket1" or "pocket2"
    int row = 0;          // where the set lies on the sheet, from 1
    int column = 0;
    QString description;  // what is wrong, as a sentence
    QString text;         // the label's text, line breaks as '\n'
};

// "overflow", "missing-character" or "blank": the names the tool prints.
QString problemName(LabelProblemKind kind);

// Every problem of the sheet's labels, in printing order (spine elements,
// then pocket elements). Empty labels have none.
std::vector<LabelProblem> checkSheet(const LabelSheet& sheet);

// The same for one label of a sheet of `labelType`.
std::vector<LabelProblem> checkLabel(int labelType, const SheetLabel& label);

}  // namespace lm

#pragma once

class QString;

namespace lm {

class LabelArrays;
struct PageGeometry;

// Gives every label of the page an accessible name that says what it is and
// which set of the page it belongs to, counting sets from 1 as the operator
// sees them ("Spine label 3", "Pocket label 3, first", "Spine label 3,
// second" for the second label of an sp2 pair), and an accessible
// description with its set's row and column on the sheet. Screen readers
// and tests then find a label without its coordinates.
void nameLabels(const LabelArrays& labels, int labelType, const PageGeometry& geometry);

}  // namespace lm

#pragma once

#include <string>
#include <vector>

namespace lm {

// Where on the first sheet of a print job the labels start, for a sheet that
// is partly used. Positions count the label sets of the sheet from 1, row by
// row, left to right: the order in which a page fills its sets.

// The positions of one sheet of `labelType`: its label sets (Mailer-1 has
// one); 0 for a type outside 1 to 10.
int startPositionCount(int labelType);

// Why `position` cannot start a sheet of `labelType`, for the operator
// ("a sheet of sp1 holds labels 1 to 40"); empty when it can.
std::string startPositionProblem(int labelType, int position);

// The label controls of the set at `position`: its spine element and its
// pocket elements, numbered as on a page (from 2).
struct SetElements {
    int spine = 0;
    std::vector<int> pockets;
};
SetElements setElements(int labelType, int position);

}  // namespace lm

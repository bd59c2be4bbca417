#pragma once

#include <vector>

namespace lm {

class LabelPage;
struct EditRequest;

// The page save never writes a set whose spine text is empty: clearing a
// set's spine label is how a set is removed. These say what a save of the
// page would leave out; sets are numbered from 1 as the operator counts the
// sets of the page, and a set the pending edit deletes anyway is not counted.

// The sets left out although another of their texts (a pocket text, the
// second spine text of an sp2 pair) holds something, which is lost with it.
std::vector<int> setsLosingTexts(const LabelPage& page, int labelType, const EditRequest& edit);

// True when the save leaves out any set, empty ones included, so that the
// page the file then holds may differ from the page on display.
bool leavesOutSets(const LabelPage& page, int labelType, const EditRequest& edit);

}  // namespace lm

#pragma once

#include <string>

namespace lm {

// The values of PendingEdit that the page save acts on; any other value
// (normally kNoPendingEdit) means no edit.
inline constexpr const char* kInsertBlankLabel = "InsertBlankLabel";
inline constexpr const char* kDeleteLabel = "DeleteLabel";
inline constexpr const char* kMultipleCopyPrinting = "MultipleCopyPrinting";
inline constexpr const char* kNoPendingEdit = "!666";

// The editing state the page save reads: the pending edit handed over by
// Insert Blank, Delete and Multiple Copies, and the multi-label request of
// the Multiple Label Production dialog. Texts are label file bytes.
struct EditRequest {
    std::string PendingEdit = kNoPendingEdit;
    int SelectedSetIndex = 0;  // set position the edit applies at
    int PendingEditCount = 0;  // blank sets to insert, or copies of each numbered set
    std::string MultiConstant1;
    std::string MultiConstant2;
    std::string MultiNumbers1;  // number lists without trailing blanks
    std::string MultiNumbers2;

    bool insertsBlankSets() const { return PendingEdit == kInsertBlankLabel; }
    bool deletesSet() const { return PendingEdit == kDeleteLabel; }
    bool producesCopies() const { return PendingEdit == kMultipleCopyPrinting; }
    // Edits that change the number of sets, after which the page is read again.
    bool movesPageBoundaries() const {
        return insertsBlankSets() || deletesSet() || producesCopies();
    }
};

}  // namespace lm

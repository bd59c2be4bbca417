#pragma once

#include <optional>
#include <vector>

#include "paint/labelsheet.h"

namespace lm {

// The sheets of a print job that starts at a position other than the first
// of a partly used sheet. The label sets of the pages it is given move on
// from that position, and flow on from sheet to sheet, so that every sheet
// but the first and the last is full. A page's sets are taken up to its last
// one with any text; an empty set before that keeps its place, as it does on
// screen. Each set keeps its texts and formats; only where it goes changes.
class ShiftedSheets {
  public:
    // `startPosition` from 1, as startPositionProblem() accepts it.
    explicit ShiftedSheets(int startPosition);

    // The sheets the page `page` (laid out from the first position) has
    // filled; the one it leaves partly filled is held back.
    std::vector<LabelSheet> add(const LabelSheet& page);

    // The last sheet, partly filled; a blank sheet when no set at all was
    // added, as a page without texts prints one. Nothing when the last
    // sheet was already full.
    std::optional<LabelSheet> finish();

  private:
    void startSheet(const LabelSheet& layout);

    int m_next;  // the position the next set goes to, from 1
    bool m_sheetsMade = false;
    std::optional<LabelSheet> m_sheet;  // the sheet being filled
};

}  // namespace lm

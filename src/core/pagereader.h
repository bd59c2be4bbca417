#pragma once

#include <cstdint>
#include <string>

#include "core/pagestate.h"
#include "core/result.h"

namespace lm {

class LabelPage;

// Fills `page` from the texts that begin at `StartPosition` of `FileName`:
// spine element 2 and its pocket texts, then spine element 3, and so on for
// one page of `labelType`, stopping early at the end of the file (a text the
// end cuts short is dropped). A missing file is created empty. Sets
// LabelFileLength and PageEndPosition (the last byte read); leaves the page
// untouched for an empty file or a StartPosition past its end. The caller
// empties the page first and sets PageStartPosition and PageNumber.
// A file longer than 2,147,483,647 bytes is refused.
Status ReadLabelFile(PageState& state, LabelPage& page, int labelType, const std::string& FileName,
                     std::int32_t StartPosition);

// The first byte of the page before the one that starts at
// `OldStartPosition` in CurrentFileName, as paging forward from byte 1
// defines the pages; also sets PageEndPosition to that position - 1. The
// pages already seen are remembered, so the cost does not grow with the page
// number. `OldStartPosition` must be greater than 1.
Result<std::int32_t> FindNewPagePosition(PageState& state, int labelType,
                                         std::int32_t OldStartPosition);

// Where page `pageNumber` of CurrentFileName lies, paging forward from byte 1.
// A page past the last one starts right after the end of the file and ends
// at it (it holds nothing).
struct PageBounds {
    std::int32_t start = 1;
    std::int32_t end = 0;
};
Result<PageBounds> locatePage(PageState& state, int labelType, int pageNumber);

// Empties the page and reads page `pageNumber` of CurrentFileName into it,
// as the re-reading after an edit does: PageStartPosition, PageEndPosition,
// LabelFileLength and PageNumber describe it afterwards. Only this page is
// read into `page`; the pages before it are located by scanning.
Status showPage(PageState& state, LabelPage& page, int labelType, int pageNumber);

// The last byte of the last complete label text of CurrentFileName: the
// file length, unless the file ends in bytes that never end a label.
Result<std::int64_t> endOfLastLabel(PageState& state, int labelType);

// Opens `fileName` on page 1, as the start-up load and Load do: a missing
// file is created empty. A file that cannot be opened leaves `state` and the
// page as they were.
Status loadFirstPage(PageState& state, LabelPage& page, int labelType, const std::string& fileName);

}  // namespace lm

#pragma once

#include <cstdint>
#include <string>

#include "core/pageindex.h"

namespace lm {

// The page variables of the main window: which file is open and which bytes
// of it the page on display holds. Positions are 1-based bytes.
struct PageState {
    std::string CurrentFileName;  // empty when no file is open
    std::int32_t PageStartPosition = 1;
    std::int32_t PageEndPosition = 0;  // last byte of the page; 0 before anything is read
    std::int32_t LabelFileLength = 0;  // as the last page read or save measured it
    int PageNumber = 1;                // 1 to kLastPageNumber
    // Page starts of CurrentFileName already found; kept up to date by the
    // page reader and the page save.
    PageIndex PageStarts;
    // CurrentFileName as it was when the page on display was read or saved
    // (size -1: not known). Another program may change the file meanwhile;
    // then the page's positions describe a file that no longer exists.
    FileIdentity PageFileIdentity;
};

// Whether CurrentFileName is still the file the page on display came from.
enum class PageSource { Unchanged, Changed, Gone };
PageSource pageSourceNow(const PageState& state);

// PageNumber is 16-bit: the last page the window can show.
constexpr int kLastPageNumber = 32767;

// Refusal of a page move past kLastPageNumber.
inline constexpr const char* kPageLimitMessage =
    "This is page 32767, the last page the Label Maker can show. Save the labels that follow "
    "into another label file.";

// True when the page after `PageNumber` can still be numbered.
inline bool canTurnToNextPage(int PageNumber) {
    return PageNumber < kLastPageNumber;
}

// The caption when no file is open.
inline constexpr const char* kProgramCaption = "Kelvarine Label Maker";

}  // namespace lm

#pragma once

namespace lm {

class WindowContext;

// Next Page (NP, Page, Next Page). A page whose spine labels are not all
// filled cannot be left forwards ("Unused label(s) are found on this
// page!"), nor the last page the window can number. A changed page is saved
// first; if it is not saved (a cancelled or failed Save As, a failed save)
// the page stays. The page then shows the texts after the one on display,
// or stays empty past the end of the file, ready for new labels; PageNumber
// goes up by one, the title has two spaces before "(Page", PageChanged is
// false.
void nextPage(WindowContext& window);

// Previous Page (PP, Page, Previous Page). With no file open or on the first
// page: "No previous page is available!". A changed page is saved first (not
// saved: the page stays). The page before is found and shown, PageNumber goes
// down by one, the title has two spaces before "(Page", PageChanged is false.
// A page count that would fall below 1 shows page 1 again ("You have moved
// too fast!").
void previousPage(WindowContext& window);

}  // namespace lm

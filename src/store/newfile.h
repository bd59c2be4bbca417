#pragma once

namespace lm {

class WindowContext;
struct PageState;

// File, New Label File: the save question (Cancel, or a Save As that did not
// save, ends the command), then an empty page at ZoomValue with no file open,
// titled "Kelvarine Label Maker", PageChanged false. The next save asks for a
// name.
void mnuFile_NewFile_Click(WindowContext& window);

// The page variables of an empty page 1 with no file open: what New and
// Clear leave, so that the title and the page moves count from page 1 again
// once the page is saved under a name.
void startNewPage(PageState& state);

}  // namespace lm

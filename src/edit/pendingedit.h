#pragma once

namespace lm {

class WindowContext;

// Hands an edit to the page save: PendingEdit takes `edit` (kInsertBlankLabel,
// kDeleteLabel or kMultipleCopyPrinting) for exactly the length of the File
// menu's Save, which applies it at SelectedSetIndex while it writes the page
// and then shows the same page number again. Afterwards PendingEdit is
// kNoPendingEdit whether or not the page was saved. Returns what Save
// returned: false when Save As was cancelled or the save failed (reported).
bool saveWithPendingEdit(WindowContext& window, const char* edit);

}  // namespace lm

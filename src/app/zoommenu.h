#pragma once

namespace lm {

class WindowContext;

// View, Zoom, item `index` (1 "&30%" .. 5 "&200%"): ZoomValue becomes the
// number in the item's caption after its first character, the page is laid
// out at it, and only that item is checked.
void mnuView_ZoomItem_Click(WindowContext& window, int index);

}  // namespace lm

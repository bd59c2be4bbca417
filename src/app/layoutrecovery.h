#pragma once

namespace lm {

class WindowContext;

// The way back to a consistent page when a layout fails or the page count
// has gone astray: page 1 of CurrentFileName is read again and laid out at
// ZoomValue (a second failed layout does not start another recovery), the
// title names page 1 with two spaces before "(Page", "You have moved too
// fast!" is shown (OK, no icon) and PageChanged is cleared. With no file
// open the page is only emptied. A file that cannot be read is reported.
void showFirstPageAgain(WindowContext& window);

}  // namespace lm

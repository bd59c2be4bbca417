#pragma once

class QString;

namespace lm {

class WindowContext;

// Shows `message` in the window's status bar, where it stays until the next
// command that reports there: what a command did that the operator should
// know without a box to click away.
void showStatusMessage(WindowContext& window, const QString& message);

}  // namespace lm

#pragma once

class QObject;

namespace lm {

class WindowContext;

// Creates every command group of the main window, each a child of `owner`
// that connects its own menu items and buttons through `window`.
void installCommandGroups(WindowContext& window, QObject* owner);

}  // namespace lm

#pragma once

#include <functional>

namespace lm {

// Ends the program at once, as File, Exit does: the main event loop is left
// with exit status 0, so nothing else is asked and the main window's close
// guard does not run.
void endProgram();

// For the tests: what endProgram() does instead, until set back to nullptr.
void setProgramEndForTesting(std::function<void()> end);

}  // namespace lm

#pragma once

namespace lm {

// Lets pending paint and timer events run, but not the operator's input, so
// that a long command keeps the window painted without a second command
// starting inside it.
void letWindowEventsRun();

// Shows the busy pointer for its lifetime.
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace lm

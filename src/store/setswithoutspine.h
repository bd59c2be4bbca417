#pragma once

#include "core/result.h"

namespace lm {

class WindowContext;

// Before the page is saved: for every set the save would leave out although
// another of its labels holds text, asks "Label set N on this page has no
// spine label, so its other labels will not be saved. Save anyway?" (Yes,
// No). False at the first No: the save must then end with nothing written.
bool confirmSetsWithoutSpine(WindowContext& window);

// After a save that left sets out: when the page the file now holds from
// PageStartPosition differs from the page on display (sets after a dropped
// one have moved up, the next page's first sets have come onto it), the
// labels show it, and the page variables describe it. An error when the
// file could not be read back; the page on display is unchanged then.
Status showPageAsSaved(WindowContext& window);

}  // namespace lm

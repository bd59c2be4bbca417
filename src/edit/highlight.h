#pragma once

#include <optional>
#include <vector>

#include "core/selection.h"

namespace lm {

class LabelControl;
class WindowContext;

// The label controls of the set at `setPosition` on the page: its spine
// control or controls, then its pocket controls. Controls the page does not
// have (the label type was changed since start-up) are left out.
std::vector<LabelControl*> setLabelControls(WindowContext& window, int setPosition);

// The label control SelectedLabel names, or nullptr when none is selected.
LabelControl* selectedLabelControl(WindowContext& window);

// Shows the operator which label set an editing command is about to act on:
// decodes SelectedLabel, stores its set position in SelectedSetIndex and
// selects the whole text of every label of that set, then lets the window
// paint. Nothing comes back, and nothing changes, when no label is selected.
std::optional<SelectedSet> highlightSelectedSet(WindowContext& window);

// Takes the highlight off a set without touching its texts: a single "o" is
// typed after the first character and removed again, leaving the caret
// before the first character with nothing selected. The texts end as they
// were, so this is no edit: the page is not marked changed.
void clearHighlightByRetyping(WindowContext& window, int setPosition);
void retypeToClearSelection(LabelControl& label);

// Takes the highlight off a set by moving every caret to the start.
void collapseHighlight(WindowContext& window, int setPosition);

}  // namespace lm

#pragma once

#include <optional>
#include <vector>

namespace lm {

// The label controls that make up one label set of the page: the spine
// element or elements (two for an sp2 pair) and the pocket elements.
struct SetControls {
    std::vector<int> spine;
    std::vector<int> pocket;
};

// The controls of the set at `setPosition` (2 up to the type's last set
// position) of `labelType`; empty for a position or type that has none.
SetControls controlsOfSet(int labelType, int setPosition);

// A selected label decoded: the set it belongs to and that set's controls.
struct SelectedSet {
    int setPosition = 0;  // what SelectedSetIndex takes
    bool pocket = false;  // the selected control is a pocket control
    int control = 0;      // its element number
    SetControls controls;
};

// Decodes `SelectedLabel` (spine control i as i, pocket control i as i + 40,
// 0 for none). Nothing comes back for 0 or for a value that names no label
// control of the page of `labelType`.
std::optional<SelectedSet> decodeSelectedLabel(int labelType, int SelectedLabel);

}  // namespace lm

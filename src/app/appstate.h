#pragma once

#include <string>

#include "core/settings.h"

namespace lm {

// The state of one run, owned by the main window and shared with every
// command group through the WindowContext. Names follow the label maker's
// own: the page variables describe the page of the label file on display.
struct AppState {
    // Read at start-up; the Setup commands change it and write it back.
    Settings settings;
    // The label type the reading, saving and editing code works with. It is
    // the settings' item, so a Setup change reaches that code at once, while
    // the label controls on screen stay those of the type built at start-up.
    int LabelType() const { return settings.LabelType; }

    // The page on display. Positions are 1-based byte positions in the file.
    std::string CurrentFileName;  // empty when no file is open
    long long PageStartPosition = 1;
    long long PageEndPosition = 0;
    long long LabelFileLength = 0;
    int PageNumber = 1;
    bool PageChanged = false;

    int ZoomValue = 100;  // percent
    // Highest element numbers of the spine and pocket label arrays; element 1
    // of each is the hidden template, so a page's labels run from 2.
    int LastSpineIndex = 1;
    int LastPocketIndex = 1;

    // The label last clicked: spine element n as n, pocket element n as
    // n + 40, 0 when none has been clicked.
    int SelectedLabel = 0;
    // The pending edit the page save applies at SelectedSetIndex; "!666" = none.
    int SelectedSetIndex = 0;
    std::string PendingEdit = "!666";
    int PendingEditCount = 0;
};

}  // namespace lm

#pragma once

#include "core/editrequest.h"
#include "core/pagestate.h"
#include "core/settings.h"

namespace lm {

// The state of one run, owned by the main window and shared with every
// command group through the WindowContext. It is the core's PageState (the
// page of the label file on display: CurrentFileName, PageStartPosition,
// PageEndPosition, LabelFileLength, PageNumber) and EditRequest (PendingEdit,
// SelectedSetIndex, PendingEditCount and the multi-label request), so the
// core's page reading and saving take it as it is, plus what only the window
// knows.
struct AppState : PageState, EditRequest {
    // Read at start-up; the Setup commands change it and write it back.
    Settings settings;
    // The label type the reading, saving and editing code works with. It is
    // the settings' item, so a Setup change reaches that code at once, while
    // the label controls on screen stay those of the type built at start-up.
    int LabelType() const { return settings.LabelType; }

    bool PageChanged = false;  // the page on display has edits not yet saved
    int ZoomValue = 100;       // percent
    // Highest element numbers of the spine and pocket label arrays; element 1
    // of each is the hidden template, so a page's labels run from 2.
    int LastSpineIndex = 1;
    int LastPocketIndex = 1;
    // The label last clicked: spine element n as n, pocket element n as
    // n + 40; 0 until one is clicked.
    int SelectedLabel = 0;
};

}  // namespace lm

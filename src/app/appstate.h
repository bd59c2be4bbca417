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
    // The label type the page was built for at start-up. Reading, saving,
    // editing and printing keep to it until the next start, even after the
    // Setup menu has chosen another type: a page read or written with another
    // type's label counts would lose the texts that have no label control.
    int PageLabelType = 0;
    int LabelType() const { return PageLabelType; }

    bool PageChanged = false;  // the page on display has edits not yet saved
    int ZoomValue = 100;       // percent
    // Highest element numbers of the spine and pocket label arrays; element 1
    // of each is the hidden template, so a page's labels run from 2.
    int LastSpineIndex = 1;
    int LastPocketIndex = 1;
    // The label last clicked: spine element n as n, pocket element n as
    // n + 40; 0 until one is clicked.
    int SelectedLabel = 0;
    // How long a save waits for another program that is writing the same
    // label file before it reports the file as busy.
    int FileLockWaitMs = 10000;
};

}  // namespace lm

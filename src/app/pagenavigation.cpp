#include "app/pagenavigation.h"

#include "app/layoutrecovery.h"
#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/savecommands.h"

namespace lm {
namespace {

bool hasEmptySpineLabel(WindowContext& window) {
    const LabelPage& page = window.page();
    for (int i = 2; i <= window.state().LastSpineIndex; ++i)
        if (page.spineText(i).empty()) return true;
    return false;
}

void inform(WindowContext& window, const QString& text) {
    window.dialogs().message(text, MessageButtons::Ok, MessageIcon::Information);
}

// A page that could not be read: the operator is told, and the page that was
// on display before the move is read again (it was saved or unchanged). Should
// that fail too, the page stays empty and ends where it starts, so a later
// save inserts what is typed there instead of replacing labels not shown.
void stayAfterFailedRead(WindowContext& window, const Error& error, std::int32_t start) {
    AppState& state = window.state();
    reportFileError(window,
                    QStringLiteral("The page cannot be read from the label file %1.")
                        .arg(fromFilePath(state.CurrentFileName)),
                    state.CurrentFileName, error);
    state.PageStartPosition = start;
    state.PageEndPosition = start - 1;
    window.page().clear();
    {
        BusyCursor busy;
        ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName, start);
    }
    window.ViewZoom(state.ZoomValue);
    state.PageChanged = false;
}

// Page `pageNumber` found from the start of the file as it is now, every
// remembered page start dropped. False when it could not be read (told).
bool showPageAfresh(WindowContext& window, int pageNumber, std::int32_t oldStart) {
    AppState& state = window.state();
    state.PageStarts.forget();
    Status shown;
    {
        BusyCursor busy;
        shown = showPage(state, window.page(), state.LabelType(), pageNumber);
    }
    if (!shown) {
        stayAfterFailedRead(window, shown.error(), oldStart);
        return false;
    }
    return true;
}

}  // namespace

void nextPage(WindowContext& window) {
    AppState& state = window.state();
    if (hasEmptySpineLabel(window)) {
        inform(window, QStringLiteral("Unused label(s) are found on this page!"));
        return;
    }
    if (!canTurnToNextPage(state.PageNumber)) {
        inform(window, QString::fromUtf8(kPageLimitMessage));
        return;
    }
    // The save may ask for a file name; the busy pointer comes after it.
    if (state.PageChanged && !mnuFile_Save_Click(window)) return;

    BusyCursor busy;
    const std::int32_t oldStart = state.PageStartPosition;
    const std::int32_t oldEnd = state.PageEndPosition;
    window.page().clear();
    if (!window.ViewZoom(state.ZoomValue)) return;  // the recovery shows page 1
    if (pageSourceNow(state) != PageSource::Unchanged) {
        // Another program has changed the file since this page was read: the
        // page after it is found afresh, never read at the old end.
        if (!showPageAfresh(window, state.PageNumber + 1, oldStart)) return;
        window.setPageTitle(TitleSpacing::TwoSpaces);
        state.PageChanged = false;
        return;
    }
    state.PageStartPosition = oldEnd + 1;
    if (oldEnd < state.LabelFileLength) {
        Status read = ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName,
                                    state.PageStartPosition);
        if (!read) {
            stayAfterFailedRead(window, read.error(), oldStart);
            return;
        }
    }
    // Otherwise the page past the end of the file stays empty for new labels.
    state.PageNumber += 1;
    window.setPageTitle(TitleSpacing::TwoSpaces);
    state.PageChanged = false;
}

void previousPage(WindowContext& window) {
    AppState& state = window.state();
    if (state.CurrentFileName.empty() || state.PageStartPosition == 1) {
        inform(window, QStringLiteral("No previous page is available!"));
        return;
    }
    if (state.PageChanged && !mnuFile_Save_Click(window)) return;

    const std::int32_t oldStart = state.PageStartPosition;
    if (pageSourceNow(state) != PageSource::Unchanged) {
        if (state.PageNumber <= 1) {
            showFirstPageAgain(window);
            return;
        }
        window.page().clear();
        if (!showPageAfresh(window, state.PageNumber - 1, oldStart)) return;
        window.setPageTitle(TitleSpacing::TwoSpaces);
        if (!window.ViewZoom(state.ZoomValue)) return;
        state.PageChanged = false;
        return;
    }
    state.PageEndPosition = oldStart - 1;
    Result<std::int32_t> start = Error{};
    {
        BusyCursor busy;
        start = FindNewPagePosition(state, state.LabelType(), oldStart);
    }
    if (!start) {
        stayAfterFailedRead(window, start.error(), oldStart);
        return;
    }
    state.PageStartPosition = *start;
    // Every page before this one is full, so the read fills every label; the
    // page is emptied anyway, so that nothing of this page could stay on it.
    window.page().clear();
    Status read;
    {
        BusyCursor busy;
        read = ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName,
                             state.PageStartPosition);
    }
    if (!read) {
        stayAfterFailedRead(window, read.error(), oldStart);
        return;
    }
    letWindowEventsRun();
    state.PageNumber -= 1;
    if (state.PageNumber < 1) {
        showFirstPageAgain(window);
        return;
    }
    window.setPageTitle(TitleSpacing::TwoSpaces);
    if (!window.ViewZoom(state.ZoomValue)) return;
    state.PageChanged = false;
    letWindowEventsRun();
}

}  // namespace lm

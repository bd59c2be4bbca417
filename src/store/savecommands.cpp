#include "store/savecommands.h"

#include <QDir>
#include <QFileInfo>

#include "app/windowcontext.h"
#include "core/droppedsets.h"
#include "core/labelpage.h"
#include "core/pagesaver.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/labelfilename.h"
#include "store/lockedsave.h"
#include "store/setswithoutspine.h"

namespace lm {
namespace {

// The page save reports a failed re-reading after the file was written with
// this beginning; the labels are in the file then.
constexpr const char* kSavedButNotReread = "the labels were saved";

bool savedButNotReread(const Error& error) {
    return error.reason.rfind(kSavedButNotReread, 0) == 0;
}

// Writes the page into `path` through the core's page save and shows what
// the save changed on the page. False (after telling the operator) when the
// file could not be written.
bool writePage(WindowContext& window, const std::string& path) {
    AppState& state = window.state();
    if (!confirmSetsWithoutSpine(window)) return false;
    const bool leavesOut = leavesOutSets(window.page(), state.LabelType(), state);
    LockedSave locked = savePageLocked(window, path);
    if (locked.settled) return *locked.settled;
    const Result<SaveOutcome>& saved = locked.saved;
    if (!saved) {
        if (savedButNotReread(saved.error())) {
            // The file holds the page; what is on display may not. Saying so
            // is all that is left to do, and the page must not be saved again
            // over the file as it now is.
            reportFileError(window,
                            QStringLiteral("The page shown may differ from the label file %1.")
                                .arg(fromFilePath(path)),
                            path, saved.error());
            return true;
        }
        reportFileError(
            window, QStringLiteral("The labels could not be saved in %1.").arg(fromFilePath(path)),
            path, saved.error());
        return false;
    }
    if (saved->pageReread) {
        if (!window.ViewZoom(state.ZoomValue)) return true;  // the recovery has shown page 1
        window.setPageTitle(TitleSpacing::TwoSpaces);
    } else if (leavesOut) {
        // Sets left out are gone from the file: the page shows what it holds.
        if (Status shown = showPageAsSaved(window); !shown)
            reportFileError(window,
                            QStringLiteral("The page shown may differ from the label file %1.")
                                .arg(fromFilePath(path)),
                            path, shown.error());
    }
    return true;
}

QString comparablePath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

bool isWorkingLabelFile(const QString& path) {
    const QString working = fromFilePath(workFilePath(kWorkingLabelFile));
    if (comparablePath(path).compare(comparablePath(working), Qt::CaseInsensitive) == 0)
        return true;
    // Another name for the same file, through a link.
    const QString target = QFileInfo(path).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(working).canonicalFilePath();
}

bool mnuFile_Save_Click(WindowContext& window) {
    AppState& state = window.state();
    if (state.CurrentFileName.empty()) return saveAs(window);
    if (!writePage(window, state.CurrentFileName)) return false;
    state.PageChanged = false;
    return true;
}

bool saveAs(WindowContext& window) {
    AppState& state = window.state();
    std::optional<QString> chosen;
    while (true) {
        chosen = window.dialogs().saveFileName(kSaveDialogTitle, kSaveDialogFilter);
        if (!chosen) return false;
        chosen = withLabelFileSuffix(*chosen);
        if (state.settings.PrintingMethod == kInteractivePrinting || !isWorkingLabelFile(*chosen))
            break;
        window.dialogs().message(
            *chosen + QStringLiteral(" is a reserved file! Please name another file."),
            MessageButtons::Ok, MessageIcon::Critical);
    }
    if (!writePage(window, toFilePath(*chosen))) return false;
    window.setPageTitle(TitleSpacing::OneSpace);
    state.PageChanged = false;
    return true;
}

bool askToSaveChangedPage(WindowContext& window) {
    if (!window.state().PageChanged) return true;
    switch (window.dialogs().message(kPageChangedQuestion, MessageButtons::YesNoCancel,
                                     MessageIcon::Question)) {
        case MessageAnswer::Yes:
            return saveAs(window);
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool mayCloseWindow(WindowContext& window) {
    AppState& state = window.state();
    if (!state.PageChanged) return true;
    switch (window.dialogs().message(kPageChangedQuestion, MessageButtons::YesNoCancel,
                                     MessageIcon::Question)) {
        case MessageAnswer::No:
            return true;
        case MessageAnswer::Yes:
            break;
        default:
            return false;
    }
    std::optional<QString> chosen =
        window.dialogs().saveFileName(kSaveDialogTitle, kSaveDialogFilter);
    if (!chosen) return false;
    chosen = withLabelFileSuffix(*chosen);
    if (!writePage(window, toFilePath(*chosen))) return false;
    window.setPageTitle(TitleSpacing::OneSpace);
    state.PageChanged = false;
    return true;
}

}  // namespace lm

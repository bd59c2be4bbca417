#include "store/loadcommands.h"

#include "app/windowcontext.h"
#include "core/pagereader.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/savecommands.h"

namespace lm {

void mnuFile_Load_Click(WindowContext& window) {
    if (!askToSaveChangedPage(window)) return;
    std::optional<QString> chosen =
        window.dialogs().openFileName(kOpenDialogTitle, kOpenDialogFilter);
    if (!chosen) return;
    showLoadedFile(window, toFilePath(*chosen));
}

bool showLoadedFile(WindowContext& window, const std::string& path) {
    AppState& state = window.state();
    Status loaded;
    {
        BusyCursor busy;
        loaded = loadFirstPage(state, window.page(), state.LabelType(), path);
    }
    if (!loaded) {
        reportFileError(
            window, QStringLiteral("The label file %1 cannot be opened.").arg(fromFilePath(path)),
            path, loaded.error());
        return false;
    }
    state.PageChanged = false;
    // A failed layout has shown page 1 of the file through the recovery.
    if (!window.ViewZoom(state.ZoomValue)) return true;
    window.setPageTitle(TitleSpacing::TwoSpaces);
    return true;
}

}  // namespace lm

#include "store/clearcommand.h"

#include "app/windowcontext.h"
#include "core/atomicfile.h"
#include "core/counterfile.h"
#include "core/labelfilelock.h"
#include "core/labelpage.h"
#include "core/workfolder.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/lockedsave.h"
#include "store/newfile.h"

namespace lm {

bool mnuFile_Clear_Click(WindowContext& window) {
    AppState& state = window.state();
    Dialogs& dialogs = window.dialogs();
    if (state.CurrentFileName.empty()) {
        dialogs.message(QStringLiteral("No label file to be cleared!"), MessageButtons::Ok,
                        MessageIcon::Information);
        return false;
    }
    const std::string file = state.CurrentFileName;
    QString question =
        QStringLiteral("You will lose all the labels in the file, %1. Do you want to continue?")
            .arg(fromFilePath(file));
    if (dialogs.message(question, MessageButtons::YesNo, MessageIcon::Exclamation) !=
        MessageAnswer::Yes)
        return false;

    // One writer at a time: a save of another program finishes first.
    Status emptied;
    {
        Result<LabelFileLock> lock = lockForWindow(window, file);
        emptied = lock ? writeFileAtomically(file, {}) : Status(lock.error());
    }
    if (!emptied) {
        reportFileError(
            window,
            QStringLiteral("The label file %1 could not be cleared.").arg(fromFilePath(file)), file,
            emptied.error());
        return false;
    }
    const std::string counter = workFilePath(kCounterFile);
    Status counted = writeCounterFile(counter, 0);

    state.CurrentFileName.clear();
    dialogs.message(QStringLiteral("Label file has been cleared!"), MessageButtons::Ok,
                    MessageIcon::Information);
    if (!counted) {
        reportFileError(
            window,
            QStringLiteral("The counter file %1 could not be written.").arg(fromFilePath(counter)),
            counter, counted.error());
    }
    window.page().clear();
    letWindowEventsRun();
    startNewPage(state);
    window.setPlainTitle();
    state.PageChanged = false;
    window.ViewZoom(state.ZoomValue);
    return true;
}

}  // namespace lm

#include "store/exitcommand.h"

#include "app/windowcontext.h"
#include "core/counterfile.h"
#include "core/labeltypes.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "platform/dialogs.h"
#include "store/clearcommand.h"
#include "store/programend.h"
#include "store/savecommands.h"

namespace lm {
namespace {

// True when the counter file says the working file is full. The counter
// only ever holds what Clear or another tool wrote; one that cannot be read
// tells nothing, so nothing is offered.
bool labelFileIsFull(int labelType) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return false;
    Result<long long> counter = readCounterFile(workFilePath(kCounterFile));
    return counter && *counter >= type->exitThreshold;
}

}  // namespace

void mnuFile_Exit_Click(WindowContext& window) {
    if (!askToSaveChangedPage(window)) return;
    AppState& state = window.state();
    if (state.settings.PrintingMethod == kInteractivePrinting &&
        labelFileIsFull(state.LabelType())) {
        if (window.dialogs().message(
                QStringLiteral("The label file is full. Do you want to clear the file?"),
                MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes)
            mnuFile_Clear_Click(window);
    }
    endProgram();
}

}  // namespace lm

#include "edit/pendingedit.h"

#include "app/windowcontext.h"
#include "core/editrequest.h"
#include "store/savecommands.h"

namespace lm {

bool saveWithPendingEdit(WindowContext& window, const char* edit) {
    AppState& state = window.state();
    state.PendingEdit = edit;
    const bool saved = mnuFile_Save_Click(window);
    state.PendingEdit = kNoPendingEdit;
    return saved;
}

}  // namespace lm

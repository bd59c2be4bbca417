#include "store/newfile.h"

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "store/savecommands.h"

namespace lm {

void startNewPage(PageState& state) {
    state.CurrentFileName.clear();
    state.PageStartPosition = 1;
    state.PageEndPosition = 0;
    state.LabelFileLength = 0;
    state.PageNumber = 1;
    state.PageStarts.forget();
    state.PageFileIdentity = FileIdentity{};
}

void mnuFile_NewFile_Click(WindowContext& window) {
    if (!askToSaveChangedPage(window)) return;
    AppState& state = window.state();
    window.page().clear();
    startNewPage(state);
    window.setPlainTitle();
    state.PageChanged = false;
    window.ViewZoom(state.ZoomValue);
}

}  // namespace lm

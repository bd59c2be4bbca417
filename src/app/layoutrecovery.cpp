#include "app/layoutrecovery.h"

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"

namespace lm {

void showFirstPageAgain(WindowContext& window) {
    AppState& state = window.state();
    state.PageEndPosition = 0;
    state.PageStartPosition = 1;
    window.page().clear();
    if (!state.CurrentFileName.empty()) {
        Status read;
        {
            BusyCursor busy;
            read = ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName, 1);
        }
        if (!read) {
            reportFileError(window,
                            QStringLiteral("The label file %1 cannot be read.")
                                .arg(fromFilePath(state.CurrentFileName)),
                            state.CurrentFileName, read.error());
        }
    }
    window.ViewZoom(state.ZoomValue);
    state.PageNumber = 1;
    if (state.CurrentFileName.empty()) {
        window.setPlainTitle();
    } else {
        window.setPageTitle(TitleSpacing::TwoSpaces);
    }
    window.dialogs().message(QStringLiteral("You have moved too fast!"), MessageButtons::Ok,
                             MessageIcon::None);
    state.PageChanged = false;
}

}  // namespace lm

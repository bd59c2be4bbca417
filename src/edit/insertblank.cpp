#include "edit/insertblank.h"

#include <QWidget>

#include "app/windowcontext.h"
#include "core/editrequest.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"
#include "edit/editmessages.h"
#include "edit/highlight.h"
#include "edit/pendingedit.h"
#include "platform/dialogs.h"

namespace lm {

void mnuEdit_Blank_Click(WindowContext& window) {
    Dialogs& dialogs = window.dialogs();
    const std::optional<SelectedSet> selected = highlightSelectedSet(window);
    if (!selected) {
        dialogs.message(kNoLabelSelectedMessage, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    AppState& state = window.state();
    const LabelTypeInfo* type = labelTypeInfo(state.LabelType());
    const int limit = type ? type->insertLimit : 0;

    QString entry;
    int count = 0;
    while (true) {
        entry = dialogs.inputBox(kInsertBlankPrompt, kMessageTitle, entry).value_or(QString());
        // Anything but ASCII digits is refused, so the UTF-8 bytes are enough.
        const InsertCountEntry checked = checkInsertCountEntry(entry.toStdString(), limit, &count);
        if (checked == InsertCountEntry::Accepted) break;
        if (checked == InsertCountEntry::Empty) {
            clearHighlightByRetyping(window, selected->setPosition);
            return;
        }
        dialogs.message(QString::fromUtf8(kIllegalNumbersMessage), MessageButtons::Ok,
                        MessageIcon::Exclamation);
    }

    window.window()->repaint();
    state.PendingEditCount = count;
    saveWithPendingEdit(window, kInsertBlankLabel);
}

}  // namespace lm

#include "edit/deletelabel.h"

#include "app/windowcontext.h"
#include "core/editrequest.h"
#include "edit/editmessages.h"
#include "edit/highlight.h"
#include "edit/pendingedit.h"
#include "platform/dialogs.h"

namespace lm {

void mnuEdit_Delete_Click(WindowContext& window) {
    Dialogs& dialogs = window.dialogs();
    const std::optional<SelectedSet> selected = highlightSelectedSet(window);
    if (!selected) {
        dialogs.message(kNoLabelSelectedMessage, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    MessageRequest question;
    question.text = kDeleteQuestion;
    question.buttons = MessageButtons::YesNo;
    question.icon = MessageIcon::Question;
    question.defaultButton = MessageAnswer::Yes;
    if (dialogs.message(question) == MessageAnswer::Yes) {
        saveWithPendingEdit(window, kDeleteLabel);
    } else {
        collapseHighlight(window, selected->setPosition);
    }
}

}  // namespace lm

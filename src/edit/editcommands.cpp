#include "edit/editcommands.h"

#include "app/windowcontext.h"
#include "core/labeltypes.h"
#include "edit/clipboardcommands.h"
#include "edit/deletelabel.h"
#include "edit/editmessages.h"
#include "edit/highlight.h"
#include "edit/insertblank.h"
#include "multilabel/multilabel.h"
#include "platform/dialogs.h"

namespace lm {

EditCommands::EditCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    setObjectName(QStringLiteral("EditCommands"));
    connectMenuItem(window, "mnuEdit_Cut", this, [this] { mnuEdit_Cut_Click(m_window); });
    connectMenuItem(window, "mnuEdit_Copy", this, [this] { mnuEdit_Copy_Click(m_window); });
    connectMenuItem(window, "mnuEdit_Paste", this, [this] { mnuEdit_Paste_Click(m_window); });
    connectMenuItem(window, "mnuEdit_Delete", this, [this] { mnuEdit_Delete_Click(m_window); });
    connectMenuItem(window, "mnuEdit_Multicopies", this, [this] { mnuEdit_Multicopies_Click(); });
    connectMenuItem(window, "mnuEdit_Insert", this, [this] { mnuEdit_Insert_Click(); });
    connectMenuItem(window, "mnuEdit_Blank", this, [this] { mnuEdit_Blank_Click(m_window); });
    connectButton(window, "Command3", this, [this] { Command3_Click(); });
}

void EditCommands::Command3_Click() {
    Dialogs& dialogs = m_window.dialogs();
    const AppState& state = m_window.state();
    if (state.LabelType() == kMailer1) {
        dialogs.message(kMultipleCopiesDisabledMessage, MessageButtons::Ok,
                        MessageIcon::Information);
        return;
    }
    if (!decodeSelectedLabel(state.LabelType(), state.SelectedLabel)) {
        dialogs.message(kNoLabelSelectedMessage, MessageButtons::Ok, MessageIcon::Information);
        return;
    }
    // The page shows one highlight: that of the set the dialog works on.
    if (m_multiLabel) collapseHighlight(m_window, state.SelectedSetIndex);
    highlightSelectedSet(m_window);

    if (!m_multiLabel) m_multiLabel = new MultiLabel(m_window, m_window.window());
    m_multiLabel->show();
    m_multiLabel->raise();
    m_multiLabel->activateWindow();
}

void EditCommands::mnuEdit_Insert_Click() {
    if (std::optional<QString> problem = m_characterMap.open())
        m_window.dialogs().message(
            QStringLiteral("The character map could not be started.\n\n%1").arg(*problem),
            MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace lm

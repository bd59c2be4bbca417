#include "app/pagecommands.h"

#include "app/layoutrecovery.h"
#include "app/pagenavigation.h"
#include "app/windowcontext.h"
#include "app/zoommenu.h"

namespace lm {

PageCommands::PageCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    setObjectName(QStringLiteral("PageCommands"));
    connectMenuArray(window, "mnuView_ZoomItem", this,
                     [this](int index) { mnuView_ZoomItem_Click(m_window, index); });
    connectMenuItem(window, "mnuPage_NextPage", this, [this] { mnuPage_NextPage_Click(); });
    connectMenuItem(window, "mnuPage_PreviousPage", this, [this] { mnuPage_PreviousPage_Click(); });
    connectButton(window, "Command1", this, [this] { Command1_Click(); });
    connectButton(window, "Command2", this, [this] { Command2_Click(); });
    window.setLayoutRecovery([&window] { showFirstPageAgain(window); });
}

void PageCommands::Command1_Click() {
    nextPage(m_window);
}

void PageCommands::Command2_Click() {
    previousPage(m_window);
}

void PageCommands::mnuPage_NextPage_Click() {
    nextPage(m_window);
}

void PageCommands::mnuPage_PreviousPage_Click() {
    previousPage(m_window);
}

}  // namespace lm

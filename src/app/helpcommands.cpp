#include "app/helpcommands.h"

#include "app/windowcontext.h"

namespace lm {

HelpCommands::HelpCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    connectMenuItem(window, "mnuHelp_Technical", this, [this] { mnuHelp_Technical_Click(); });
    connectMenuItem(window, "mnuHelp_about", this, [this] { mnuHelp_about_Click(); });
}

void HelpCommands::mnuHelp_Technical_Click() {
    showAbout();
}

void HelpCommands::mnuHelp_about_Click() {
    showAbout();
}

void HelpCommands::showAbout() {
    if (!m_about) m_about = new frmAbout(m_window.window());
    m_about->setWindowState(m_about->windowState() & ~Qt::WindowMinimized);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

}  // namespace lm

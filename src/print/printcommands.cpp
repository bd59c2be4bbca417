#include "print/printcommands.h"

#include "app/windowcontext.h"
#include "print/printall.h"
#include "print/printpage.h"
#include "print/printpreview.h"

namespace lm {

PrintCommands::PrintCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    setObjectName(QStringLiteral("PrintCommands"));
    connectMenuItem(window, "mnuFile_PrintSetup", this, [this] { mnuFile_PrintSetup_Click(); });
    connectMenuItem(window, "mnuFile_PrintPage", this, [this] { mnuFile_PrintPage_Click(); });
    connectMenuItem(window, "mnuFile_PrintAll", this, [this] { mnuFile_PrintAll_Click(); });
    connectMenuItem(window, "mnuFile_PrintPreview", this,
                    [this] { mnuFile_PrintPreview_Click(); });
}

void PrintCommands::mnuFile_PrintSetup_Click() {
    m_printers.select(m_window.dialogs());
}

void PrintCommands::mnuFile_PrintPage_Click() {
    printCurrentPage(m_window, m_printers.printer());
}

void PrintCommands::mnuFile_PrintAll_Click() {
    printAllPages(m_window, m_printers.printer());
}

void PrintCommands::mnuFile_PrintPreview_Click() {
    printPreview(m_window, m_printers.printer());
}

}  // namespace lm

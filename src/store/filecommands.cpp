#include "store/filecommands.h"

#include "app/windowcontext.h"
#include "store/clearcommand.h"
#include "store/exitcommand.h"
#include "store/loadcommands.h"
#include "store/newfile.h"
#include "store/savecommands.h"

namespace lm {

FileCommands::FileCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    setObjectName(QStringLiteral("FileCommands"));
    connectMenuItem(window, "mnuFile_NewFile", this, [this] { mnuFile_NewFile_Click(m_window); });
    connectMenuItem(window, "mnuFile_Load", this, [this] { mnuFile_Load_Click(m_window); });
    connectMenuItem(window, "mnuFile_Save", this, [this] { mnuFile_Save_Click(m_window); });
    connectMenuItem(window, "mnuFile_SaveAs", this, [this] { saveAs(m_window); });
    connectMenuItem(window, "mnuFile_Clear", this, [this] { mnuFile_Clear_Click(m_window); });
    connectMenuItem(window, "mnuFile_Exit", this, [this] { mnuFile_Exit_Click(m_window); });
    window.setCloseGuard([&window] { return mayCloseWindow(window); });
}

}  // namespace lm

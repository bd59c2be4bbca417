#include "filemgr/filemanagercommands.h"

#include "app/windowcontext.h"
#include "filemgr/processfileform.h"

namespace lm {

FileManagerCommands::FileManagerCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    connectMenuItem(window, "mnuProcessFile", this, [this] { mnuProcessFile_Click(); });
}

void FileManagerCommands::mnuProcessFile_Click() {
    ProcessFileForm form(m_window.dialogs(), m_window.window());
    form.exec();
}

}  // namespace lm

#include "import/importcommands.h"

#include "app/windowcontext.h"
#include "import/connectormessage.h"
#include "import/connexionweb.h"
#include "import/exportimport.h"
#include "store/loadcommands.h"

namespace lm {

ImportCommands::ImportCommands(WindowContext& window, QObject* parent)
    : QObject(parent), m_window(window) {
    connectMenuItem(window, "mnuImportConnexionClient", this,
                    [this] { mnuImportConnexionClient_Click(m_window); });
    connectMenuItem(window, "mnuImport_ConnItem", this,
                    [this] { mnuImport_ConnItem_Click(m_window); });
    connectMenuItem(window, "mnuImport_ConnItem2", this,
                    [this] { mnuImport_ConnItem2_Click(m_window); });
    // A PFW label file is a label file: the item opens it as Load does.
    connectMenuItem(window, "mnuImportPFW", this, [this] { mnuFile_Load_Click(m_window); });
    connectMenuItem(window, "mnuFile_Import", this, [this] { mnuFile_Import_Click(m_window); });
    for (const ConnectorItem& item : kConnectorItems) {
        const QString productLine = QString::fromUtf8(item.productLine);
        connectMenuItem(window, item.itemName, this,
                        [this, productLine] { showConnectorMessage(m_window, productLine); });
    }
}

}  // namespace lm

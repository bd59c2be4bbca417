#include "commandgroups.h"

#include "app/helpcommands.h"
#include "app/pagecommands.h"
#include "app/setupcommands.h"
#include "app/windowcontext.h"
#include "edit/editcommands.h"
#include "filemgr/filemanagercommands.h"
#include "import/importcommands.h"
#include "print/printcommands.h"
#include "store/filecommands.h"

namespace lm {

// One line per command group, in the order their menus appear, e.g.
//     new FileCommands(window, owner);
// A group whose menu items come later simply is not listed yet: its items
// stay in the menu bar, unconnected.
void installCommandGroups(WindowContext& window, QObject* owner) {
    new FileCommands(window, owner);
    new EditCommands(window, owner);
    new ImportCommands(window, owner);
    new PrintCommands(window, owner);
    new PageCommands(window, owner);
    new SetupCommands(window, owner);
    new HelpCommands(window, owner);
    new FileManagerCommands(window, owner);
}

}  // namespace lm

#pragma once

#include <QList>
#include <QString>

class QAction;
class QMenuBar;

namespace lm {

// The main window's menu bar, built in menu order with the captions and
// access keys the operator knows, and no shortcut keys.
//
// Naming: every item's QAction has the item's name as its objectName
// ("mnuFile_Save", "mnuEdit_Blank"); a submenu's QMenu and its menu action both
// carry the submenu's name ("mnuSetup_Label"). The items of an item array are
// named "<array>_<index>" and hold their index in QAction::data():
// "mnuSetup_Label_Item_1" .. "_10", "mnuSetup_Alignment_Item_0" .. "_3",
// "mnuView_ZoomItem_1" .. "_5". The top menus are mnuFile, mnuEdit, mnuView,
// mnuPage, mnuSetup and mnuHelp.
//
// Check marks: the label-type, alignment, printing-method and zoom items are
// checkable, but choosing one does not move its check mark; the command that
// runs decides, through setMenuArrayCheck() or QAction::setChecked().
void buildMenuBar(QMenuBar* bar);

// The items of an array in index order.
QList<QAction*> menuArray(const QMenuBar* bar, const QString& arrayName);

// Checks the item of `arrayName` with `index` and unchecks the others; an
// index outside the array leaves every item unchecked.
void setMenuArrayCheck(const QMenuBar* bar, const QString& arrayName, int index);

}  // namespace lm

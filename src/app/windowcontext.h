#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

#include "app/appstate.h"
#include "app/windowtitle.h"
#include "platform/filereport.h"

class QAbstractButton;
class QAction;
class QWidget;

namespace lm {

class Dialogs;
class LabelControl;
class LabelPage;
class SheetControl;

// What the main window offers the command groups of the File, Edit, Import,
// Print, Setup and file-manager menus. Forms1 implements it; a command group
// is a QObject that takes a WindowContext& in its constructor, keeps it, and
// connects its menu items and buttons there, by name:
//
//     FileCommands::FileCommands(WindowContext& window, QObject* parent)
//         : QObject(parent), m_window(window) {
//         connectMenuItem(window, "mnuFile_Save", this, [this] { mnuFile_Save_Click(); });
//         connectMenuArray(window, "mnuView_ZoomItem", this,
//                          [this](int index) { mnuView_ZoomItem_Click(index); });
//         connectButton(window, "Command1", this, [this] { Command1_Click(); });
//     }
//
// and is added to the list in commandgroups.cpp, the one place that knows
// every group. Menu and item names are those of menubar.h (item arrays:
// menuArray("mnuSetup_Label_Item"), each action's data() is its index); the
// buttons are "Command1" (NP), "Command2" (PP) and "Command3" (ML).
class WindowContext {
  public:
    virtual ~WindowContext() = default;

    // The run's state: settings, page variables, zoom, selection, pending edit.
    virtual AppState& state() = 0;

    // The texts of the labels on display as label-file bytes, for the core's
    // page reading and saving.
    virtual LabelPage& page() = 0;

    // The label controls: element 1 is the hidden template of its array,
    // 2 .. LastSpineIndex / LastPocketIndex the labels of the page; nullptr for
    // an element that does not exist.
    virtual LabelControl* spineControl(int element) const = 0;
    virtual LabelControl* pocketControl(int element) const = 0;
    // The sheet behind the labels.
    virtual SheetControl* sheet() const = 0;

    virtual Dialogs& dialogs() = 0;

    // Lays the page out at `nZoomValue` percent: each label at its page
    // position times the zoom, its text drawn at the zoom, its size unchanged.
    // Does not change ZoomValue. Returns false when the labels the current
    // LabelType needs do not all exist (the type was changed since start-up);
    // the layout recovery, when one is set, has then run.
    virtual bool ViewZoom(int nZoomValue) = 0;
    // Run when a layout fails; never re-entered by a layout inside it.
    virtual void setLayoutRecovery(std::function<void()> recovery) = 0;

    // Titles: the file and page of the state (CurrentFileName, PageNumber), or
    // "Kelvarine Label Maker" alone.
    virtual void setPageTitle(TitleSpacing spacing) = 0;
    virtual void setPlainTitle() = 0;
    virtual QString title() const = 0;

    // Menu items by name (nullptr when there is none), item arrays in index
    // order, and the check marks of an array.
    virtual QAction* menuItem(const QString& name) const = 0;
    virtual QList<QAction*> menuArray(const QString& arrayName) const = 0;
    virtual void setMenuArrayCheck(const QString& arrayName, int index) = 0;
    virtual QAbstractButton* button(const QString& name) const = 0;

    // The main window, as parent of the dialogs a command opens.
    virtual QWidget* window() = 0;

    // Asked when the operator closes the window; false keeps it open.
    virtual void setCloseGuard(std::function<bool()> mayClose) = 0;
    // Replaces the load of the working file that start-up runs with
    // Interactive printing (by default loadWorkingFile, startupload.h).
    virtual void setStartUpLoad(std::function<void()> load) = 0;
};

// Connects the menu item `name` to `handler`, run with `receiver` as context
// (the connection ends with it). A missing item is a programming error.
void connectMenuItem(WindowContext& window, const char* name, QObject* receiver,
                     std::function<void()> handler);

// Connects every item of an array; `handler` receives the chosen item's index.
void connectMenuArray(WindowContext& window, const char* arrayName, QObject* receiver,
                      std::function<void(int)> handler);

void connectButton(WindowContext& window, const char* name, QObject* receiver,
                   std::function<void()> handler);

// A failed file operation, shown through the window's dialogs.
inline void reportFileError(WindowContext& window, const QString& what, const std::string& file,
                            const Error& error) {
    reportFileError(window.dialogs(), what, file, error);
}

}  // namespace lm

#pragma once

#include <QObject>

namespace lm {

class WindowContext;

// The File menu's own commands: New, Load, Save, Save As, Clear and Exit,
// and the question when the main window is closed. The commands themselves
// are free functions (newfile.h, loadcommands.h, savecommands.h,
// clearcommand.h, exitcommand.h) that the other menus call as well.
class FileCommands : public QObject {
    Q_OBJECT
  public:
    FileCommands(WindowContext& window, QObject* parent);

  private:
    WindowContext& m_window;
};

}  // namespace lm

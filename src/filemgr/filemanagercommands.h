#pragma once

#include <QObject>

namespace lm {

class WindowContext;

// File, Process Label File(s): the label file manager, shown modally. It
// works on files and folders on disk only; the page on display is left alone.
class FileManagerCommands : public QObject {
    Q_OBJECT
  public:
    FileManagerCommands(WindowContext& window, QObject* parent = nullptr);

    void mnuProcessFile_Click();

  private:
    WindowContext& m_window;
};

}  // namespace lm

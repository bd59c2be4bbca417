#pragma once

#include <QObject>
#include <QPointer>

#include "app/frmabout.h"

namespace lm {

class WindowContext;

// The Help menu: Technical Support and About the Maker both show the about
// box, without blocking the main window; when it is already open it is
// brought to the front instead of opening a second one.
class HelpCommands : public QObject {
    Q_OBJECT
  public:
    HelpCommands(WindowContext& window, QObject* parent = nullptr);

    void mnuHelp_Technical_Click();
    void mnuHelp_about_Click();

    // The open about box, or nullptr.
    frmAbout* aboutBox() const { return m_about; }

  private:
    void showAbout();

    WindowContext& m_window;
    QPointer<frmAbout> m_about;
};

}  // namespace lm

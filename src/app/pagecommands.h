#pragma once

#include <QObject>

namespace lm {

class WindowContext;

// The View and Page menus and the NP and PP buttons: the zoom items, Next
// Page and Previous Page. Also the recovery that runs when a layout fails.
class PageCommands : public QObject {
    Q_OBJECT
  public:
    PageCommands(WindowContext& window, QObject* parent);

    void Command1_Click();
    void Command2_Click();
    void mnuPage_NextPage_Click();
    void mnuPage_PreviousPage_Click();

  private:
    WindowContext& m_window;
};

}  // namespace lm

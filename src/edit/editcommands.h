#pragma once

#include <QObject>
#include <QPointer>

#include "edit/charactermap.h"
#include "multilabel/multilabel.h"

namespace lm {

class WindowContext;

// The Edit menu and the ML button: Cut, Copy, Paste, Delete, Multiple
// Copies, Insert Special Character and Insert Blank Label.
class EditCommands : public QObject {
    Q_OBJECT
  public:
    EditCommands(WindowContext& window, QObject* parent);

    // Multiple Copies (the menu item runs the button's command): highlights
    // the set of the selected label and shows the one MultiLabel dialog,
    // creating it when it is not open, and returns at once.
    void Command3_Click();
    void mnuEdit_Multicopies_Click() { Command3_Click(); }
    void mnuEdit_Insert_Click();

    // The open Multiple Label Production dialog, or nullptr.
    MultiLabel* multiLabel() const { return m_multiLabel; }
    CharacterMap& characterMap() { return m_characterMap; }

  private:
    WindowContext& m_window;
    QPointer<MultiLabel> m_multiLabel;
    CharacterMap m_characterMap;
};

}  // namespace lm

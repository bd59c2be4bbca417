#pragma once

#include <QDialog>

class QFormLayout;
class QLineEdit;
class QPushButton;

namespace lm {

class WindowContext;

// The "Multiple Label Production Setup" dialog: up to two constants, each
// with a number list, and the copies of each set. Apply has the page save
// replace the highlighted label set by its numbered series; Cancel (also
// Escape and the window's close button) takes the highlight off again and
// changes nothing.
//
// It is modeless and floats above the main window (a tool window of it), so
// the operator can still work on the page. It works on the set at
// SelectedSetIndex, which Multiple Copies set (and only an editing command
// changes, not a click on another label). It deletes itself when it closes.
class MultiLabel : public QDialog {
    Q_OBJECT
  public:
    MultiLabel(WindowContext& window, QWidget* mainWindow);

    void MultiApply_Click();
    void MultiCancel_Click();

  protected:
    void reject() override;

  private:
    void placeBesideThePage(QWidget* mainWindow);
    QLineEdit* addField(QFormLayout* form, const char* name, const QString& label);
    // The entries' refusal: the dialog stays open with what was typed.
    void refuse(const QString& text);

    WindowContext& m_window;
    QLineEdit* m_constant1 = nullptr;  // Text1
    QLineEdit* m_numbers1 = nullptr;   // Text2
    QLineEdit* m_constant2 = nullptr;  // Text3
    QLineEdit* m_numbers2 = nullptr;   // Text4
    QLineEdit* m_copies = nullptr;     // Text5
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace lm

#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;

namespace lm {

class LabelControl;

// The status line at the bottom: "Page" shows the page of the label file on
// display, "Line" and "Col" the caret of the label that last had the focus.
class StatusBar : public QWidget {
    Q_OBJECT
  public:
    explicit StatusBar(QWidget* parent = nullptr);

    void setLabel(LabelControl* label);
    void setPage(int page);

    QString pageText() const;
    QString lineText() const;
    QString columnText() const;

  private:
    void showCaret();

    QPointer<LabelControl> m_label;
    QMetaObject::Connection m_caretConnection;
    QLabel* m_page;
    QLabel* m_line;
    QLabel* m_column;
};

}  // namespace lm

#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;

namespace lm {

class LabelControl;

// The status line at the bottom: "Page" shows the page of the label file on
// display, "Line" and "Col" the caret of the label that last had the focus;
// after them, what the last command that reports here did (an import, a
// print), until the next one says something else.
class StatusBar : public QWidget {
    Q_OBJECT
  public:
    explicit StatusBar(QWidget* parent = nullptr);

    void setLabel(LabelControl* label);
    void setPage(int page);
    void setMessage(const QString& message);

    QString pageText() const;
    QString lineText() const;
    QString columnText() const;
    QString messageText() const;

  private:
    void showCaret();

    QPointer<LabelControl> m_label;
    QMetaObject::Connection m_caretConnection;
    QLabel* m_page;
    QLabel* m_line;
    QLabel* m_column;
    QLabel* m_message;
};

}  // namespace lm

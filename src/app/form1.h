#pragma once

#include <QWidget>

class QTextEdit;

namespace lm {

// The splash window shown while start-up builds the page.
class Form1 : public QWidget {
    Q_OBJECT
  public:
    explicit Form1(QWidget* parent = nullptr);

    // Its seven lines, joined by CR LF.
    static QString splashText();
    static QString splashCaption();

    QString text() const;
    // Centres the window on the primary screen.
    void placeOnScreen();

  private:
    QTextEdit* m_text;
};

}  // namespace lm

#pragma once

#include <QWidget>

class QPushButton;

namespace lm {

class ButtonBar;
class PageView;
class Ruler;
class StatusBar;

// The main window's client area: the button bar and the ruler at the top,
// the page view below them, the status bar at the bottom, and the NP, PP and
// ML buttons against the right edge. Lengths are twips at the screen's DPI.
//
// The page view fills the height between the bars while the client area is
// taller than 1400 twips; a lower client area leaves it as it was.
class ClientArea : public QWidget {
    Q_OBJECT
  public:
    explicit ClientArea(QWidget* parent = nullptr);

    ButtonBar* buttonBar() const { return m_buttonBar; }
    Ruler* ruler() const { return m_ruler; }
    PageView* pageView() const { return m_pageView; }
    StatusBar* statusBar() const { return m_statusBar; }

    static constexpr int kButtonBarHeight = 495;
    static constexpr int kRulerHeight = 495;
    static constexpr int kStatusBarHeight = 375;
    static constexpr int kMinimumResizeHeight = 1400;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPushButton* addButton(const QString& name, const QString& caption);
    void layOut();
    int px(double twips) const;
    int py(double twips) const;

    ButtonBar* m_buttonBar;
    Ruler* m_ruler;
    PageView* m_pageView;
    StatusBar* m_statusBar;
    QPushButton* m_next;
    QPushButton* m_previous;
    QPushButton* m_multiple;
};

}  // namespace lm

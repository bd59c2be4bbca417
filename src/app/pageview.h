#pragma once

#include <QScrollArea>

namespace lm {

class SheetControl;

// The scrollable view of the page below the bars. The page lies on a grey
// desk; it holds the sheet at its origin and the label controls at their page
// positions, so every label can be scrolled to at every zoom.
class PageView : public QScrollArea {
    Q_OBJECT
  public:
    explicit PageView(QWidget* parent = nullptr);

    // The parent of the sheet and of the label controls: its origin is the
    // top left corner of the sheet.
    QWidget* page() const { return m_page; }
    SheetControl* sheet() const { return m_sheet; }

    // Sizes the page and the desk to hold the sheet and every visible label.
    void fitPage();

  signals:
    // The page moved on screen: scrolled, or re-centred by a resize.
    void pageMoved();

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QWidget* m_desk;
    QWidget* m_page;
    SheetControl* m_sheet;
};

}  // namespace lm

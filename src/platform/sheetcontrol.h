#pragma once

#include <QWidget>

namespace lm {

// The sheet behind the labels: the paper of one label sheet, drawn at the
// page view's zoom. The labels lie on it at their page positions.
class SheetControl : public QWidget {
    Q_OBJECT
  public:
    explicit SheetControl(QWidget* parent = nullptr);

    int pageWidth() const { return m_pageWidth; }    // twips
    int pageHeight() const { return m_pageHeight; }  // twips
    void setPageSize(int widthTwips, int heightTwips);
    int zoomFactor() const { return m_zoom; }
    void setZoomFactor(int percent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void applyGeometry();

    int m_pageWidth = 12240;
    int m_pageHeight = 15840;
    int m_zoom = 100;
};

}  // namespace lm

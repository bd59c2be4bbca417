#pragma once

#include <QPointer>
#include <QWidget>

namespace lm {

class LabelControl;

// The ruler below the button bar: an inch scale laid over the label that last
// had the focus, at its zoom, with a marker at its inner left margin. Dragging
// the marker moves that margin.
class Ruler : public QWidget {
    Q_OBJECT
  public:
    explicit Ruler(QWidget* parent = nullptr);

    void setLabel(LabelControl* label);
    LabelControl* label() const;

    // Where the marker stands, in ruler pixels; -1 without a label.
    int markerX() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int labelLeft() const;  // the label's left edge in ruler pixels
    double pixelsPerInch() const;

    QPointer<LabelControl> m_label;
    bool m_dragging = false;
};

}  // namespace lm

#include "platform/ruler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>

#include "platform/labelcontrol.h"
#include "platform/twips.h"

namespace lm {

Ruler::Ruler(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TXRuler1"));
    setAutoFillBackground(true);
}

void Ruler::setLabel(LabelControl* label) {
    m_label = label;
    update();
}

int Ruler::labelLeft() const {
    return mapFromGlobal(m_label->mapToGlobal(QPoint(0, 0))).x() + m_label->frameWidth();
}

double Ruler::pixelsPerInch() const {
    return m_label->logicalDpiX() * m_label->zoomFactor() / 100.0;
}

int Ruler::markerX() const {
    if (!m_label) return -1;
    return labelLeft() +
           int(std::lround(m_label->innerLeftMargin() / double(kTwipsPerInch) * pixelsPerInch()));
}

void Ruler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    int h = height();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, h - 1, width(), h - 1);
    if (!m_label) return;

    int left = labelLeft();
    int right = left + m_label->width() - 2 * m_label->frameWidth();
    QRect band(left, 3, right - left, h - 7);
    painter.fillRect(band, Qt::white);
    painter.drawRect(band.adjusted(0, 0, -1, -1));

    // Eighths of an inch from the label's left edge, numbered at each inch.
    double ppi = pixelsPerInch();
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.75));
    painter.setFont(small);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int eighth = 1;; ++eighth) {
        int x = left + int(std::lround(eighth * ppi / 8));
        if (x >= right) break;
        if (eighth % 8 == 0) {
            painter.drawText(QRect(x - 10, band.top(), 20, band.height()), Qt::AlignCenter,
                             QString::number(eighth / 8));
        } else {
            int tick = eighth % 4 == 0 ? band.height() / 2 : band.height() / 4;
            int mid = band.center().y();
            painter.drawLine(x, mid - tick / 2, x, mid + tick / 2);
        }
    }

    int x = markerX();
    QPolygon marker;
    marker << QPoint(x - 4, h - 8) << QPoint(x + 4, h - 8) << QPoint(x, h - 2);
    painter.setBrush(palette().color(QPalette::Highlight));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawPolygon(marker);
}

void Ruler::mousePressEvent(QMouseEvent* event) {
    m_dragging = m_label && std::abs(event->position().x() - markerX()) <= 5;
}

void Ruler::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !m_label) return;
    double inches = (event->position().x() - labelLeft()) / pixelsPerInch();
    int twips = int(std::lround(inches * kTwipsPerInch));
    twips = std::clamp(twips, 0, std::max(0, m_label->widthTwips() - 1));
    m_label->setInnerLeftMargin(twips);
    update();
}

void Ruler::mouseReleaseEvent(QMouseEvent*) {
    if (m_dragging && m_label) m_label->setFocus(Qt::OtherFocusReason);
    m_dragging = false;
}

LabelControl* Ruler::label() const {
    return m_label;
}

}  // namespace lm

#include "platform/sheetcontrol.h"

#include <QPainter>

#include "platform/twips.h"

namespace lm {

SheetControl::SheetControl(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TXTextControl2"));
    applyGeometry();
}

void SheetControl::setPageSize(int widthTwips, int heightTwips) {
    m_pageWidth = widthTwips;
    m_pageHeight = heightTwips;
    applyGeometry();
}

void SheetControl::setZoomFactor(int percent) {
    if (percent <= 0) return;
    m_zoom = percent;
    applyGeometry();
}

void SheetControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(0x90, 0x90, 0x90));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void SheetControl::applyGeometry() {
    double scale = m_zoom / 100.0;
    resize(twipsToPixels(m_pageWidth * scale, logicalDpiX()),
           twipsToPixels(m_pageHeight * scale, logicalDpiY()));
}

}  // namespace lm

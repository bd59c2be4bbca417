#include "paint/sheetpainter.h"

#include <QColor>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <initializer_list>

#include "paint/calibrationsheet.h"
#include "paint/labellayout.h"
#include "paint/labelsheet.h"

namespace lm {
namespace {

constexpr double kSheetTwipsPerInch = 1440.0;

QColor windowsColor(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// The label's lines as the label on screen shows them, drawn in twips.
void paintLabel(QPainter& painter, const SheetLabel& label) {
    if (label.text.isEmpty()) return;
    const LabelTextLayout layout(label.text, labelFormat(label));
    layout.draw(painter, label.box.topLeft(), windowsColor(label.font.color));
}

// A hairline of a quarter point, as thin as a printer draws a line cleanly.
void paintOutlines(QPainter& painter, const LabelSheet& sheet) {
    QPen pen(Qt::black);
    pen.setWidthF(5);  // twips
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const SheetLabel& label : sheet.labels) painter.drawRect(label.box);
}

}  // namespace

void paintSheet(QPainter& painter, const LabelSheet& sheet, const SheetPaintOptions& options) {
    const QPaintDevice* device = painter.device();
    if (!painter.isActive() || !device) return;
    painter.save();
    painter.scale(device->logicalDpiX() / kSheetTwipsPerInch,
                  device->logicalDpiY() / kSheetTwipsPerInch);
    // P is drawn at (P - offset) / scale: the last transformation given is
    // the first applied to a point.
    const PrintCalibration& c = options.calibration;
    if (!c.isIdentity()) {
        painter.scale(1 / c.scaleX, 1 / c.scaleY);
        painter.translate(-c.offsetX, -c.offsetY);
    }
    painter.translate(0, -sheet.verticalCorrection);
    for (bool pocket : {false, true})
        for (const SheetLabel& label : sheet.labels)
            if (label.pocket == pocket) paintLabel(painter, label);
    if (options.outlines) paintOutlines(painter, sheet);
    if (options.calibrationMarks) paintCalibrationMarks(painter, sheet);
    painter.restore();
}

}  // namespace lm

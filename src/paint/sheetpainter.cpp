#include "paint/sheetpainter.h"

#include <QColor>
#include <QPaintDevice>
#include <QPainter>
#include <initializer_list>

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

}  // namespace

void paintSheet(QPainter& painter, const LabelSheet& sheet) {
    const QPaintDevice* device = painter.device();
    if (!painter.isActive() || !device) return;
    painter.save();
    painter.scale(device->logicalDpiX() / kSheetTwipsPerInch,
                  device->logicalDpiY() / kSheetTwipsPerInch);
    painter.translate(0, -sheet.verticalCorrection);
    for (bool pocket : {false, true})
        for (const SheetLabel& label : sheet.labels)
            if (label.pocket == pocket) paintLabel(painter, label);
    painter.restore();
}

}  // namespace lm

#include "paint/sheetpainter.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <initializer_list>

#include "paint/labelsheet.h"

namespace lm {
namespace {

constexpr double kSheetTwipsPerInch = 1440.0;
constexpr int kTwipsPerPoint = 20;

// The painter works in twips, so a font's size is given in twips too; that
// keeps glyph sizes right on every device whatever its resolution.
QFont twipFont(const SheetFont& sheetFont) {
    QFont font(sheetFont.name);
    // A size of zero or less (a hand-edited settings file) still prints, at
    // the smallest size, rather than at some default the operator never chose.
    font.setPixelSize(std::max(1, sheetFont.pointSize) * kTwipsPerPoint);
    font.setBold(sheetFont.bold);
    font.setItalic(sheetFont.italic);
    font.setStrikeOut(sheetFont.strikethrough);
    font.setUnderline(sheetFont.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QColor windowsColor(std::uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

// An alignment outside 0 to 3 (unchecked from the settings file) prints Left.
Qt::Alignment qtAlignment(int alignment) {
    switch (alignment) {
        case 1:
            return Qt::AlignRight;
        case 2:
            return Qt::AlignHCenter;
        case 3:
            return Qt::AlignJustify;
        default:
            return Qt::AlignLeft;
    }
}

void paintLabel(QPainter& painter, const SheetLabel& label) {
    if (label.text.isEmpty()) return;
    const QRectF inner = label.box.marginsRemoved(QMarginsF(label.innerMargins));
    const qreal lineWidth = std::max<qreal>(0, inner.width());
    const QFont font = twipFont(label.font);
    // Every line, an empty one too, takes the font's height; Qt would give an
    // empty line a slightly different one.
    const QFontMetricsF metrics(font);
    const qreal lineHeight = metrics.ascent() + metrics.descent();
    QTextOption option(qtAlignment(label.alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Unhinted advances: line breaks must not depend on the device.
    option.setUseDesignMetrics(true);

    painter.save();
    painter.setClipRect(label.box, Qt::IntersectClip);
    painter.setPen(windowsColor(label.font.color));
    qreal y = inner.top();
    for (const QString& paragraph : label.text.split(QLatin1Char('\n'))) {
        if (y >= label.box.bottom()) break;  // the rest lies outside the clip
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal height = 0;
        // Lines below the box would be clipped away: they are not laid out,
        // so a long text in a narrow label costs no more than what shows.
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            line.setPosition(QPointF(0, height));
            height += lineHeight;
            if (y + height >= label.box.bottom()) break;
        }
        layout.endLayout();
        layout.draw(&painter, QPointF(inner.left(), y));
        y += height;
    }
    painter.restore();
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

#include "paint/calibrationsheet.h"

#include <QFont>
#include <QPainter>
#include <QPen>
#include <QRectF>

#include "core/labeltypes.h"
#include "paint/labelsheet.h"
#include "paint/sheetpaintoptions.h"

namespace lm {
namespace {

constexpr double kArm = 340;      // twips: each arm of a crosshair, 6 mm
constexpr double kPenWidth = 5;   // twips, as thin as the outlines
constexpr int kTextHeight = 180;  // twips: 9 point

QRectF coveredArea(const LabelSheet& sheet) {
    QRectF area;
    for (const SheetLabel& label : sheet.labels) area = area.united(label.box);
    return area;
}

void paintCrosshair(QPainter& painter, QPointF at) {
    painter.drawLine(QPointF(at.x() - kArm, at.y()), QPointF(at.x() + kArm, at.y()));
    painter.drawLine(QPointF(at.x(), at.y() - kArm), QPointF(at.x(), at.y() + kArm));
}

QString both(double twips) {
    return QStringLiteral("%1 mm (%2 in)")
        .arg(lengthFromTwips(twips, LengthUnit::Millimetre), 0, 'f', 1)
        .arg(lengthFromTwips(twips, LengthUnit::Inch), 0, 'f', 2);
}

QString instructions(const LabelSheet& sheet) {
    const CrosshairPair meant = calibrationCrosshairs(sheet);
    return QStringLiteral(
               "Printer calibration sheet, label type %1. Print it on plain paper, on the "
               "printer to calibrate.\n"
               "With a ruler, measure from the paper's left edge (x) and from its top edge (y) "
               "to the centre of each crosshair.\n"
               "The first crosshair is meant at x %2, y %3; the last at x %4, y %5.\n"
               "Type the four distances in Setup, Printer Calibration, or give them to "
               "labelmaker-cli calibrate.")
        .arg(QString::fromStdString(labelTypeName(sheet.labelType)), both(meant.x1), both(meant.y1),
             both(meant.x2), both(meant.y2));
}

}  // namespace

CrosshairPair calibrationCrosshairs(const LabelSheet& sheet) {
    const QRectF area = coveredArea(sheet);
    const double up = sheet.verticalCorrection;
    return {area.left(), area.top() - up, area.right(), area.bottom() - up};
}

void paintCalibrationMarks(QPainter& painter, const LabelSheet& sheet) {
    if (sheet.labels.empty()) return;
    const QRectF area = coveredArea(sheet);
    QPen pen(Qt::black);
    pen.setWidthF(kPenWidth);
    painter.setPen(pen);
    paintCrosshair(painter, area.topLeft());
    paintCrosshair(painter, area.bottomRight());

    // Across the middle of the sheet, on white, so the outlines under it do
    // not hide it.
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(kTextHeight);
    painter.setFont(font);
    const QRectF box(area.left() + kArm, area.center().y() - 4 * kTextHeight,
                     area.width() - 2 * kArm, 8 * kTextHeight);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    const QString text = instructions(sheet);
    const QRectF used = painter.boundingRect(box, flags, text);
    painter.fillRect(used.adjusted(-60, -60, 60, 60), Qt::white);
    painter.drawText(box, flags, text);
}

LabelSheet calibrationSheet(const Settings& settings, int labelType) {
    return labelSheet(settings, labelType, [](bool, int) { return QString(); });
}

SheetPaintOptions calibrationSheetOptions() {
    SheetPaintOptions options;
    options.outlines = true;
    options.calibrationMarks = true;
    return options;
}

}  // namespace lm

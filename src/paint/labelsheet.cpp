#include "paint/labelsheet.h"

#include <initializer_list>

#include "core/ansi.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "core/settings.h"

namespace lm {
namespace {

SheetFont spineFont(const Settings& s) {
    return {QString::fromStdString(s.SpineFontName),
            s.SpineFontSize,
            s.SpineFontBold.isTrue(),
            s.SpineFontItalic.isTrue(),
            s.SpineFontStrikethru,
            s.SpineFontUnderline,
            static_cast<std::uint32_t>(s.SpineFontColor)};
}

SheetFont pocketFont(const Settings& s) {
    return {QString::fromStdString(s.PocketFontName),
            s.PocketFontSize,
            s.PocketFontBold.isTrue(),
            s.PocketFontItalic,
            s.PocketFontStrikethru.isTrue(),
            s.PocketFontUnderline,
            static_cast<std::uint32_t>(s.PocketFontColor)};
}

// Spine labels come from the spine template, which keeps 144 twips on the
// top, right and bottom; pocket labels have only their left margin. Mailer-1
// replaces the left margin of all three labels with 50.
QMargins innerMargins(const Settings& s, int labelType, bool pocket) {
    int left = labelType == kMailer1 ? kMailerInnerLeftMargin
                                     : (pocket ? s.PocketLeftMargin : s.SpineLeftMargin);
    if (pocket) return QMargins(left, 0, 0, 0);
    return QMargins(left, kSpineInnerMargin, kSpineInnerMargin, kSpineInnerMargin);
}

SheetLabel sheetLabel(const Settings& s, int labelType, const LabelPlacement& place,
                      const LabelTextSource& texts) {
    SheetLabel label;
    label.pocket = place.pocket;
    label.number = place.number;
    label.text = texts ? texts(place.pocket, place.number) : QString();
    label.box = QRectF(place.left, place.top, place.width, place.height);
    label.font = place.pocket ? pocketFont(s) : spineFont(s);
    label.alignment = s.LabelAlignment;
    label.innerMargins = innerMargins(s, labelType, place.pocket);
    return label;
}

}  // namespace

bool SheetFont::operator==(const SheetFont& o) const {
    return name == o.name && pointSize == o.pointSize && bold == o.bold && italic == o.italic &&
           strikethrough == o.strikethrough && underline == o.underline && color == o.color;
}

const SheetLabel* LabelSheet::spine(int number) const {
    for (const SheetLabel& label : labels)
        if (!label.pocket && label.number == number) return &label;
    return nullptr;
}

const SheetLabel* LabelSheet::pocket(int number) const {
    for (const SheetLabel& label : labels)
        if (label.pocket && label.number == number) return &label;
    return nullptr;
}

QString labelTextFromBytes(const std::string& bytes) {
    std::u32string decoded = decodeAnsi(bytes);
    QString text;
    text.reserve(static_cast<qsizetype>(decoded.size()));
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        char32_t c = decoded[i];
        if (c == U'\r') {
            // CR LF is one break, and so is CR CR LF (old imports of Windows
            // exports); a run of CRs without an LF is a break each.
            std::size_t end = i;
            while (end < decoded.size() && decoded[end] == U'\r') ++end;
            if (end < decoded.size() && decoded[end] == U'\n') {
                text += QLatin1Char('\n');
            } else {
                text += QString(static_cast<qsizetype>(end - i), QLatin1Char('\n'));
                --end;
            }
            i = end;
        } else if (c == U'\n') {
            text += QLatin1Char('\n');
        } else {
            text += QChar(static_cast<char16_t>(c));  // Windows-1252 lies in the BMP
        }
    }
    return text;
}

LabelSheet labelSheet(const Settings& settings, int labelType, const LabelTextSource& texts) {
    LabelSheet sheet;
    sheet.labelType = labelType;
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    if (!info) return sheet;
    sheet.verticalCorrection = info->printVerticalCorrection;
    PageGeometry geometry =
        pageGeometry(labelType, settings.PageTopMargin, settings.PageLeftMargin);
    sheet.pageSize = QSizeF(geometry.sheetWidth, geometry.sheetHeight);
    // Printing order: every spine element, then every pocket element, each
    // kind in element order as start-up creates them.
    for (bool pocket : {false, true})
        for (const LabelPlacement& place : geometry.placements)
            if (place.pocket == pocket)
                sheet.labels.push_back(sheetLabel(settings, labelType, place, texts));
    return sheet;
}

LabelSheet labelSheet(const Settings& settings, int labelType, const LabelPage& page) {
    return labelSheet(settings, labelType, [&page](bool pocket, int number) {
        int last = pocket ? page.lastPocketIndex() : page.lastSpineIndex();
        if (number > last) return QString();
        return labelTextFromBytes(pocket ? page.pocketText(number) : page.spineText(number));
    });
}

LabelSheet labelSheet(const Settings& settings, const LabelPage& page) {
    return labelSheet(settings, settings.LabelType, page);
}

}  // namespace lm

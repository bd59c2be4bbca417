#pragma once

#include <QMargins>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lm {

class LabelPage;
struct Settings;

// The font a label is printed with, as the settings record holds it.
struct SheetFont {
    QString name;
    int pointSize = 12;
    bool bold = false;
    bool italic = false;
    bool strikethrough = false;
    bool underline = false;
    std::uint32_t color = 0;  // Windows RGB: 0x00BBGGRR

    bool operator==(const SheetFont& other) const;
    bool operator!=(const SheetFont& other) const { return !(*this == other); }
};

// One label control of the page, as it goes onto paper.
struct SheetLabel {
    bool pocket = false;
    int number = 0;  // element number in its control array, from 2
    QString text;    // line breaks as '\n'
    QRectF box;      // twips at zoom 100, before the vertical correction
    SheetFont font;
    int alignment = 0;      // 0 Left, 1 Right, 2 Centered, 3 Justified
    QMargins innerMargins;  // twips inside the box where no text goes
};

// One sheet of labels: everything the sheet painter needs to print a page.
struct LabelSheet {
    int labelType = 0;
    QSizeF pageSize{12240, 15840};   // twips
    int verticalCorrection = 0;      // twips every label moves up on paper
    std::vector<SheetLabel> labels;  // spine elements in order, then pocket elements

    const SheetLabel* spine(int number) const;
    const SheetLabel* pocket(int number) const;
};

// A label text as the label file holds it (Windows-1252 bytes, CR LF line
// breaks) in the form the painter draws. CR CR LF, which older imports of
// Windows exports wrote, is one break too; a lone CR or LF also breaks the
// line, so a stray control byte never prints as a box.
QString labelTextFromBytes(const std::string& bytes);

// The text of spine (pocket == false) or pocket element `number`.
using LabelTextSource = std::function<QString(bool pocket, int number)>;

// The sheet of `labelType` laid out from the settings' margins, with the
// settings' fonts, alignment and inner left margins, and the texts `texts`
// gives. A type outside 1 to 10 gives a sheet without labels.
LabelSheet labelSheet(const Settings& settings, int labelType, const LabelTextSource& texts);

// The same, with the texts of a page read from a label file.
LabelSheet labelSheet(const Settings& settings, int labelType, const LabelPage& page);

// The sheet of the settings' own label type.
LabelSheet labelSheet(const Settings& settings, const LabelPage& page);

}  // namespace lm

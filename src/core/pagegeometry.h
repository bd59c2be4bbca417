#pragma once

#include <vector>

namespace lm {

// Where one label control sits on the sheet, in twips at zoom 100. The same
// numbers are the print offsets on paper.
struct LabelPlacement {
    bool pocket = false;
    int number = 0;  // element number in its control array; 1 is the hidden template
    double left = 0;
    double top = 0;
    int width = 0;
    int height = 0;
};

// The label controls of one page of a label type, in the order start-up
// creates them (each set's spine control, then its pocket controls).
struct PageGeometry {
    std::vector<LabelPlacement> placements;
    int lastSpineIndex = 1;   // highest spine element number in use
    int lastPocketIndex = 1;  // highest pocket element number in use
    int sheetWidth = 12240;   // the sheet page behind the labels
    int sheetHeight = 15840;

    const LabelPlacement* spine(int number) const;
    const LabelPlacement* pocket(int number) const;
};

// The page of `labelType` with its first label set at (leftMargin, topMargin).
// A type outside 1 to 10 has no label controls.
PageGeometry pageGeometry(int labelType, int topMargin, int leftMargin);

// Sizes of the hidden templates before the settings replace them.
constexpr int kSpineTemplateWidth = 1290;
constexpr int kSpineTemplateHeight = 2340;
constexpr int kPocketTemplateWidth = 1140;
constexpr int kPocketTemplateHeight = 1275;
// Inner margin of the spine labels on the three sides the settings do not set.
constexpr int kSpineInnerMargin = 144;
// Inner left margin of every Mailer-1 label, whatever the settings say.
constexpr int kMailerInnerLeftMargin = 50;

}  // namespace lm

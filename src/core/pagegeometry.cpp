#include "core/pagegeometry.h"

#include <initializer_list>

#include "core/labeltypes.h"

namespace lm {
namespace {

struct PocketSpec {
    double dx, dy;
    int width, height;
};

// The grid of one label type. Pitches are lists of constants because the
// running position adds them one after another, never rounded between rows.
struct GridSpec {
    int columns, rows;
    int spineWidth, spineHeight;
    std::vector<PocketSpec> pockets;
    std::vector<double> columnPitch;
    std::vector<double> rowPitch;
};

GridSpec gridSpec(int labelType) {
    switch (labelType) {
        case kSp1:
        case kSp2: return {8, 5, 1290, 2340, {}, {1296, 90}, {2340, 675}};
        case kSl4:
            return {2, 5, 1296, 2088,
                    {{1386, 0, 4032, 1170}, {1386, 1170, 4032, 1170}},
                    {1296, 90, 90, 4032}, {2340, 662.4}};
        case kSl6:
            return {2, 3, 1296, 2250,
                    {{1386, 0, 4032, 1900}, {1386, 1900, 4032, 1900}},
                    {1296, 90, 90, 4032}, {1900, 1900, 720}};
        case kSlb:
            return {2, 5, 1296, 2340, {{1386, 0, 4032, 1296}}, {1296, 90, 90, 4032},
                    {2340, 662.4}};
        case kSlb2: return {1, 8, 1800, 1440, {{1800 + 1656, 0, 4032, 1296}}, {}, {1440, 288}};
        case kSpa: return {5, 10, 2160, 1440, {}, {2160, 180}, {1440}};
        case kSp1Sp2F2: return {8, 7, 1440, 2160, {}, {1440}, {2160}};
        case kSp1Sp2F3: return {6, 6, 1620, 2160, {}, {1620, 180}, {2160, 180}};
        default: return {0, 0, 0, 0, {}, {}, {}};
    }
}

void mailerPage(PageGeometry& page, int top, int left) {
    page.sheetWidth = 12960;
    page.sheetHeight = 7920;
    page.placements.push_back({true, 2, double(left), double(top), 7740, 1620});
    page.placements.push_back({false, 2, double(left), double(top) + 1620, 11880, 3780});
    page.placements.push_back({true, 3, double(left), double(top) + 1620 + 3780, 11880, 1530});
    page.lastSpineIndex = 2;
    page.lastPocketIndex = 3;
}

}  // namespace

const LabelPlacement* PageGeometry::spine(int number) const {
    for (const LabelPlacement& p : placements)
        if (!p.pocket && p.number == number) return &p;
    return nullptr;
}

const LabelPlacement* PageGeometry::pocket(int number) const {
    for (const LabelPlacement& p : placements)
        if (p.pocket && p.number == number) return &p;
    return nullptr;
}

PageGeometry pageGeometry(int labelType, int topMargin, int leftMargin) {
    PageGeometry page;
    if (!labelTypeInfo(labelType)) return page;
    if (labelType == kMailer1) {
        mailerPage(page, topMargin, leftMargin);
        return page;
    }
    GridSpec grid = gridSpec(labelType);
    double rowPosition = topMargin;
    for (int row = 0; row < grid.rows; ++row) {
        double columnPosition = leftMargin;
        for (int column = 0; column < grid.columns; ++column) {
            page.lastSpineIndex += 1;
            page.placements.push_back({false, page.lastSpineIndex, columnPosition, rowPosition,
                                       grid.spineWidth, grid.spineHeight});
            for (const PocketSpec& pocket : grid.pockets) {
                page.lastPocketIndex += 1;
                page.placements.push_back({true, page.lastPocketIndex, columnPosition + pocket.dx,
                                           rowPosition + pocket.dy, pocket.width, pocket.height});
            }
            for (double step : grid.columnPitch) columnPosition += step;
        }
        for (double step : grid.rowPitch) rowPosition += step;
    }
    return page;
}

}  // namespace lm

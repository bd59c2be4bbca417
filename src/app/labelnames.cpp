#include "app/labelnames.h"

#include <QString>

#include <algorithm>
#include <vector>

#include "app/labelarrays.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "platform/labelcontrol.h"

namespace lm {
namespace {

// Rows and columns of the sheet, from the distinct positions of its spine
// labels: every row repeats the same running column positions.
struct SheetGrid {
    std::vector<double> tops;
    std::vector<double> lefts;

    explicit SheetGrid(const PageGeometry& geometry) {
        for (const LabelPlacement& place : geometry.placements) {
            if (place.pocket) continue;
            tops.push_back(place.top);
            lefts.push_back(place.left);
        }
        for (std::vector<double>* values : {&tops, &lefts}) {
            std::sort(values->begin(), values->end());
            values->erase(std::unique(values->begin(), values->end()), values->end());
        }
    }

    static int rank(const std::vector<double>& values, double value) {
        return int(std::lower_bound(values.begin(), values.end(), value) - values.begin()) + 1;
    }

    QString describe(const LabelPlacement& place) const {
        return QStringLiteral("Row %1, column %2 on the sheet")
            .arg(rank(tops, place.top))
            .arg(rank(lefts, place.left));
    }
};

// ", first" or ", second" when the set has two labels of this kind.
QString withOrdinal(const QString& name, int count, int index) {
    if (count < 2) return name;
    return name + (index == 0 ? QStringLiteral(", first") : QStringLiteral(", second"));
}

}  // namespace

void nameLabels(const LabelArrays& labels, int labelType, const PageGeometry& geometry) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return;
    const SheetGrid grid(geometry);
    const int spines = type->spineTextsPerSetPosition();
    const int pockets = type->pocketsPerSet;
    for (const LabelPlacement& place : geometry.placements) {
        LabelControl* control =
            place.pocket ? labels.pocket(place.number) : labels.spine(place.number);
        if (!control) continue;
        const int index = place.number - 2;  // from the first label of its array
        QString name;
        const LabelPlacement* where = &place;
        if (place.pocket) {
            const int set = index / pockets + 1;
            name =
                withOrdinal(QStringLiteral("Pocket label %1").arg(set), pockets, index % pockets);
            // A pocket label is where its set is: with its spine label.
            if (const LabelPlacement* spine = geometry.spine(set + 1)) where = spine;
        } else {
            const int set = index / spines + 1;
            name = QStringLiteral("Spine label %1").arg(set);
            // The first of an sp2 pair is the set's spine label, the other its second.
            if (index % spines == 1) name += QStringLiteral(", second");
        }
        control->setAccessibleName(name);
        control->setAccessibleDescription(grid.describe(*where));
    }
}

}  // namespace lm

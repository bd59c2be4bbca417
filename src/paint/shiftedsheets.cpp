#include "paint/shiftedsheets.h"

#include "core/startposition.h"

namespace lm {
namespace {

SheetLabel* labelOf(LabelSheet& sheet, bool pocket, int number) {
    for (SheetLabel& label : sheet.labels)
        if (label.pocket == pocket && label.number == number) return &label;
    return nullptr;
}

const SheetLabel* labelOf(const LabelSheet& sheet, bool pocket, int number) {
    return pocket ? sheet.pocket(number) : sheet.spine(number);
}

bool holdsText(const LabelSheet& page, const SetElements& set) {
    if (const SheetLabel* spine = page.spine(set.spine); spine && !spine->text.isEmpty())
        return true;
    for (int number : set.pockets)
        if (const SheetLabel* pocket = page.pocket(number); pocket && !pocket->text.isEmpty())
            return true;
    return false;
}

// Puts the label `from` of the page into the place of `to` on the sheet: its
// text and format, at the place's corner.
void moveLabel(const LabelSheet& page, bool pocket, int from, LabelSheet& sheet, int to) {
    const SheetLabel* source = labelOf(page, pocket, from);
    SheetLabel* target = labelOf(sheet, pocket, to);
    if (!source || !target) return;
    const QPointF place = target->box.topLeft();
    *target = *source;
    target->number = to;
    target->box.moveTopLeft(place);
}

void clearTexts(LabelSheet& sheet) {
    for (SheetLabel& label : sheet.labels) label.text.clear();
}

}  // namespace

ShiftedSheets::ShiftedSheets(int startPosition) : m_next(startPosition) {}

void ShiftedSheets::startSheet(const LabelSheet& layout) {
    m_sheet = layout;
    clearTexts(*m_sheet);
}

std::vector<LabelSheet> ShiftedSheets::add(const LabelSheet& page) {
    std::vector<LabelSheet> filled;
    const int positions = startPositionCount(page.labelType);
    int last = positions;
    while (last > 0 && !holdsText(page, setElements(page.labelType, last))) --last;
    for (int position = 1; position <= last; ++position) {
        if (!m_sheet) startSheet(page);
        const SetElements from = setElements(page.labelType, position);
        const SetElements to = setElements(page.labelType, m_next);
        moveLabel(page, false, from.spine, *m_sheet, to.spine);
        for (std::size_t j = 0; j < from.pockets.size() && j < to.pockets.size(); ++j)
            moveLabel(page, true, from.pockets[j], *m_sheet, to.pockets[j]);
        if (++m_next > positions) {
            filled.push_back(std::move(*m_sheet));
            m_sheet.reset();
            m_sheetsMade = true;
            m_next = 1;
        }
    }
    // A page without texts still shows the sheet's layout for finish().
    if (!m_sheet && !m_sheetsMade && last == 0) startSheet(page);
    return filled;
}

std::optional<LabelSheet> ShiftedSheets::finish() {
    std::optional<LabelSheet> last = std::move(m_sheet);
    m_sheet.reset();
    if (last) m_sheetsMade = true;
    return last;
}

}  // namespace lm

#pragma once

#include <QPointer>

#include <vector>

namespace lm {

class LabelControl;

// The two control arrays of the page: spine labels and pocket labels, each
// indexed by element number from 1 (the hidden template).
class LabelArrays {
  public:
    LabelControl* spine(int element) const { return find(m_spine, element); }
    LabelControl* pocket(int element) const { return find(m_pocket, element); }

    // Adds `control` under its own element number.
    void add(LabelControl* control);

    // Every label of the page (templates left out), spine labels first.
    std::vector<LabelControl*> pageLabels() const;

  private:
    static LabelControl* find(const std::vector<QPointer<LabelControl>>& array, int element);

    std::vector<QPointer<LabelControl>> m_spine;  // index = element - 1
    std::vector<QPointer<LabelControl>> m_pocket;
};

}  // namespace lm

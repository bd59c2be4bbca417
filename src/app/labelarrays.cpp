#include "app/labelarrays.h"

#include "platform/labelcontrol.h"

namespace lm {

void LabelArrays::add(LabelControl* control) {
    auto& array = control->kind() == LabelControl::Kind::Spine ? m_spine : m_pocket;
    auto index = static_cast<std::size_t>(control->element() - 1);
    if (array.size() <= index) array.resize(index + 1);
    array[index] = control;
}

std::vector<LabelControl*> LabelArrays::pageLabels() const {
    std::vector<LabelControl*> labels;
    for (const auto* array : {&m_spine, &m_pocket}) {
        for (std::size_t i = 1; i < array->size(); ++i)
            if (LabelControl* control = (*array)[i]) labels.push_back(control);
    }
    return labels;
}

LabelControl* LabelArrays::find(const std::vector<QPointer<LabelControl>>& array, int element) {
    if (element < 1 || static_cast<std::size_t>(element) > array.size()) return nullptr;
    return array[static_cast<std::size_t>(element - 1)];
}

}  // namespace lm

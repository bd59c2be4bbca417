#include "core/labelpage.h"

#include "core/pagegeometry.h"

namespace lm {

void LabelPage::clear() {
    for (int i = 2; i <= lastSpineIndex(); ++i) setSpineText(i, {});
    for (int i = 2; i <= lastPocketIndex(); ++i) setPocketText(i, {});
}

MemoryPage::MemoryPage(int lastSpineIndex, int lastPocketIndex)
    : m_spine(static_cast<std::size_t>(lastSpineIndex > 1 ? lastSpineIndex - 1 : 0)),
      m_pocket(static_cast<std::size_t>(lastPocketIndex > 1 ? lastPocketIndex - 1 : 0)) {}

MemoryPage MemoryPage::forLabelType(int labelType) {
    PageGeometry geometry = pageGeometry(labelType, 0, 0);
    return MemoryPage(geometry.lastSpineIndex, geometry.lastPocketIndex);
}

std::string MemoryPage::spineText(int element) const {
    if (element < 2 || element > lastSpineIndex()) return {};
    return m_spine[static_cast<std::size_t>(element - 2)];
}

std::string MemoryPage::pocketText(int element) const {
    if (element < 2 || element > lastPocketIndex()) return {};
    return m_pocket[static_cast<std::size_t>(element - 2)];
}

void MemoryPage::setSpineText(int element, const std::string& bytes) {
    if (element < 2 || element > lastSpineIndex()) return;
    m_spine[static_cast<std::size_t>(element - 2)] = bytes;
}

void MemoryPage::setPocketText(int element, const std::string& bytes) {
    if (element < 2 || element > lastPocketIndex()) return;
    m_pocket[static_cast<std::size_t>(element - 2)] = bytes;
}

}  // namespace lm

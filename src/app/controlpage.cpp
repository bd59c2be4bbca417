#include "app/controlpage.h"

#include "app/appstate.h"
#include "app/labelarrays.h"
#include "platform/labelcontrol.h"

namespace lm {
namespace {

// Element 1 is the template, never part of the page.
LabelControl* pageElement(LabelControl* control, int element, int last) {
    return element >= 2 && element <= last ? control : nullptr;
}

}  // namespace

int ControlPage::lastSpineIndex() const {
    return m_state.LastSpineIndex;
}
int ControlPage::lastPocketIndex() const {
    return m_state.LastPocketIndex;
}

std::string ControlPage::spineText(int element) const {
    LabelControl* c = pageElement(m_labels.spine(element), element, lastSpineIndex());
    return c ? c->labelText() : std::string();
}

std::string ControlPage::pocketText(int element) const {
    LabelControl* c = pageElement(m_labels.pocket(element), element, lastPocketIndex());
    return c ? c->labelText() : std::string();
}

void ControlPage::setSpineText(int element, const std::string& bytes) {
    if (LabelControl* c = pageElement(m_labels.spine(element), element, lastSpineIndex()))
        c->setLabelText(bytes);
}

void ControlPage::setPocketText(int element, const std::string& bytes) {
    if (LabelControl* c = pageElement(m_labels.pocket(element), element, lastPocketIndex()))
        c->setLabelText(bytes);
}

bool ControlPage::spineTextEncodable(int element) const {
    LabelControl* c = pageElement(m_labels.spine(element), element, lastSpineIndex());
    return !c || c->labelTextEncodable();
}

bool ControlPage::pocketTextEncodable(int element) const {
    LabelControl* c = pageElement(m_labels.pocket(element), element, lastPocketIndex());
    return !c || c->labelTextEncodable();
}

}  // namespace lm

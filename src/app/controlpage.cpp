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

// A text read into a label starts from its template's font and alignment,
// the settings': formatting set with the button bar belongs to the text it
// was set on, not to the label's place on the sheet.
void fill(LabelControl& control, const LabelControl* templ, const std::string& bytes) {
    if (templ) {
        if (control.labelFont() != templ->labelFont()) control.setLabelFont(templ->labelFont());
        if (control.labelAlignment() != templ->labelAlignment())
            control.setLabelAlignment(templ->labelAlignment());
    }
    control.setLabelText(bytes);
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
        fill(*c, m_labels.spine(1), bytes);
}

void ControlPage::setPocketText(int element, const std::string& bytes) {
    if (LabelControl* c = pageElement(m_labels.pocket(element), element, lastPocketIndex()))
        fill(*c, m_labels.pocket(1), bytes);
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

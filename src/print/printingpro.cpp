#include "print/printingpro.h"

#include "app/windowcontext.h"
#include "platform/labelcontrol.h"
#include "paint/labelsheet.h"
#include "print/printjob.h"

namespace lm {
namespace {

LabelControl* labelControl(WindowContext& window, bool pocket, int element) {
    return pocket ? window.pocketControl(element) : window.spineControl(element);
}

// The control prints with what it has: a font changed in Setup shows, and
// prints, from the next start. Its text is laid out as the control lays it out.
void takeControlFormat(SheetLabel& label, const LabelControl& control) {
    const LabelFormat format = control.layoutFormat();
    label.box = QRectF(QPointF(control.leftTwips(), control.topTwips()), format.boxSize);
    label.font = format.font;
    label.alignment = format.alignment;
    label.innerMargins = format.innerMargins;
}

}  // namespace

LabelSheet controlSheet(WindowContext& window) {
    const AppState& state = window.state();
    LabelSheet sheet =
        labelSheet(state.settings, state.LabelType(), [&window](bool pocket, int element) {
            const LabelControl* control = labelControl(window, pocket, element);
            return control ? control->shownText() : QString();
        });
    for (SheetLabel& label : sheet.labels)
        if (const LabelControl* control = labelControl(window, label.pocket, label.number))
            takeControlFormat(label, *control);
    return sheet;
}

Status PrintingPro(WindowContext& window, PrintJob& job) {
    return job.printSheet(controlSheet(window));
}

}  // namespace lm

#include "print/printingpro.h"

#include <cmath>

#include "app/windowcontext.h"
#include "platform/labelcontrol.h"
#include "paint/labelsheet.h"
#include "print/printjob.h"

namespace lm {
namespace {

LabelControl* labelControl(WindowContext& window, bool pocket, int element) {
    return pocket ? window.pocketControl(element) : window.spineControl(element);
}

// What the label shows, blank lines and non-breaking spaces included.
QString shownText(const LabelControl& control) {
    QString text = control.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

SheetFont sheetFont(const LabelFont& font) {
    return {font.name,
            static_cast<int>(std::lround(font.size)),
            font.bold,
            font.italic,
            font.strikethrough,
            font.underline,
            static_cast<std::uint32_t>(font.color)};
}

// The control prints with what it has: a font changed in Setup shows, and
// prints, from the next start.
void takeControlFormat(SheetLabel& label, const LabelControl& control) {
    label.box = QRectF(control.leftTwips(), control.topTwips(), control.widthTwips(),
                       control.heightTwips());
    label.font = sheetFont(control.labelFont());
    label.alignment = control.labelAlignment();
    const InnerMargins m = control.innerMargins();
    label.innerMargins = QMargins(m.left, m.top, m.right, m.bottom);
}

}  // namespace

LabelSheet controlSheet(WindowContext& window) {
    const AppState& state = window.state();
    LabelSheet sheet =
        labelSheet(state.settings, state.LabelType(), [&window](bool pocket, int element) {
            const LabelControl* control = labelControl(window, pocket, element);
            return control ? shownText(*control) : QString();
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

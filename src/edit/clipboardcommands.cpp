#include "edit/clipboardcommands.h"

#include <QClipboard>
#include <QGuiApplication>

#include "edit/highlight.h"
#include "platform/labelcontrol.h"

namespace lm {

void mnuEdit_Cut_Click(WindowContext& window) {
    if (LabelControl* label = selectedLabelControl(window)) label->cut();
}

void mnuEdit_Copy_Click(WindowContext& window) {
    if (LabelControl* label = selectedLabelControl(window)) label->copy();
}

void mnuEdit_Paste_Click(WindowContext& window) {
    LabelControl* label = selectedLabelControl(window);
    if (!label) return;
    // text() is the clipboard's plain text only, empty when it has none.
    label->replaceSelection(QGuiApplication::clipboard()->text());
}

}  // namespace lm

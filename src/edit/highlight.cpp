#include "edit/highlight.h"

#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

#include "app/windowcontext.h"
#include "core/labeltypes.h"
#include "platform/labelcontrol.h"
#include "platform/windowevents.h"

namespace lm {
namespace {

int textLength(const LabelControl& label) {
    return label.document()->characterCount() - 1;
}

// A Mailer-1 page is one large set; its controls repaint with the window.
void repaintMailer(WindowContext& window) {
    if (window.state().LabelType() == kMailer1) window.window()->repaint();
}

}  // namespace

std::vector<LabelControl*> setLabelControls(WindowContext& window, int setPosition) {
    const SetControls controls = controlsOfSet(window.state().LabelType(), setPosition);
    std::vector<LabelControl*> labels;
    for (int element : controls.spine)
        if (LabelControl* label = window.spineControl(element)) labels.push_back(label);
    for (int element : controls.pocket)
        if (LabelControl* label = window.pocketControl(element)) labels.push_back(label);
    return labels;
}

LabelControl* selectedLabelControl(WindowContext& window) {
    const AppState& state = window.state();
    const std::optional<SelectedSet> selected =
        decodeSelectedLabel(state.LabelType(), state.SelectedLabel);
    if (!selected) return nullptr;
    return selected->pocket ? window.pocketControl(selected->control)
                            : window.spineControl(selected->control);
}

std::optional<SelectedSet> highlightSelectedSet(WindowContext& window) {
    AppState& state = window.state();
    std::optional<SelectedSet> selected =
        decodeSelectedLabel(state.LabelType(), state.SelectedLabel);
    if (!selected) return std::nullopt;
    state.SelectedSetIndex = selected->setPosition;
    for (LabelControl* label : setLabelControls(window, selected->setPosition)) {
        label->setSelectionStart(0);
        label->setSelectionLength(textLength(*label));
    }
    letWindowEventsRun();
    repaintMailer(window);
    return selected;
}

void retypeToClearSelection(LabelControl& label) {
    // On an empty label there is no first character to type after; the
    // caret simply goes to the start.
    if (textLength(label) > 0) {
        // The text ends as it was, so the label must not report an edit; and
        // the "o" goes in and out as one step of the undo history.
        const QSignalBlocker quiet(label);
        QTextCursor step(label.document());
        step.beginEditBlock();
        label.setSelectionStart(1);
        label.setSelectionLength(0);
        label.replaceSelection(QStringLiteral("o"));
        label.setSelectionStart(1);
        label.setSelectionLength(1);
        label.replaceSelection(QString());
        step.endEditBlock();
    }
    label.setSelectionStart(0);
}

void clearHighlightByRetyping(WindowContext& window, int setPosition) {
    for (LabelControl* label : setLabelControls(window, setPosition))
        retypeToClearSelection(*label);
}

void collapseHighlight(WindowContext& window, int setPosition) {
    for (LabelControl* label : setLabelControls(window, setPosition)) {
        label->setSelectionStart(0);
        label->setSelectionLength(0);
    }
    repaintMailer(window);
}

}  // namespace lm

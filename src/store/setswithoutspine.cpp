#include "store/setswithoutspine.h"

#include <QString>

#include "app/windowcontext.h"
#include "core/droppedsets.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "platform/dialogs.h"

namespace lm {
namespace {

bool samePage(const LabelPage& a, const LabelPage& b) {
    for (int i = 2; i <= a.lastSpineIndex(); ++i)
        if (a.spineText(i) != b.spineText(i)) return false;
    for (int i = 2; i <= a.lastPocketIndex(); ++i)
        if (a.pocketText(i) != b.pocketText(i)) return false;
    return true;
}

}  // namespace

bool confirmSetsWithoutSpine(WindowContext& window) {
    const AppState& state = window.state();
    for (int set : setsLosingTexts(window.page(), state.LabelType(), state)) {
        const QString question =
            QStringLiteral("Label set %1 on this page has no spine label, so its other labels "
                           "will not be saved. Save anyway?")
                .arg(set);
        if (window.dialogs().message(question, MessageButtons::YesNo, MessageIcon::Question) !=
            MessageAnswer::Yes)
            return false;
    }
    return true;
}

Status showPageAsSaved(WindowContext& window) {
    AppState& state = window.state();
    LabelPage& shown = window.page();
    // Read into a page of its own first: labels that already show what the
    // file holds keep their caret and formatting.
    MemoryPage saved(shown.lastSpineIndex(), shown.lastPocketIndex());
    PageState read = state;
    read.PageEndPosition = state.PageStartPosition - 1;
    Status status = ReadLabelFile(read, saved, state.LabelType(), state.CurrentFileName,
                                  state.PageStartPosition);
    if (!status) return status;
    static_cast<PageState&>(state) = read;
    if (samePage(saved, shown)) return {};
    for (int i = 2; i <= shown.lastSpineIndex(); ++i) shown.setSpineText(i, saved.spineText(i));
    for (int i = 2; i <= shown.lastPocketIndex(); ++i) shown.setPocketText(i, saved.pocketText(i));
    return {};
}

}  // namespace lm

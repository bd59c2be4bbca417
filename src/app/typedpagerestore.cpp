#include "app/typedpagerestore.h"

#include <cerrno>
#include <cstdio>

#include "app/sessionend.h"
#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"

namespace lm {
namespace {

QString fileOf(const TypedPage& page) {
    return page.fileName.empty() ? QStringLiteral("a new label file") : fromFilePath(page.fileName);
}

Status removeKeptFile(const std::string& path) {
    if (std::remove(path.c_str()) != 0 && errno != ENOENT) return Error{path, systemReason(errno)};
    return {};
}

void putTexts(LabelPage& page, const TypedPage& typed) {
    page.clear();
    for (std::size_t i = 0; i < typed.spineTexts.size(); ++i)
        page.setSpineText(int(i) + 2, typed.spineTexts[i]);
    for (std::size_t i = 0; i < typed.pocketTexts.size(); ++i)
        page.setPocketText(int(i) + 2, typed.pocketTexts[i]);
}

// Finds page `typed.pageNumber` of its file as the file is now, so that a
// save writes the typed texts over that page, and shows the texts on it.
Status restore(WindowContext& window, const TypedPage& typed) {
    AppState& state = window.state();
    const std::string file = typedPageFilePath();
    if (typed.labelType != state.LabelType())
        return Error{file, "the labels were typed on a page of label type " +
                               std::to_string(typed.labelType) +
                               ", and the page shown now is of type " +
                               std::to_string(state.LabelType())};
    if (!typed.fileName.empty()) {
        PageState found = state;
        found.CurrentFileName = typed.fileName;
        MemoryPage scratch = MemoryPage::forLabelType(state.LabelType());
        Status shown;
        {
            BusyCursor busy;
            shown = showPage(found, scratch, state.LabelType(), typed.pageNumber);
        }
        if (!shown) return shown;
        static_cast<PageState&>(state) = std::move(found);
    } else {
        state.CurrentFileName.clear();
    }
    putTexts(window.page(), typed);
    window.ViewZoom(state.ZoomValue);
    state.PageChanged = true;
    if (typed.fileName.empty())
        window.setPlainTitle();
    else
        window.setPageTitle(TitleSpacing::TwoSpaces);
    return {};
}

}  // namespace

QString restoreTypedPageQuestion(const TypedPage& page) {
    return QStringLiteral("Labels typed on page %1 of %2 were not saved. Restore them?")
        .arg(page.pageNumber)
        .arg(fileOf(page));
}

void offerTypedPage(WindowContext& window) {
    const std::string path = typedPageFilePath();
    Result<std::optional<TypedPage>> kept = readTypedPageFile(path);
    if (!kept) {
        reportFileError(window,
                        QStringLiteral("The labels kept from an earlier run in %1 cannot be read.")
                            .arg(fromFilePath(path)),
                        path, kept.error());
        return;
    }
    if (!kept.value()) return;
    const TypedPage& typed = *kept.value();
    const bool wanted =
        window.dialogs().message(restoreTypedPageQuestion(typed), MessageButtons::YesNo,
                                 MessageIcon::Question) == MessageAnswer::Yes;
    if (wanted) {
        Status restored = restore(window, typed);
        if (!restored) {
            reportFileError(window,
                            QStringLiteral("The labels typed on page %1 of %2 cannot be shown; "
                                           "they stay kept in %3.")
                                .arg(typed.pageNumber)
                                .arg(fileOf(typed), fromFilePath(path)),
                            path, restored.error());
            return;
        }
    }
    Status removed = removeKeptFile(path);
    if (!removed)
        reportFileError(window,
                        QStringLiteral("The file %1 could not be removed.").arg(fromFilePath(path)),
                        path, removed.error());
}

}  // namespace lm

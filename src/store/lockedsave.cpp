#include "store/lockedsave.h"

#include <QStringList>

#include "app/windowcontext.h"
#include "core/labelfilelock.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "core/readablefile.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/savecommands.h"

namespace lm {
namespace {

enum class Answer { Replace, Reload, SaveAsNewFile, Cancel };

// The question when the file of the page is not the one the page was read
// from. Cancel is the default: nothing happens without the operator's word.
Answer askAboutChangedFile(WindowContext& window, PageSource source) {
    const AppState& state = window.state();
    const QString file = fromFilePath(state.CurrentFileName);
    const QString page = QString::number(state.PageNumber);
    ChoiceRequest request;
    request.icon = MessageIcon::Exclamation;
    const bool gone = source == PageSource::Gone;
    const std::vector<Answer> answers =
        gone ? std::vector<Answer>{Answer::SaveAsNewFile, Answer::Cancel}
             : std::vector<Answer>{Answer::Replace, Answer::Reload, Answer::SaveAsNewFile,
                                   Answer::Cancel};
    if (gone) {
        request.text = QStringLiteral("The label file %1 no longer exists: another program has "
                                      "deleted or moved it since page %2 was read.")
                           .arg(file, page);
    } else {
        request.text = QStringLiteral("The label file %1 has been changed by another program "
                                      "since page %2 was read.")
                           .arg(file, page);
    }
    for (Answer answer : answers) {
        switch (answer) {
            case Answer::Replace:
                request.choices << QStringLiteral("Replace page %1").arg(page);
                break;
            case Answer::Reload:
                request.choices << QStringLiteral("Reload page %1").arg(page);
                break;
            case Answer::SaveAsNewFile:
                request.choices << QStringLiteral("Save this page as a new file\u2026");
                break;
            case Answer::Cancel:
                request.choices << QStringLiteral("Cancel");
                break;
        }
    }
    request.defaultChoice = request.escapeChoice = int(answers.size()) - 1;
    const int chosen = window.dialogs().choose(request);
    return chosen >= 0 && chosen < int(answers.size()) ? answers[std::size_t(chosen)]
                                                       : Answer::Cancel;
}

// A file with several names: the safe save would give this name a file of
// its own. True when the operator chose to write in place.
bool askToWriteInPlace(WindowContext& window, const std::string& path, unsigned long names) {
    ChoiceRequest request;
    request.icon = MessageIcon::Exclamation;
    request.text =
        QStringLiteral("The label file %1 has %2 names (hard links). Saving it the safe way "
                       "would give this name a new file of its own and leave the labels under "
                       "the other names as they are.")
            .arg(fromFilePath(path))
            .arg(names);
    request.choices << QStringLiteral("Write in place (the old, unsafe way)")
                    << QStringLiteral("Cancel");
    request.defaultChoice = request.escapeChoice = 1;
    return window.dialogs().choose(request) == 0;
}

// Reload page N: the page as the file now holds it; what was typed is gone.
void reloadPage(WindowContext& window) {
    AppState& state = window.state();
    state.PageStarts.forget();
    Status shown;
    {
        BusyCursor busy;
        shown = showPage(state, window.page(), state.LabelType(), state.PageNumber);
    }
    if (!shown) {
        reportFileError(window,
                        QStringLiteral("The page cannot be read from the label file %1.")
                            .arg(fromFilePath(state.CurrentFileName)),
                        state.CurrentFileName, shown.error());
        return;
    }
    if (!window.ViewZoom(state.ZoomValue)) return;  // the recovery shows page 1
    window.setPageTitle(TitleSpacing::TwoSpaces);
    state.PageChanged = false;
}

// Save this page as a new file…: the typed page alone, as Save As writes a
// page when no file is open; it becomes page 1 of the file chosen. Cancelled
// or failed, the page stays where it was.
bool saveAsNewFile(WindowContext& window) {
    AppState& state = window.state();
    const PageState before = state;
    state.CurrentFileName.clear();
    state.PageStartPosition = 1;
    state.PageEndPosition = 0;
    state.LabelFileLength = 0;
    state.PageNumber = 1;
    state.PageStarts.forget();
    state.PageFileIdentity = FileIdentity{};
    if (saveAs(window)) return true;
    static_cast<PageState&>(state) = before;
    return false;
}

// Replace page N: where page N lies in the file as it is now.
Status findPageAfresh(AppState& state, const LabelFileLock& lock) {
    state.PageStarts.forget();
    Result<PageBounds> bounds = locatePage(state, state.LabelType(), state.PageNumber);
    if (!bounds) return bounds.status();
    state.PageStartPosition = bounds->start;
    state.PageEndPosition = bounds->end;
    state.LabelFileLength = static_cast<std::int32_t>(lock.identity().size);
    state.PageFileIdentity = lock.identity();
    return {};
}

bool namesLockedFile(const std::string& path, const LabelFileLock& lock) {
    if (!lock.holdsFile()) return false;
    Result<FileIdentity> named = fileIdentityOf(path);
    return named && named->device == lock.identity().device &&
           named->inode == lock.identity().inode;
}

}  // namespace

Result<LabelFileLock> lockForWindow(WindowContext& window, const std::string& path) {
    BusyCursor busy;
    LockWait wait;
    wait.waitMs = window.state().FileLockWaitMs;
    wait.betweenTries = [] { letWindowEventsRun(); };
    return LabelFileLock::acquire(path, wait);
}

LockedSave savePageLocked(WindowContext& window, const std::string& path) {
    AppState& state = window.state();
    LockedSave result;
    SaveOptions options;
    if (const unsigned long names = hardLinkCount(path); names > 1) {
        if (!askToWriteInPlace(window, path, names)) {
            result.settled = false;
            return result;
        }
        options.inPlace = true;
    }
    bool afresh = false;
    while (true) {
        LabelFileLock sourceLock;
        const std::string source = state.CurrentFileName;
        if (!source.empty()) {
            Result<LabelFileLock> locked = lockForWindow(window, source);
            if (!locked) {
                result.saved = locked.error();
                return result;
            }
            sourceLock = std::move(locked.value());
        }
        LabelFileLock targetLock;
        // Another name for the open file is covered by its lock already; a
        // second lock on it would wait for this very save.
        if (path != source && !namesLockedFile(path, sourceLock)) {
            Result<LabelFileLock> locked = lockForWindow(window, path);
            if (!locked) {
                result.saved = locked.error();
                return result;
            }
            targetLock = std::move(locked.value());
        }

        PageSource now = pageSourceNow(state);
        if (afresh && now != PageSource::Gone && sourceLock.holdsFile()) {
            Status found = findPageAfresh(state, sourceLock);
            if (!found) {
                result.saved = found.error();
                return result;
            }
            now = PageSource::Unchanged;
        }
        if (now == PageSource::Unchanged) {
            BusyCursor busy;
            result.saved =
                SaveLabelFile(state, window.page(), state.LabelType(), state, path, options);
            return result;
        }
        // Nobody waits on the locks while the operator thinks.
        sourceLock.release();
        targetLock.release();
        switch (askAboutChangedFile(window, now)) {
            case Answer::Replace:
                afresh = true;
                continue;
            case Answer::Reload:
                reloadPage(window);
                result.settled = false;
                return result;
            case Answer::SaveAsNewFile:
                result.settled = saveAsNewFile(window);
                return result;
            case Answer::Cancel:
                result.settled = false;
                return result;
        }
    }
}

}  // namespace lm

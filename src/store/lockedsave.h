#pragma once

#include <optional>
#include <string>

#include "core/pagesaver.h"
#include "core/result.h"

namespace lm {

class LabelFileLock;
class WindowContext;

// What came of a page save that holds the files it touches against other
// writers.
struct LockedSave {
    // The operator was asked (the file had changed or gone, or has several
    // names) and the answer has been carried out: the save ends with this
    // (true: the page was saved, into a new file), and nothing more is to be
    // told.
    std::optional<bool> settled;
    // Otherwise what the page save did; an Error is the caller's to report.
    Result<SaveOutcome> saved = Error{};
};

// The page save of Save, Save As and closing the window into `path`, as the
// one writer of CurrentFileName (whose bytes around the page it copies) and
// of `path`: each is locked, waiting up to FileLockWaitMs with the busy
// pointer; a file still busy then is an Error that names who holds it. Under
// the lock the file is compared with the one the page was read from. When
// another program has changed it, the operator chooses: Replace page N (find
// page N afresh and write the typed page, with its pending edit, over it),
// Reload page N (read it afresh, dropping what was typed), Save this page as
// a new file… (the typed page alone, through Save As), or Cancel (nothing is
// written; the page stays as it is, changed). When the file is gone only the
// last two are offered. A file with several names (hard links) is written in
// place, the old way, only when the operator chooses it.
LockedSave savePageLocked(WindowContext& window, const std::string& path);

// Takes the lock on `path` as a window command does: with the busy pointer,
// painting the window while it waits, up to FileLockWaitMs.
Result<LabelFileLock> lockForWindow(WindowContext& window, const std::string& path);

}  // namespace lm

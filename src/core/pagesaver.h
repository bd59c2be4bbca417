#pragma once

#include <string>

#include "core/editrequest.h"
#include "core/pagestate.h"
#include "core/result.h"

namespace lm {

class LabelPage;

// What a successful save did beyond writing the file.
struct SaveOutcome {
    // The edit moved the page boundaries, so the page was read again: the
    // same PageNumber now shows what falls on it (caption with two spaces).
    bool pageReread = false;
};

// Writes the page on display into `FileName`: the bytes of CurrentFileName
// before PageStartPosition, then the page set by set (a set whose first spine
// text is empty is left out; the pending edit of `edit` applies at
// SelectedSetIndex), then the bytes after PageEndPosition. With no file open
// the page alone is written and PageStartPosition becomes 1.
//
// The new file is written beside the target, flushed to disk and renamed
// over it, streaming the unchanged bytes in large blocks. A text the file
// cannot hold faithfully stops the save before anything is written, with a
// message that says which label and why. On any failure the old file stays
// exactly as it was, no scratch file remains, and neither `state` nor the
// page changes. On success `state` describes the file written: FileName is
// the current file, PageEndPosition the last byte of the page, and
// LabelFileLength its new length; PageChanged is the caller's to clear.
// When PageFileIdentity is known and CurrentFileName is no longer that file
// (changed or replaced by another program, or gone), nothing is written: the
// page's positions would cut the other program's labels apart.
// The checks SaveLabelFile makes before it touches any file: every text it
// would write reads back as it is, and the pending edit's numbers are legal.
// A failure here is the operator's to mend (the page stays changed); the
// message names the label's place on the page, or is "You entered illegal
// numbers!".
Status checkPageCanBeSaved(const LabelPage& page, int labelType, const EditRequest& edit,
                           const std::string& FileName);

// How the new file replaces FileName: by rename (the safe way), or, for a
// file with several names that must all see the labels, in place.
struct SaveOptions {
    bool inPlace = false;
};

// The reasons a save refuses to copy around a page whose file is no longer
// the one it was read from (PageFileIdentity): the caller asks the operator.
inline constexpr const char* kFileChangedReason =
    "another program has changed the file since the page was read; nothing was written";
inline constexpr const char* kFileGoneReason =
    "the file no longer exists (another program has deleted or moved it since the page was "
    "read); nothing was written";

Result<SaveOutcome> SaveLabelFile(PageState& state, LabelPage& page, int labelType,
                                  const EditRequest& edit, const std::string& FileName,
                                  const SaveOptions& options = {});

}  // namespace lm

#pragma once

#include <functional>
#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "core/editrequest.h"
#include "core/selection.h"

namespace lm {
class LabelPage;
}

namespace lm::cli {

// The window's message when an editing command runs with no label selected.
inline constexpr const char* kNoLabelSelectedMessage = "No label is selected!";

// What an editing command works on: page P of a label file shown for a label
// type, with label L selected (SelectedLabel's numbering).
struct EditTarget {
    std::string command;
    int labelType = 0;
    int pageNumber = 0;
    int selectedLabel = 0;
    std::string path;
    // How long to wait for another writer of the file to finish.
    int waitSeconds = kDefaultWaitSeconds;
    // Write a file with several names in place instead of refusing it.
    bool inPlace = false;

    static constexpr int kDefaultWaitSeconds = 10;
};

// The help lines of the options every editing command shares besides
// --type, --page and --label.
inline constexpr const char* kSharedEditOptionsHelp =
    "  --wait S   wait up to S seconds (default 10) for another program that is\n"
    "             changing LABELFILE; still busy then: exit status 1, naming it\n"
    "  --in-place write a file that has several names (hard links) in place, the\n"
    "             old, unsafe way (a failure half way damages it); without it such a\n"
    "             file is refused, as the safe save would give LABELFILE a file of\n"
    "             its own and leave the other names with the old labels\n";

// The options every editing command shares besides its own.
std::vector<OptionSpec> editOptions(std::vector<OptionSpec> own);

// Reads --type, --page, --label and the label file; reports a usage error
// and gives nothing when one is wrong.
std::optional<EditTarget> editTarget(const std::string& command, const ParsedArguments& parsed,
                                     CliStreams& streams);

// The set label L belongs to. Reports "No label is selected!" for 0, and a
// usage error for a number that names no label control of the page.
std::optional<SelectedSet> selectedSet(const EditTarget& target, CliStreams& streams);

// Shows page P of the file, hands `edit` to the page save as the window's
// Save command does, and reports. The file is locked against other writers
// from before the page is read until the new file is in place, so an edit
// made meanwhile by another program is never lost. `describe` words the
// result from the page as it was before the edit. Returns the exit status.
int applyEdit(const EditTarget& target, const EditRequest& edit, CliStreams& streams,
              const std::function<std::string(const LabelPage& before)>& describe);

}  // namespace lm::cli

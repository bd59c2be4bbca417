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
};

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
// Save command does, and reports. `describe` words the result from the page
// as it was before the edit. Returns the exit status.
int applyEdit(const EditTarget& target, const EditRequest& edit, CliStreams& streams,
              const std::function<std::string(const LabelPage& before)>& describe);

}  // namespace lm::cli

#include "cli/clioutput.h"
#include "cli/editsession.h"
#include "core/labelpage.h"

namespace lm::cli {
namespace {

const char* kName = "delete";

int runDelete(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed =
        ParsedArguments::parse(args, editOptions({}), 1, problem);
    if (!parsed) return usageError(streams, kName, problem);
    std::optional<EditTarget> target = editTarget(kName, *parsed, streams);
    if (!target) return kExitRefused;
    std::optional<SelectedSet> selected = selectedSet(*target, streams);
    if (!selected) return kExitRefused;

    EditRequest edit;
    edit.PendingEdit = kDeleteLabel;
    edit.SelectedSetIndex = selected->setPosition;
    return applyEdit(*target, edit, streams, [&](const LabelPage& before) {
        std::string set = "label set " + std::to_string(selected->setPosition - 1) + " of page " +
                          std::to_string(target->pageNumber);
        if (before.spineText(selected->controls.spine[0]).empty())
            return set + " is empty: nothing was deleted; the page was saved as it is";
        return set + " deleted";
    });
}

}  // namespace

CliCommand deleteCommand() {
    return {kName, "delete the label set of a label, as Delete does",
            "Usage: labelmaker-cli delete --type N --page P --label L LABELFILE\n"
            "Deletes the label set that holds label L on page P (its spine label or sp2 pair\n"
            "and its pocket labels), as the window's Delete answered Yes does, through the\n"
            "same page save.\n\n"
            "  --type N   label type, 1 to 10\n"
            "  --page P   the P-th page as the window pages through the file, 1 to 32767\n"
            "  --label L  the selected label: spine control i is i, pocket control i is i + 40\n" +
            std::string(kSharedEditOptionsHelp) + "\n"
            "Exit status: 0 done, 1 the file could not be read or written, 2 bad arguments or\n"
            "input refused (\"No label is selected!\").\n",
            runDelete};
}

}  // namespace lm::cli

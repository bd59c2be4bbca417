#include "cli/clioutput.h"
#include "cli/editsession.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"

namespace lm::cli {
namespace {

const char* kName = "insert-blank";

std::string setOnPage(const EditTarget& target, int setPosition) {
    return "label set " + std::to_string(setPosition - 1) + " of page " +
           std::to_string(target.pageNumber);
}

int runInsertBlank(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed =
        ParsedArguments::parse(args, editOptions({{"--count", true}}), 1, problem);
    if (!parsed) return usageError(streams, kName, problem);
    std::optional<EditTarget> target = editTarget(kName, *parsed, streams);
    if (!target) return kExitRefused;
    std::optional<std::string> entry = parsed->value("--count");
    if (!entry) return usageError(streams, kName, "--count is required");

    std::optional<SelectedSet> selected = selectedSet(*target, streams);
    if (!selected) return kExitRefused;
    int count = 0;
    switch (checkInsertCountEntry(*entry, labelTypeInfo(target->labelType)->insertLimit, &count)) {
        case InsertCountEntry::Empty:
            return usageError(streams, kName, "--count needs the number of label sets to insert");
        case InsertCountEntry::Refused:
            return refused(streams, kIllegalNumbersMessage);
        case InsertCountEntry::Accepted:
            break;
    }

    EditRequest edit;
    edit.PendingEdit = kInsertBlankLabel;
    edit.SelectedSetIndex = selected->setPosition;
    edit.PendingEditCount = count;
    return applyEdit(*target, edit, streams, [&](const LabelPage& before) {
        if (before.spineText(selected->controls.spine[0]).empty())
            return setOnPage(*target, selected->setPosition) +
                   " is empty: nothing was inserted; the page was saved as it is";
        return std::to_string(count) + " blank label set(s) inserted before " +
               setOnPage(*target, selected->setPosition);
    });
}

}  // namespace

CliCommand insertBlankCommand() {
    return {kName, "insert blank label sets before the set of a label, as Insert Blank does",
            "Usage: labelmaker-cli insert-blank --type N --page P --label L --count C LABELFILE\n"
            "Inserts C blank label sets (\"<Blank>\" and empty texts) before the label set\n"
            "that holds label L on page P, as the window's Insert Blank does, through the same\n"
            "page save.\n\n"
            "  --type N   label type, 1 to 10\n"
            "  --page P   the P-th page as the window pages through the file, 1 to 32767\n"
            "  --label L  the selected label: spine control i is i, pocket control i is i + 40\n"
            "  --count C  digits only, at most the label type's limit (sets per page - 1)\n" +
            std::string(kSharedEditOptionsHelp) + "\n"
            "Exit status: 0 done, 1 the file could not be read or written, 2 bad arguments or\n"
            "input refused (\"No label is selected!\", \"You entered illegal numbers!\").\n",
            runInsertBlank};
}

}  // namespace lm::cli

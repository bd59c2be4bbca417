#include "cli/clioutput.h"
#include "cli/editsession.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"
#include "core/production.h"

namespace lm::cli {
namespace {

const char* kName = "series";

// Multiple Copies is not offered for Mailer-1; the window's words, as spelled there.
const char* kMultipleCopiesDisabledMessage = "Multilpe Copies is diabled!";

int runSeries(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed =
        ParsedArguments::parse(args,
                               editOptions({{"--constant1", true},
                                            {"--numbers1", true},
                                            {"--constant2", true},
                                            {"--numbers2", true},
                                            {"--copies", true}}),
                               1, problem);
    if (!parsed) return usageError(streams, kName, problem);
    std::optional<EditTarget> target = editTarget(kName, *parsed, streams);
    if (!target) return kExitRefused;
    if (target->labelType == kMailer1) return refused(streams, kMultipleCopiesDisabledMessage);
    std::optional<SelectedSet> selected = selectedSet(*target, streams);
    if (!selected) return kExitRefused;

    // The dialog's fields, with its defaults: empty constants and lists, 1 copy.
    EditRequest edit;
    edit.PendingEdit = kMultipleCopyPrinting;
    edit.SelectedSetIndex = selected->setPosition;
    for (const char* option : {"--constant1", "--constant2"}) {
        std::optional<std::string> bytes =
            labelBytesFromArgument(parsed->value(option).value_or(""));
        if (!bytes)
            return usageError(streams, kName,
                              std::string(option) +
                                  " holds a character that a label file cannot store "
                                  "(it stores Windows-1252 characters only)");
        (std::string(option) == "--constant1" ? edit.MultiConstant1 : edit.MultiConstant2) = *bytes;
    }
    edit.MultiNumbers1 = withoutTrailingSpaces(parsed->value("--numbers1").value_or(""));
    edit.MultiNumbers2 = withoutTrailingSpaces(parsed->value("--numbers2").value_or(""));

    // Apply's checks, in its order; each refusal has the same words.
    if (!ValidateNumbers(edit.MultiNumbers1)) return refused(streams, kIllegalNumbersMessage);
    if (!edit.MultiNumbers2.empty() && !ValidateNumbers(edit.MultiNumbers2))
        return refused(streams, kIllegalNumbersMessage);
    if (!edit.MultiConstant2.empty() && edit.MultiNumbers2.empty())
        return refused(streams, kIllegalNumbersMessage);
    std::optional<int> copies = parseCopiesEntry(parsed->value("--copies").value_or("1"));
    if (!copies) return refused(streams, kIllegalNumbersMessage);
    edit.PendingEditCount = *copies;

    return applyEdit(*target, edit, streams, [&](const LabelPage& before) {
        std::string set = "label set " + std::to_string(selected->setPosition - 1) + " of page " +
                          std::to_string(target->pageNumber);
        if (before.spineText(selected->controls.spine[0]).empty())
            return set + " is empty: nothing was produced; the page was saved as it is";
        return set + " replaced by its numbered series";
    });
}

}  // namespace

CliCommand seriesCommand() {
    return {
        kName, "replace the set of a label by a numbered series, as Multiple Copies does",
        "Usage: labelmaker-cli series --type N --page P --label L [--constant1 T]\n"
        "           [--numbers1 LIST] [--constant2 T] [--numbers2 LIST] [--copies C] LABELFILE\n"
        "Replaces the label set that holds label L on page P by numbered copies of it, as\n"
        "the Multiple Label Production Setup dialog's Apply does, through the same page\n"
        "save. Spine labels get \"T\" and the number as new last lines; pocket labels get\n"
        "them at the end of their first line.\n\n"
        "  --type N        label type, 1 to 10 (not 9, Mailer-1)\n"
        "  --page P        the P-th page as the window pages through the file\n"
        "  --label L       the selected label: spine control i is i, pocket i is i + 40\n"
        "  --constant1 T   text before each number of the first list (default empty)\n"
        "  --numbers1 LIST numbers and ranges: 1-3,7 (default empty)\n"
        "  --constant2 T   text before each number of the second list (default empty)\n"
        "  --numbers2 LIST the second list; every number of the first is combined with it\n"
        "  --copies C      copies of each numbered set, 1 to 32767 (default 1)\n" +
            std::string(kSharedEditOptionsHelp) + "\n"
        "Exit status: 0 done, 1 the file could not be read or written, 2 bad arguments or\n"
        "input refused (\"You entered illegal numbers!\", \"No label is selected!\",\n"
        "\"Multilpe Copies is diabled!\").\n",
        runSeries};
}

}  // namespace lm::cli

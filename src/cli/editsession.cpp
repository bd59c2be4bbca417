#include "cli/editsession.h"

#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "core/labelfile.h"
#include "core/labelfilelock.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/readablefile.h"

namespace lm::cli {

namespace {

constexpr long long kLongestWaitSeconds = 86400;

}  // namespace

std::vector<OptionSpec> editOptions(std::vector<OptionSpec> own) {
    std::vector<OptionSpec> options = {{"--type", true},
                                       {"--page", true},
                                       {"--label", true},
                                       {"--wait", true},
                                       {"--in-place", false}};
    options.insert(options.end(), own.begin(), own.end());
    return options;
}

std::optional<EditTarget> editTarget(const std::string& command, const ParsedArguments& parsed,
                                     CliStreams& streams) {
    EditTarget target;
    target.command = command;
    std::optional<int> labelType = labelTypeOption(parsed, streams, command);
    if (!labelType) return std::nullopt;
    std::optional<int> page = pageOption(parsed, streams, command);
    if (!page) return std::nullopt;
    std::optional<int> label = labelOption(parsed, streams, command);
    if (!label) return std::nullopt;
    if (std::optional<std::string> wait = parsed.value("--wait")) {
        std::optional<long long> seconds = digitsValue(*wait);
        if (!seconds || *seconds > kLongestWaitSeconds) {
            usageError(streams, command,
                       "--wait must be a number of seconds from 0 to " +
                           std::to_string(kLongestWaitSeconds) + ", not \"" + *wait + "\"");
            return std::nullopt;
        }
        target.waitSeconds = static_cast<int>(*seconds);
    }
    target.inPlace = parsed.has("--in-place");
    target.labelType = *labelType;
    target.pageNumber = *page;
    target.selectedLabel = *label;
    target.path = parsed.positionals()[0];
    return target;
}

std::optional<SelectedSet> selectedSet(const EditTarget& target, CliStreams& streams) {
    if (target.selectedLabel == 0) {
        refused(streams, kNoLabelSelectedMessage);
        return std::nullopt;
    }
    std::optional<SelectedSet> selected =
        decodeSelectedLabel(target.labelType, target.selectedLabel);
    if (!selected) {
        usageError(streams, target.command,
                   "--label " + std::to_string(target.selectedLabel) + " names no label of " +
                       labelTypeName(target.labelType) +
                       " (spine control i is i, pocket control i is i + 40)");
    }
    return selected;
}

int applyEdit(const EditTarget& target, const EditRequest& edit, CliStreams& streams,
              const std::function<std::string(const LabelPage& before)>& describe) {
    LockWait wait;
    wait.waitMs = target.waitSeconds * 1000;
    wait.onBusy = [&](const std::optional<LockHolder>& holder) {
        streams.err << "labelmaker-cli: " << target.path << " is in use by "
                    << (holder ? describeLockHolder(*holder) : std::string("another program"))
                    << "; waiting up to " << target.waitSeconds << " seconds" << std::endl;
    };
    Result<LabelFileLock> lock = LabelFileLock::acquire(target.path, wait);
    if (!lock) return fileError(streams, lock.error());
    // An editing command works on a file that exists; it never makes one.
    {
        ReadableFile file;
        Status opened = file.open(target.path);
        if (opened) opened = checkLabelFileLength(target.path, file.length());
        if (!opened) return fileError(streams, opened.error());
    }
    const unsigned long names = hardLinkCount(target.path);
    if (names > 1 && !target.inPlace)
        return fileError(streams,
                         Error{target.path, "the file has " + std::to_string(names) +
                                                " names (hard links); a save would give this "
                                                "name a file of its own and leave the others "
                                                "with the old labels (--in-place writes it in "
                                                "place, the old, unsafe way)"});
    PageState state;
    state.CurrentFileName = target.path;
    MemoryPage page = MemoryPage::forLabelType(target.labelType);
    Status shown = showPage(state, page, target.labelType, target.pageNumber);
    if (!shown) return fileError(streams, shown.error());

    std::string report = describe(page);
    Status checked = checkPageCanBeSaved(page, target.labelType, edit, target.path);
    if (!checked) return refused(streams, checked.error().reason);
    SaveOptions options;
    options.inPlace = target.inPlace && names > 1;
    Result<SaveOutcome> saved =
        SaveLabelFile(state, page, target.labelType, edit, target.path, options);
    if (!saved) return fileError(streams, saved.error());
    streams.out << report << "\n";
    return kExitDone;
}

}  // namespace lm::cli

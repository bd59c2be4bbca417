#include "cli/editsession.h"

#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/readablefile.h"

namespace lm::cli {

std::vector<OptionSpec> editOptions(std::vector<OptionSpec> own) {
    std::vector<OptionSpec> options = {{"--type", true}, {"--page", true}, {"--label", true}};
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
    // An editing command works on a file that exists; it never makes one.
    {
        ReadableFile file;
        Status opened = file.open(target.path);
        if (opened) opened = checkLabelFileLength(target.path, file.length());
        if (!opened) return fileError(streams, opened.error());
    }
    PageState state;
    state.CurrentFileName = target.path;
    MemoryPage page = MemoryPage::forLabelType(target.labelType);
    Status shown = showPage(state, page, target.labelType, target.pageNumber);
    if (!shown) return fileError(streams, shown.error());

    std::string report = describe(page);
    Status checked = checkPageCanBeSaved(page, target.labelType, edit, target.path);
    if (!checked) return refused(streams, checked.error().reason);
    Result<SaveOutcome> saved = SaveLabelFile(state, page, target.labelType, edit, target.path);
    if (!saved) return fileError(streams, saved.error());
    streams.out << report << "\n";
    return kExitDone;
}

}  // namespace lm::cli

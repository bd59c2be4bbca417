#include <iostream>

#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "cli/guisession.h"
#include "cli/sheetsettings.h"
#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/readablefile.h"
#include "paint/labelsheet.h"
#include "paint/sheetcheck.h"

namespace lm::cli {
namespace {

const char* kName = "check";
// Problems were found: the file would not print as it shows.
constexpr int kExitProblems = 4;

void printProblem(std::ostream& out, bool json, int page, const LabelProblem& problem,
                  const std::string& textBytes) {
    const std::string kind = problemName(problem.kind).toStdString();
    if (json) {
        out << "{\"page\":" << page << ",\"set\":" << problem.set << ",\"label\":\""
            << problem.label.toStdString() << "\",\"problem\":\"" << kind
            << "\",\"text\":" << jsonString(textBytes) << "}\n";
        return;
    }
    out << "page " << page << ", set " << problem.set << " (row " << problem.row << ", column "
        << problem.column << "), " << problem.label.toStdString() << ": " << kind << ": "
        << problem.description.toStdString() << " " << jsonString(textBytes) << "\n";
}

int runCheck(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed =
        ParsedArguments::parse(args, {{"--type", true}, {"--json", false}}, 1, problem);
    if (!parsed) return usageError(streams, kName, problem);
    const std::string& labelPath = parsed->positionals()[0];
    const bool json = parsed->has("--json");

    Result<Settings> settings = operatorSettings();
    if (!settings) return fileError(streams, settings.error());
    int labelType = settings->LabelType;
    if (parsed->has("--type")) {
        std::optional<int> chosen = labelTypeOption(*parsed, streams, kName);
        if (!chosen) return kExitRefused;
        labelType = *chosen;
    } else if (!labelTypeInfo(labelType)) {
        return usageError(streams, kName,
                          "the settings file names label type " + std::to_string(labelType) +
                              ", which is not 1 to 10; give --type");
    }
    const Settings sheetSettings = settingsForSheet(*settings, labelType);

    ReadableFile file;
    Status opened = file.open(labelPath);
    if (opened) opened = checkLabelFileLength(labelPath, file.length());
    if (!opened) return fileError(streams, opened.error());

    GuiSession gui;
    if (!gui.ok())
        return fileError(streams, Error{labelPath,
                                        "the program runs without Qt Gui, which laying out "
                                        "the labels needs"});

    // Page by page, as the window pages and Print All prints.
    PageState state;
    state.CurrentFileName = labelPath;
    MemoryPage page = MemoryPage::forLabelType(labelType);
    std::int64_t start = 1;
    int pageNumber = 0;
    int problems = 0;
    do {
        page.clear();
        state.PageStarts.forget();
        state.PageStartPosition = static_cast<std::int32_t>(start);
        Status read = ReadLabelFile(state, page, labelType, labelPath, state.PageStartPosition);
        if (!read) return fileError(streams, read.error());
        if (start > state.LabelFileLength || page.lastSpineIndex() < 2) break;
        ++pageNumber;
        for (const LabelProblem& found : checkSheet(labelSheet(sheetSettings, labelType, page))) {
            const int last = found.pocket ? page.lastPocketIndex() : page.lastSpineIndex();
            const std::string bytes =
                found.element > last ? std::string()
                                     : (found.pocket ? page.pocketText(found.element)
                                                     : page.spineText(found.element));
            printProblem(streams.out, json, pageNumber, found, bytes);
            ++problems;
        }
        if (state.PageEndPosition < start) break;
        start = std::int64_t(state.PageEndPosition) + 1;
    } while (start <= state.LabelFileLength);
    streams.out.flush();
    if (!json)
        streams.err << labelPath << ": " << pageNumber << (pageNumber == 1 ? " page" : " pages")
                    << " checked, " << problems << (problems == 1 ? " problem" : " problems")
                    << "\n";
    return problems > 0 ? kExitProblems : kExitDone;
}

}  // namespace

CliCommand checkCommand() {
    return {kName, "check that every label of a label file prints as it shows",
            "Usage: labelmaker-cli check [--type N] [--json] LABELFILE\n"
            "Checks every page of LABELFILE, as Print All prints it, for labels that would\n"
            "not print as they show, and prints one line per problem:\n"
            "  overflow            the text does not fit its label: lines below the bottom,\n"
            "                      or a word broken inside itself\n"
            "  missing-character   the label's font cannot draw a character, so another font\n"
            "                      would stand in\n"
            "  blank               a blank label set still holds \"<Blank>\", which prints\n\n"
            "Each line names the page (from 1), the set's place on its page in fill order\n"
            "(from 1), its row and column on the sheet, and the label of the set (spine,\n"
            "spine2, pocket1, pocket2), then the problem and the label's text.\n\n"
            "  --json     one JSON object per line instead:\n"
            "             {\"page\":1,\"set\":3,\"label\":\"spine\",\"problem\":\"overflow\",\"text\":\"...\"}\n"
            "  --type N   check as label type N (1 to 10) instead of the settings' type.\n\n"
            "The labels take the fonts, alignment and margins of the settings file\n"
            "($QORTEX_DIR/$$$set.val, else ~/qortex/$$$set.val), or the defaults.\n"
            "Exit status: 0 no problems, 4 problems found, 1 a file could not be read (the\n"
            "label file or the settings file), 2 bad arguments.\n",
            runCheck};
}

}  // namespace lm::cli

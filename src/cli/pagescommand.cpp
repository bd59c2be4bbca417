#include <ostream>

#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "core/readablefile.h"

namespace lm::cli {
namespace {

const char* kName = "pages";

void printJsonArray(std::ostream& out, const char* key, const LabelPage& page, bool pocket) {
    out << "\"" << key << "\":[";
    int last = pocket ? page.lastPocketIndex() : page.lastSpineIndex();
    for (int i = 2; i <= last; ++i) {
        if (i > 2) out << ",";
        out << jsonString(pocket ? page.pocketText(i) : page.spineText(i));
    }
    out << "]";
}

void printPage(std::ostream& out, bool json, int number, const PageState& state,
               const LabelPage& page) {
    if (json) {
        out << "{\"page\":" << number << ",\"start\":" << state.PageStartPosition
            << ",\"end\":" << state.PageEndPosition << ",";
        printJsonArray(out, "spine", page, false);
        out << ",";
        printJsonArray(out, "pocket", page, true);
        out << "}\n";
        return;
    }
    out << "Page " << number << ": bytes " << state.PageStartPosition << " to "
        << state.PageEndPosition << "\n";
    for (int i = 2; i <= page.lastSpineIndex(); ++i)
        if (!page.spineText(i).empty())
            out << "  spine " << i << ": " << jsonString(page.spineText(i)) << "\n";
    for (int i = 2; i <= page.lastPocketIndex(); ++i)
        if (!page.pocketText(i).empty())
            out << "  pocket " << i << ": " << jsonString(page.pocketText(i)) << "\n";
}

int runPages(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed =
        ParsedArguments::parse(args, {{"--type", true}, {"--json", false}}, 1, problem);
    if (!parsed) return usageError(streams, kName, problem);
    std::optional<int> labelType = labelTypeOption(*parsed, streams, kName);
    if (!labelType) return kExitRefused;
    const std::string& path = parsed->positionals()[0];

    // Listing never creates a file, as the window's reading would.
    {
        ReadableFile file;
        Status opened = file.open(path);
        if (opened) opened = checkLabelFileLength(path, file.length());
        if (!opened) return fileError(streams, opened.error());
    }
    const bool json = parsed->has("--json");
    PageState state;
    state.CurrentFileName = path;
    MemoryPage page = MemoryPage::forLabelType(*labelType);
    int number = 1;
    std::int64_t start = 1;
    do {
        page.clear();
        state.PageStartPosition = static_cast<std::int32_t>(start);
        Status read = ReadLabelFile(state, page, *labelType, path, state.PageStartPosition);
        if (!read) return fileError(streams, read.error());
        if (start > state.LabelFileLength) break;  // an empty file has no page with a byte
        printPage(streams.out, json, number++, state, page);
        start = std::int64_t(state.PageEndPosition) + 1;
    } while (start <= state.LabelFileLength);
    streams.out.flush();
    return kExitDone;
}

}  // namespace

CliCommand pagesCommand() {
    return {kName, "list the pages of a label file with their byte positions and texts",
            "Usage: labelmaker-cli pages --type N [--json] LABELFILE\n"
            "Lists every page of LABELFILE that holds at least one byte, as the window pages\n"
            "through it for label type N (1 to 10): the page number, its first and last byte\n"
            "positions and its texts by label control.\n\n"
            "  --type N   label type: 1 sp1, 2 sp2, 3 sl4, 4 sl6, 5 slb, 6 slb2, 7 spa,\n"
            "             8 sp1/sp2-f2, 9 Mailer-1, 10 sp1/sp2-f3\n"
            "  --json     one JSON object per page and line:\n"
            "             {\"page\":1,\"start\":1,\"end\":120,\"spine\":[...],\"pocket\":[...]}\n"
            "             \"spine\" holds spine controls 2 up to the last, \"pocket\" the pocket\n"
            "             controls, \"\" where the page has no text.\n\n"
            "Exit status: 0 done, 1 the file could not be read, 2 bad arguments.\n",
            runPages};
}

}  // namespace lm::cli

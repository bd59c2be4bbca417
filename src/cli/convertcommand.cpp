#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "cli/exportinput.h"
#include "core/importconvert.h"
#include "core/labeltypes.h"

namespace lm::cli {
namespace {

const char* kName = "convert";

int runConvert(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed = ParsedArguments::parse(
        args, {{"--type", true}}, 2, problem, "EXPORT and LABELFILE are both needed");
    if (!parsed) return usageError(streams, kName, problem);
    std::optional<int> labelType = labelTypeOption(*parsed, streams, kName);
    if (!labelType) return kExitRefused;
    const std::string& exportPath = parsed->positionals()[0];
    const std::string& labelPath = parsed->positionals()[1];

    // The window's import gives Mailer-1 an empty label file; from a script
    // that would pass for a conversion that worked.
    if (*labelType == kMailer1)
        return refusedInput(streams, kName,
                            "Mailer-1 labels cannot be imported from an export (the exports "
                            "have no layout for them); nothing was written");
    Result<ExportContent> content = exportContent(exportPath);
    if (!content) return fileError(streams, content.error());
    if (*content != ExportContent::Text)
        return refusedInput(streams, kName, exportContentProblem(exportPath, *content));
    if (sameFile(exportPath, labelPath))
        return refusedInput(streams, kName,
                            labelPath +
                                " is the export itself: the label file needs a name of "
                                "its own; nothing was written");

    Result<ConvertSummary> converted = FileConvert(exportPath, *labelType, labelPath);
    if (!converted) return fileError(streams, converted.error());
    streams.out << labelSets(converted->labelsWritten) << " written to " << labelPath << "\n";
    return kExitDone;
}

}  // namespace

CliCommand convertCommand() {
    return {kName, "turn a CatME or Connexion Client export into a label file, as the imports do",
            "Usage: labelmaker-cli convert --type N EXPORT LABELFILE\n"
            "Turns the column export EXPORT (CatME or Connexion Client) into the label file\n"
            "LABELFILE, as \"Import Cat&ME\" and \"Import C&onnexion Client\" do. The export is\n"
            "read as laid out for label type N: one fixed block of lines per label set.\n"
            "LABELFILE is created or replaced, and only once the whole export has been\n"
            "converted: after a failure it is as it was.\n\n"
            "  --type N   label type: 1 sp1, 2 sp2, 3 sl4, 4 sl6, 5 slb, 6 slb2, 7 spa,\n"
            "             8 sp1/sp2-f2, 10 sp1/sp2-f3 (9, Mailer-1, has no export layout)\n\n"
            "Prints the number of label sets written.\n"
            "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments or\n"
            "input refused: Mailer-1, an empty export, an export with NUL bytes (binary or\n"
            "UTF-16), or LABELFILE naming the export itself.\n",
            runConvert};
}

}  // namespace lm::cli

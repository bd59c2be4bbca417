#include "cli/arguments.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "cli/exportinput.h"
#include "core/connexionextract.h"

namespace lm::cli {
namespace {

const char* kName = "extract";

// Some records had no texts to write for the label type ("Invalid Call Index N").
constexpr int kExitRecordsNotWritten = 3;

// Refuses a folder the extract would turn into an empty label file, and
// export files that are not text. Returns the exit status, or nothing to go on.
std::optional<int> checkFolder(const std::string& folder, const std::string& labelPath,
                               CliStreams& streams) {
    Result<std::vector<ExportFile>> listed = listExportFiles(folder);
    if (!listed) return fileError(streams, listed.error());
    int exports = 0;
    for (const ExportFile& file : *listed) {
        // A label file written into the folder by an earlier extract is no export.
        if (sameFile(file.path, labelPath)) continue;
        ++exports;
        Result<ExportContent> content = exportContent(file.path);
        if (!content) return fileError(streams, content.error());
        if (*content == ExportContent::Binary)
            return refusedInput(streams, kName, exportContentProblem(file.path, *content));
    }
    if (exports == 0)
        return refusedInput(streams, kName,
                            folder +
                                " holds no export files (subfolders and hidden files are not "
                                "read); nothing was written");
    return std::nullopt;
}

std::optional<int> checkExport(const std::string& exportPath, const std::string& labelPath,
                               CliStreams& streams) {
    Result<ExportContent> content = exportContent(exportPath);
    if (!content) return fileError(streams, content.error());
    if (*content != ExportContent::Text)
        return refusedInput(streams, kName, exportContentProblem(exportPath, *content));
    if (sameFile(exportPath, labelPath))
        return refusedInput(streams, kName,
                            labelPath +
                                " is the export itself: the label file needs a name of "
                                "its own; nothing was written");
    return std::nullopt;
}

int runExtract(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed = ParsedArguments::parse(
        args, {{"--type", true}, {"--folder", true}, {"--multiple", true}}, 1, problem);
    if (!parsed) return usageError(streams, kName, problem);
    std::optional<int> labelType = labelTypeOption(*parsed, streams, kName);
    if (!labelType) return kExitRefused;
    std::optional<std::string> folder = parsed->value("--folder");
    std::optional<std::string> exportPath = parsed->value("--multiple");
    if (folder && exportPath)
        return usageError(streams, kName, "give either --folder or --multiple, not both");
    if (!folder && !exportPath)
        return usageError(streams, kName, "--folder DIR or --multiple EXPORT is required");
    const std::string& labelPath = parsed->positionals()[0];

    std::optional<int> refusal = folder ? checkFolder(*folder, labelPath, streams)
                                        : checkExport(*exportPath, labelPath, streams);
    if (refusal) return *refusal;
    Result<ExtractSummary> extracted =
        folder ? InfoExtract(*folder, *labelType, labelPath)
               : InfoExtractMultiple(*exportPath, *labelType, labelPath);
    if (!extracted) return fileError(streams, extracted.error());

    for (const std::string& message : extracted->messages) streams.err << message << "\n";
    streams.out << labelSets(extracted->recordsWritten) << " written to " << labelPath << " from "
                << extracted->recordsRead << (extracted->recordsRead == 1 ? " record" : " records")
                << "\n";
    return extracted->messages.empty() ? kExitDone : kExitRecordsNotWritten;
}

}  // namespace

CliCommand extractCommand() {
    return {
        kName, "turn Connexion label exports into a label file, as Import Connexion Web does",
        "Usage: labelmaker-cli extract --type N --folder DIR LABELFILE\n"
        "       labelmaker-cli extract --type N --multiple EXPORT LABELFILE\n"
        "Turns Connexion label exports into the label file LABELFILE, one label set per\n"
        "record, with the texts label type N takes, as the \"Import C&onnexion Web\" commands\n"
        "do:\n"
        "  --folder DIR       every file of DIR is one record (\"Lable file for &one record\");\n"
        "                     files are read oldest first; subfolders and hidden files are\n"
        "                     not read\n"
        "  --multiple EXPORT  EXPORT holds records of nine lines each (\"Label file for\n"
        "                     &multiple records\"); blank lines between records are skipped,\n"
        "                     an unfinished last record is dropped\n"
        "  --type N           label type 1 to 10; records are written for 1 sp1, 2 sp2,\n"
        "                     3 sl4, 4 sl6, 5 slb, 6 slb2, and 10 sp1/sp2-f3 with --multiple\n\n"
        "LABELFILE is created or replaced, and only once the whole extract has been done:\n"
        "after a failure it is as it was. Prints the number of label sets written; for every\n"
        "record not written, \"Invalid Call Index N\" goes to standard error.\n\n"
        "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments or\n"
        "input refused (a folder without export files, an empty export, an export with NUL\n"
        "bytes, LABELFILE naming the export itself), 3 done, but records were not written\n"
        "because label type N has no texts for them.\n",
        runExtract};
}

}  // namespace lm::cli

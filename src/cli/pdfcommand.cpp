#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <memory>

#include "cli/arguments.h"
#include "cli/bytenamedfile.h"
#include "cli/clicommand.h"
#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "cli/exportinput.h"
#include "cli/guisession.h"
#include "cli/storedcalibration.h"
#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/readablefile.h"
#include "core/settings.h"
#include "core/startposition.h"
#include "paint/labelsheet.h"
#include "paint/pdfsheetwriter.h"
#include "paint/shiftedsheets.h"

namespace lm::cli {
namespace {

const char* kName = "pdf";

// The settings file's record, or the defaults when there is none. The tool
// only reads the operator's settings: it never creates the file.
Result<Settings> operatorSettings() {
    const std::string path = settingsFilePath();
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return defaultSettings();
    return readSettingsFile(path);
}

// sp1 and sp2 are printed on one sheet.
bool sameSheet(int a, int b) {
    auto sp1OrSp2 = [](int type) { return type == kSp1 || type == kSp2; };
    return a == b || (sp1OrSp2(a) && sp1OrSp2(b));
}

// The page margins of the settings place the labels of the settings' own
// label type on its sheet. Another sheet has its label positions elsewhere,
// so it starts from its own margins, as choosing that type in Setup gives;
// fonts, alignment and the labels' inner margins stay the operator's.
Settings settingsForSheet(Settings settings, int labelType) {
    if (sameSheet(settings.LabelType, labelType)) return settings;
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    settings.PageTopMargin = info->defaultTopMargin;
    settings.PageLeftMargin = info->defaultLeftMargin;
    settings.LabelType = labelType;
    return settings;
}

// Refuses a label file that cannot be read or holds no complete label.
// Returns the exit status, or nothing to go on.
std::optional<int> checkLabelFile(const std::string& path, CliStreams& streams) {
    ReadableFile file;
    Status opened = file.open(path);
    if (opened) opened = checkLabelFileLength(path, file.length());
    if (!opened) return fileError(streams, opened.error());
    LabelTextReader reader(file, 1);
    Result<bool> hasLabel = reader.skip();
    if (!hasLabel) return fileError(streams, hasLabel.error());
    if (!*hasLabel)
        return refusedInput(streams, kName, path + " holds no labels; no PDF was written");
    return std::nullopt;
}

int runPdf(const std::vector<std::string>& args, CliStreams& streams) {
    std::string problem;
    std::optional<ParsedArguments> parsed = ParsedArguments::parse(
        args,
        {{"--type", true}, {"--start", true}, {"--outlines", false}, {"--calibration", true}}, 2,
        problem, "LABELFILE and OUT.pdf are both needed");
    if (!parsed) return usageError(streams, kName, problem);
    const std::string& labelPath = parsed->positionals()[0];
    const std::string& pdfPath = parsed->positionals()[1];

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
    int startPosition = 1;
    if (std::optional<std::string> text = parsed->value("--start")) {
        std::optional<long long> value = digitsValue(*text);
        const std::string refused =
            value && *value <= 32767 ? startPositionProblem(labelType, int(*value))
                                     : std::string("that is not a label number");
        if (!refused.empty()) return usageError(streams, kName, "--start " + *text + ": " + refused);
        startPosition = static_cast<int>(*value);
    }
    SheetPaintOptions paint;
    paint.outlines = parsed->has("--outlines");
    // A PDF goes to no printer of its own: it is corrected only for the
    // printer it is meant for.
    if (std::optional<std::string> printer = parsed->value("--calibration")) {
        std::optional<PrintCalibration> calibration = printerCalibration(*printer, streams, kName);
        if (!calibration) return kExitRefused;
        paint.calibration = *calibration;
    }

    if (std::optional<int> refusal = checkLabelFile(labelPath, streams)) return *refusal;
    if (sameFile(labelPath, pdfPath))
        return refusedInput(streams, kName,
                            pdfPath + " is the label file itself; no PDF was written");

    GuiSession gui;
    if (!gui.ok())
        return fileError(streams, Error{pdfPath,
                                        "the program runs without Qt Gui, which "
                                        "drawing the labels needs"});
    // A name that is no UTF-8 text reaches its file through its bytes.
    const bool textName = ByteNamedFile::nameIsText(pdfPath);
    ByteNamedFile byteNamed(pdfPath);
    if (!textName) {
        if (Status opened = byteNamed.openForWriting(); !opened)
            return fileError(streams, opened.error());
    }
    auto pdfError = [&](Error error) {
        if (error.path.empty()) error.path = pdfPath;
        return fileError(streams, error);
    };
    std::unique_ptr<PdfSheetWriter> pdf =
        textName ? std::make_unique<PdfSheetWriter>(QFile::decodeName(pdfPath.c_str()))
                 : std::make_unique<PdfSheetWriter>(&byteNamed);
    PdfSheetWriter& writer = *pdf;
    writer.setTitle(QFileInfo(QFile::decodeName(labelPath.c_str())).fileName());
    writer.setPaintOptions(paint);
    // From a later start position the pages' label sets flow on across the
    // sheets; the first position prints each page on its own sheet.
    ShiftedSheets shifted(startPosition);
    auto addPage = [&](const LabelSheet& page) -> Status {
        if (startPosition == 1) return writer.addSheet(page);
        for (const LabelSheet& sheet : shifted.add(page))
            if (Status added = writer.addSheet(sheet); !added) return added;
        return {};
    };

    // Pages as the window pages through the file: each starts right after the
    // last byte of the one before. One page is in memory at a time.
    PageState state;
    state.CurrentFileName = labelPath;
    MemoryPage page = MemoryPage::forLabelType(labelType);
    std::int64_t start = 1;
    do {
        page.clear();
        // Nothing pages back here: no need to remember every page's start.
        state.PageStarts.forget();
        state.PageStartPosition = static_cast<std::int32_t>(start);
        Status read = ReadLabelFile(state, page, labelType, labelPath, state.PageStartPosition);
        if (!read) return fileError(streams, read.error());
        if (start > state.LabelFileLength) break;
        Status added = addPage(labelSheet(sheetSettings, labelType, page));
        if (!added) return pdfError(added.error());
        start = std::int64_t(state.PageEndPosition) + 1;
    } while (start <= state.LabelFileLength);
    if (startPosition > 1)
        if (std::optional<LabelSheet> last = shifted.finish())
            if (Status added = writer.addSheet(*last); !added) return pdfError(added.error());

    Status finished = writer.finish();
    if (!finished) return pdfError(finished.error());
    if (!textName) {
        if (Status committed = byteNamed.commit(); !committed) return pdfError(committed.error());
    }
    const int sheets = writer.sheetCount();
    streams.out << sheets << (sheets == 1 ? " sheet" : " sheets") << " written to " << pdfPath
                << "\n";
    return kExitDone;
}

}  // namespace

CliCommand pdfCommand() {
    return {kName, "write every page of a label file as a PDF, one page per label sheet",
            "Usage: labelmaker-cli pdf [--type N] [--start N] [--outlines]\n"
            "                          [--calibration PRINTER] LABELFILE OUT.pdf\n"
            "Writes every page of LABELFILE, as the window pages through it, into OUT.pdf: one\n"
            "PDF page per label sheet, the size of the sheet (US Letter; 12960 x 7920 twips for\n"
            "Mailer-1), each label where Print All puts it, measured from the page's top-left\n"
            "corner. The last page's empty positions stay blank.\n\n"
            "The labels take the fonts, alignment, label type and margins of the settings\n"
            "file ($QORTEX_DIR/$$$set.val, else ~/qortex/$$$set.val). Without a settings file\n"
            "the defaults are used (Times New Roman 11 and 12 point, Left, sp1); none is\n"
            "created.\n\n"
            "  --type N   print as label type N (1 to 10) instead of the settings' type. For a\n"
            "             type on another sheet than the settings' (sp1 and sp2 share one), the\n"
            "             page margins are that type's defaults; fonts, alignment and the\n"
            "             labels' inner left margins stay the settings'.\n"
            "  --start N  start at label N of the first sheet, for a sheet that is partly\n"
            "             used: labels count row by row, left to right, from 1 to the sheet's\n"
            "             number of label sets (Mailer-1: 1 only). The label sets move N - 1\n"
            "             places on and flow on across the sheets, so every sheet but the\n"
            "             first and the last is full.\n"
            "  --outlines print every label's outline too, for a test on plain paper held\n"
            "             over a label sheet against the light.\n"
            "  --calibration PRINTER\n"
            "             correct every position by PRINTER's stored calibration (see\n"
            "             labelmaker-cli calibrate), for a PDF to be printed on PRINTER at\n"
            "             actual size. Without it a PDF has no calibration.\n\n"
            "OUT.pdf is created or replaced only once every sheet is written: after a failure\n"
            "an existing file is as it was. Prints the number of sheets written.\n"
            "Exit status: 0 done, 1 a file could not be read or written (the label file, the\n"
            "settings file or OUT.pdf), 2 bad arguments or input refused: a label file that\n"
            "holds no complete label (no PDF is written), OUT.pdf naming the label file, or a\n"
            "start position the sheet does not have, or a PRINTER without a stored\n"
            "calibration.\n",
            runPdf};
}

}  // namespace lm::cli

#include "import/connexionweb.h"

#include <algorithm>

#include "app/windowcontext.h"
#include "core/connexionextract.h"
#include "core/exportcontent.h"
#include "core/workfolder.h"
#include "import/fileextractform.h"
#include "import/importprogress.h"
#include "import/importreport.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/loadcommands.h"
#include "store/savecommands.h"

namespace lm {
namespace {

// A folder of a thousand records for a type without texts would otherwise
// mean a thousand identical boxes to click away; the first few say what is
// wrong, a last one how often.
constexpr std::size_t kSeparateRecordMessages = 5;

std::optional<std::string> finishExtract(WindowContext& window, const QString& what,
                                         const std::string& input,
                                         const Result<ExtractSummary>& extracted,
                                         const std::string& output) {
    if (!extracted) {
        reportFileError(window, what, input, extracted.error());
        return std::nullopt;
    }
    if (extracted->cancelled) return std::nullopt;
    showRecordMessages(window.dialogs(), extracted->messages);
    if (extracted->recordsWritten == 0) {
        reportNothingImported(window, fromFilePath(input));
        return std::nullopt;
    }
    reportImported(window, extracted->recordsWritten, fromFilePath(input));
    return output;
}

}  // namespace

void showRecordMessages(Dialogs& dialogs, const std::vector<std::string>& messages) {
    const std::size_t separate = std::min(messages.size(), kSeparateRecordMessages);
    for (std::size_t i = 0; i < separate; ++i) dialogs.message(QString::fromStdString(messages[i]));
    if (messages.size() <= separate) return;
    const std::size_t more = messages.size() - separate;
    dialogs.message(QStringLiteral("%1\r\n\r\n%2 more records were not written for the same "
                                   "reason.")
                        .arg(QString::fromStdString(messages.back()))
                        .arg(more));
}

std::optional<std::string> extractFolder(WindowContext& window, QWidget* parent,
                                         const std::string& folder, int callIndex) {
    const std::string output = workFilePath(newFileName(callIndex));
    Result<ExtractSummary> extracted = Error{};
    if (Status checked = checkTextExports(folder); !checked) {
        extracted = checked.error();
    } else {
        BusyCursor busy;
        ImportProgress progress(
            parent, QStringLiteral("Extracting the labels of %1").arg(fromFilePath(folder)));
        extracted =
            InfoExtract(folder, callIndex, output, progress.callback(), EmptyOutput::KeepPrevious);
    }
    return finishExtract(window,
                         QStringLiteral("The labels of the folder %1 could not be extracted.")
                             .arg(fromFilePath(folder)),
                         folder, extracted, output);
}

std::optional<std::string> extractMultiple(WindowContext& window, const std::string& exportFile,
                                           int callIndex) {
    const std::string output = workFilePath(newFileMultipleName(callIndex));
    Result<ExtractSummary> extracted = Error{};
    if (Status checked = checkTextExport(exportFile); !checked) {
        extracted = checked.error();
    } else {
        BusyCursor busy;
        ImportProgress progress(
            window.window(),
            QStringLiteral("Extracting the labels of %1").arg(fromFilePath(exportFile)));
        extracted = InfoExtractMultiple(exportFile, callIndex, output, progress.callback(),
                                        EmptyOutput::KeepPrevious);
    }
    return finishExtract(window,
                         QStringLiteral("The labels of the file %1 could not be extracted.")
                             .arg(fromFilePath(exportFile)),
                         exportFile, extracted, output);
}

void mnuImport_ConnItem_Click(WindowContext& window) {
    if (!askToSaveChangedPage(window)) return;
    std::string extracted;
    {
        FileExtractForm form(window, window.window());
        form.setCallIndex(window.state().LabelType());
        form.exec();
        extracted = form.OutFileName();
    }
    if (extracted.empty()) return;
    showLoadedFile(window, extracted);
}

void mnuImport_ConnItem2_Click(WindowContext& window) {
    if (!askToSaveChangedPage(window)) return;
    std::optional<QString> chosen =
        window.dialogs().openFileName(kConnexionDialogTitle, kConnexionDialogFilter);
    if (!chosen) return;
    std::optional<std::string> extracted =
        extractMultiple(window, toFilePath(*chosen), window.state().LabelType());
    if (extracted) showLoadedFile(window, *extracted);
}

}  // namespace lm

#include "import/exportimport.h"

#include "app/windowcontext.h"
#include "core/exportcontent.h"
#include "core/importconvert.h"
#include "core/workfolder.h"
#include "import/importprogress.h"
#include "import/importreport.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"
#include "store/loadcommands.h"
#include "store/savecommands.h"

namespace lm {
namespace {

void importExport(WindowContext& window, const QString& dialogTitle) {
    if (!askToSaveChangedPage(window)) return;
    std::optional<QString> chosen = window.dialogs().openFileName(dialogTitle, kExportDialogFilter);
    if (!chosen) return;

    const std::string exportFile = toFilePath(*chosen);
    const std::string output = workFilePath(kImportResultFile);
    Result<ConvertSummary> converted = Error{};
    if (Status checked = checkTextExport(exportFile); !checked) {
        reportFileError(window, QStringLiteral("The file %1 could not be imported.").arg(*chosen),
                        exportFile, checked.error());
        return;
    }
    {
        BusyCursor busy;
        ImportProgress progress(window.window(), QStringLiteral("Importing %1").arg(*chosen));
        converted = FileConvert(exportFile, window.state().LabelType(), output, progress.callback(),
                                EmptyOutput::KeepPrevious);
    }
    if (!converted) {
        reportFileError(window, QStringLiteral("The file %1 could not be imported.").arg(*chosen),
                        exportFile, converted.error());
        return;
    }
    if (converted->cancelled) return;
    if (converted->labelsWritten == 0) {
        reportNothingImported(window, *chosen);
        return;
    }
    showLoadedFile(window, output);
    reportImported(window, converted->labelsWritten, *chosen);
}

}  // namespace

void mnuFile_Import_Click(WindowContext& window) {
    importExport(window, kCatMeDialogTitle);
}

void mnuImportConnexionClient_Click(WindowContext& window) {
    importExport(window, kConnexionClientDialogTitle);
}

}  // namespace lm

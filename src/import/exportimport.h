#pragma once

#include <QString>

namespace lm {

class WindowContext;

// The open dialogs of the column-export imports.
inline const QString kCatMeDialogTitle = QStringLiteral("Import CatME Label File");
inline const QString kConnexionClientDialogTitle =
    QStringLiteral("Import Connecxion Client Label File");
inline const QString kExportDialogFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat;*.txt|All Files (*.*)|*.*");

// File, Import CatME and Import Connexion Client: they differ only in the
// dialog's title. The save question (Cancel, or a Save As that did not save,
// ends the command), the open dialog (Cancel ends it), then FileConvert of
// the chosen export for the current label type into the working folder's
// import result, whose page 1 is then shown with two spaces before "(Page".
// A large export shows a progress window whose Cancel ends the command with
// nothing changed. A conversion that fails is reported with its reason and
// leaves the page, the file on display and the previous import result as
// they were.
void mnuFile_Import_Click(WindowContext& window);
void mnuImportConnexionClient_Click(WindowContext& window);

}  // namespace lm

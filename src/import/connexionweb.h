#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace lm {

class Dialogs;
class WindowContext;

// The open dialog of "Label file for multiple records".
inline const QString kConnexionDialogTitle = QStringLiteral("Import Connexion Label File");
inline const QString kConnexionDialogFilter =
    QStringLiteral("Label Files (*.dat;*.txt)|*.dat;*.txt|All Files (*.*)|*.*");

// File, Import Connexion Web, Lable file for one record: the save question
// (a changed page is never dropped without it), then FileExtractForm for the
// current label type. Apply extracts the chosen folder and its label file is
// shown, page 1; closing the form without Apply leaves everything, the file
// name on display included, as it was.
void mnuImport_ConnItem_Click(WindowContext& window);

// File, Import Connexion Web, Label file for multiple records: the save
// question, the open dialog, the extract of the chosen file's nine-line
// records, and its label file shown on page 1.
void mnuImport_ConnItem2_Click(WindowContext& window);

// The extracts as the window runs them: into the working folder's
// NewFile_N.dat or NewFileMultiple_N.dat, with a progress window for large
// input (`parent` is its owner), then the "Invalid Call Index N" messages.
// The label file written, or nullopt when nothing was written: the failure
// has been reported, or the operator cancelled; the previous output is then
// intact.
std::optional<std::string> extractFolder(WindowContext& window, QWidget* parent,
                                         const std::string& folder, int callIndex);
std::optional<std::string> extractMultiple(WindowContext& window, const std::string& exportFile,
                                           int callIndex);

// One box per record that was not written, but at most a handful: after
// those, one box says how many more there were.
void showRecordMessages(Dialogs& dialogs, const std::vector<std::string>& messages);

}  // namespace lm

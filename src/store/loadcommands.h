#pragma once

#include <QString>

#include <string>

namespace lm {

class WindowContext;

// The Open dialog of Load.
inline const QString kOpenDialogTitle = QStringLiteral("Open Label File");
inline const QString kOpenDialogFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*");

// File, Load Label File: the save question, the Open dialog (Cancel ends the
// command), then showLoadedFile with the chosen path. Import PFW runs it too.
void mnuFile_Load_Click(WindowContext& window);

// Shows page 1 of `path` as the current file: the page emptied and filled,
// laid out at ZoomValue, PageNumber 1, the title with two spaces before
// "(Page", PageChanged false. A missing file is created empty. A file that
// cannot be read is reported in a critical box with its reason, and the page
// and the file on display stay as they were; returns false then. Load and
// the import commands call this; it asks no save question itself.
bool showLoadedFile(WindowContext& window, const std::string& path);

}  // namespace lm

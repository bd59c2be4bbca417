#pragma once

#include <QString>

#include <string>

namespace lm {

class WindowContext;

// The Save dialog of Save As and of closing the window.
inline const QString kSaveDialogTitle = QStringLiteral("Save Label File");
inline const QString kSaveDialogFilter =
    QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*");

// The question before a changed page is left.
inline const QString kPageChangedQuestion =
    QStringLiteral("This page has been changed. Do you want to save the change(s)?");

// File, Save: writes the page on display into CurrentFileName, or runs Save
// As when no file is open. The pending edit of the state applies while the
// page is written; when it moves the page boundaries the same page number is
// read again, laid out at ZoomValue and titled with two spaces. Returns true
// when the page was saved, and only then clears PageChanged: a cancelled or
// failed Save As, or a failed save (reported in a critical box with the path
// and the reason), leaves the page, the file and PageChanged as they were.
// Page moves and the edit commands call this.
bool mnuFile_Save_Click(WindowContext& window);

// File, Save Label File As: asks for a name in the Save dialog and writes the
// page into it, which becomes CurrentFileName; title with one space before
// "(Page", PageChanged false. With Batch printing the working file's name is
// refused (letter case aside) and the dialog comes back. Returns false when
// the dialog was cancelled or the save failed (reported); nothing has changed
// then.
bool saveAs(WindowContext& window);

// The save question of New, Load, Exit, the imports and Print All. With
// PageChanged false it asks nothing and returns true. Otherwise it asks
// kPageChangedQuestion (Yes, No, Cancel): No returns true; Yes runs Save As
// and returns whether that saved; Cancel returns false. False means the
// command must end without changing anything.
bool askToSaveChangedPage(WindowContext& window);

// Closing the main window: true when it may close. A changed page is offered
// for saving (Yes, No, Cancel); Yes shows the Save dialog (no reserved-name
// test) and saves with one space in the title; a cancelled dialog or a failed
// save keeps the window open, as Cancel does.
bool mayCloseWindow(WindowContext& window);

// True when `path` names the working label file of the working folder,
// comparing without regard to letter case.
bool isWorkingLabelFile(const QString& path);

}  // namespace lm

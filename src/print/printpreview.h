#pragma once

#include <QString>

class QPrinter;

namespace lm {

class WindowContext;

// The choice in the preview's tool bar: the page on display, or every page
// of the file as Print All prints it.
inline const QString kPreviewCurrentPage = QStringLiteral("Current Page");
inline const QString kPreviewAllPages = QStringLiteral("All Pages");

// File, Print Preview: Qt's print preview of the page on display (the
// default) or of the whole file, drawn by the sheet painter on `printer` at
// its resolution and printable area. Labels the check before printing
// flags are outlined there, never on paper. The preview's Print button
// closes it and runs Print Current Page or Print All, with their questions.
void printPreview(WindowContext& window, QPrinter& printer);

}  // namespace lm

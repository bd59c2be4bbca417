#pragma once

#include <QString>

#include "paint/sheetpaintoptions.h"

class QPrinter;

namespace lm {

class WindowContext;
struct PrintOptions;

// The choice in the preview's tool bar: the page on display, or every page
// of the file as Print All prints it.
inline const QString kPreviewCurrentPage = QStringLiteral("Current Page");
inline const QString kPreviewAllPages = QStringLiteral("All Pages");

// File, Print Preview: Qt's print preview of the page on display (the
// default) or of the whole file, drawn by the sheet painter on `printer` at
// its resolution and printable area. Labels the check before printing
// flags are outlined there, never on paper. With the option to ask for a
// start position, the sheets start at the position chosen last; the label
// outlines of `paint` show as they print. The preview's Print button closes
// it and runs Print Current Page or Print All, with their questions.
void printPreview(WindowContext& window, QPrinter& printer, PrintOptions& options,
                  const SheetPaintOptions& paint = {});

}  // namespace lm

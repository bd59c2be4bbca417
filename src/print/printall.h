#pragma once

#include <QString>

#include <optional>

#include "paint/sheetpaintoptions.h"

class QPrinter;

namespace lm {

class WindowContext;
struct PrintOptions;

inline const QString kPrintAllQuestion =
    QStringLiteral("All the labels will be printed out. Proceed?");

// Files of at least this many pages show how far Print All has come, with a
// Cancel button.
inline constexpr int kProgressFromPages = 5;

// File, Print All. With no file open it is Print Current Page. Otherwise the
// save question (Cancel, or a Save As that did not save, ends it), then
// kPrintAllQuestion (Yes, No). Yes asks for the start position when
// `options` say so, then prints every page of CurrentFileName, as the file
// holds it, one sheet per page (from a later start position the label sets
// flow on across the sheets instead), drawn with `paint`, laid out at zoom
// 100; the title
// counts the pages as they are printed. Then the page that was on display is
// read again and shown at ZoomValue with its title and PageChanged; texts
// typed on it and not saved (the answer No) are put back on it.
// A file that ends in bytes that are not a complete label prints no empty
// sheet for them. Printing stops at the first failure, which is reported;
// at Cancel or Escape in the progress dialog; and when the file is changed
// by another program during the run, which is reported with the last sheet
// printed, and the page on display is then found afresh by its number.
// Sheets sent to a printer by then stay printed; a PDF file is written only
// by a complete run, so a stopped one leaves the file that was there. The
// progress counts the sheets of the whole file. Returns the number of
// sheets that reached the printer or the PDF, or nothing when none did
// because the command ended early, failed or left the PDF as it was.
std::optional<int> printAllPages(WindowContext& window, QPrinter& printer, PrintOptions& options,
                                 const SheetPaintOptions& paint = {});

}  // namespace lm

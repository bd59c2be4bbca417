#pragma once

#include <QString>

#include <optional>

#include "paint/sheetpaintoptions.h"

class QPrinter;

namespace lm {

class WindowContext;
struct PrintOptions;

inline const QString kPrintPageQuestion =
    QStringLiteral("The page being displayed will be printed out. Proceed?");

// File, Print Current Page: asks kPrintPageQuestion (Yes, No); Yes asks
// for the start position when `options` say so, then prints the page on
// display, with the texts it shows, on one sheet of `printer` (two when its
// sets, moved on to the start position, do not fit on the first), drawn
// with `paint`, laid out at zoom 100 for the printing and at ZoomValue again
// afterwards.
// The file and PageChanged are not touched. A failure is reported.
// Returns the number of sheets printed, or nothing when the command ended
// without printing (the answer No, a failure).
std::optional<int> printCurrentPage(WindowContext& window, QPrinter& printer,
                                    PrintOptions& options, const SheetPaintOptions& paint = {});

// Lays the page out at ZoomValue again unless that is 100.
void restoreZoom(WindowContext& window);

}  // namespace lm

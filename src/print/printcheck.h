#pragma once

#include <QString>

#include "paint/labelsheet.h"

namespace lm {

class LabelPage;
class WindowContext;

// The first words of the problem list the check before printing shows.
inline const QString kPrintProblemsText =
    QStringLiteral("These labels will not print as they show:");

// The check before printing. Each returns true when printing goes on: the
// labels are fine (and nothing is asked), or the operator chose Print Anyway.
// Go to Label shows the label's page with the label selected and, like
// Cancel, ends the command.
//
// The page on display, as its labels show it.
bool checkPageBeforePrinting(WindowContext& window);
// Every page of CurrentFileName as Print All prints it, page by page, with
// a progress dialog and Cancel for a file of many pages (Cancel ends the
// command, nothing printed).
bool checkFileBeforePrinting(WindowContext& window);

// The sheet of a page read from the file, with the label controls' places
// at zoom 100, fonts, alignment, sizes and inner margins, as Print All
// prints it.
LabelSheet fileSheet(WindowContext& window, const LabelPage& page);

}  // namespace lm

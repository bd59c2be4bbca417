#pragma once

#include <QString>

#include <optional>

namespace lm {

class Dialogs;
struct PrintOptions;

inline const QString kStartPositionTitle = QStringLiteral("Start at Label");

// Where on the first sheet a print starts. With the print option to ask for
// it, and on a sheet of more than one set, an input box offers the position
// chosen last (1 when the sheet has no such position); a position the sheet
// does not have is refused with a message and asked again. The choice is kept
// in `options` for the next print. Without the option, 1. Nothing at Cancel.
std::optional<int> askStartPosition(Dialogs& dialogs, PrintOptions& options, int labelType);

}  // namespace lm

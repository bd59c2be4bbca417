#pragma once

#include <QString>

namespace lm {

// What the editing commands say to the operator, word for word.
inline const QString kNoLabelSelectedMessage = QStringLiteral("No label is selected!");
inline const QString kInsertBlankPrompt =
    QStringLiteral("Enter the number of label sets to insert before the selected label set:");
inline const QString kDeleteQuestion =
    QStringLiteral("You want to delete the highlighted label(s). Right?");
// Spelled as the operators have always seen it.
inline const QString kMultipleCopiesDisabledMessage = QStringLiteral("Multilpe Copies is diabled!");

}  // namespace lm

#pragma once

#include <QString>

namespace lm {

class WindowContext;
struct Error;

// Tells the operator, in a critical box titled "Kelvarine Label Maker", what
// could not be done (`what`, a sentence) and why: the error's file and the
// system's reason, as a sentence after an empty line.
void reportFailure(WindowContext& window, const QString& what, const Error& error);

// The message of reportFailure.
QString failureText(const QString& what, const Error& error);

inline const QString kPrintFailed = QStringLiteral("The labels could not be printed.");

}  // namespace lm

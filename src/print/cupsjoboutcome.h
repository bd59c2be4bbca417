#pragma once

#include <QString>

#include <optional>

namespace lm {

// Why CUPS refused the print job Qt last sent from this thread, if it did.
// Qt's print engine hands a document to CUPS when the document ends but keeps
// CUPS's answer to itself; libcups still holds it, as the last error of the
// thread. Nothing when the job was accepted or when Qt does not print
// through CUPS.
std::optional<QString> cupsJobRefusal();

}  // namespace lm

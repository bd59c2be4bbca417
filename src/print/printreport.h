#pragma once

#include <QString>

namespace lm {

// What the status bar says after a print command: `sheets` sent to the
// printer named `destination`, or written into the PDF file at
// `destination` (a full path) when `toFile`.
QString printedMessage(bool toFile, const QString& destination, int sheets);

// The box of the first print into the PDF file the program prints into
// while no printer is installed.
QString noPrinterMessage(const QString& pdfPath);

}  // namespace lm

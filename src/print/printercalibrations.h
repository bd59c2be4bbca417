#pragma once

#include <QString>

#include "core/printcalibration.h"

namespace lm {

class Dialogs;

inline const QString kCalibrationFileUnusable = QStringLiteral(
    "The printer calibration file could not be used; printing goes on without calibration.");

// The stored calibrations as every print finds them: the file is read again
// for each print, so a calibration stored a moment ago applies at once. A
// file that cannot be read or holds no usable values counts as none, and the
// operator is told so once a run (a missing file is just the state before
// the first calibration and is not mentioned).
class PrinterCalibrations {
  public:
    PrintCalibration of(const QString& printer, Dialogs& dialogs);

  private:
    bool m_problemTold = false;
};

}  // namespace lm

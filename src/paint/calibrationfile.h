#pragma once

#include <QString>
#include <map>
#include <optional>

#include "core/printcalibration.h"
#include "core/result.h"

namespace lm {

// The calibration file of the working folder, "calibration.ini": one group
// per printer name (QSettings' INI format, so the group names are escaped as
// QSettings escapes them), each with
//     OffsetXmm, OffsetYmm  where the printer puts the paper's corner, mm
//     ScaleX, ScaleY        how much it stretches what it prints
// It is kept apart from the settings file, whose 21 items keep their format
// and meaning.
inline const QString kCalibrationFileName = QStringLiteral("calibration.ini");

// The file in the working folder.
QString calibrationFilePath();

// What the file holds. A missing file holds nothing and is no problem: that
// is every printer's state before its first calibration. A file that cannot
// be read, or that holds anything but well-formed values within the limits,
// holds nothing either, and `problem` says why.
struct StoredCalibrations {
    std::map<QString, PrintCalibration> printers;
    std::optional<Error> problem;

    std::optional<PrintCalibration> of(const QString& printer) const;
};

StoredCalibrations readCalibrations(const QString& path);

// Writes `calibrations` as the whole file, atomically: the old file stays as
// it was when anything fails. An empty map still writes an empty file.
Status writeCalibrations(const QString& path,
                         const std::map<QString, PrintCalibration>& calibrations);

// Stores `calibration` for `printer`, keeping the other printers' values. A
// file that could not be read is replaced (its problem was reported when it
// was read and it holds nothing usable).
Status storeCalibration(const QString& path, const QString& printer,
                        const PrintCalibration& calibration);

// Removes `printer`'s values; `removed` tells whether there were any.
Status resetCalibration(const QString& path, const QString& printer, bool* removed = nullptr);

}  // namespace lm

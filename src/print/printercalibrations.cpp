#include "print/printercalibrations.h"

#include "paint/calibrationfile.h"
#include "platform/dialogs.h"
#include "print/printfailure.h"

namespace lm {

PrintCalibration PrinterCalibrations::of(const QString& printer, Dialogs& dialogs) {
    const StoredCalibrations stored = readCalibrations(calibrationFilePath());
    if (stored.problem && !m_problemTold) {
        m_problemTold = true;
        dialogs.message(failureText(kCalibrationFileUnusable, *stored.problem), MessageButtons::Ok,
                        MessageIcon::Exclamation);
    }
    return stored.of(printer).value_or(PrintCalibration());
}

}  // namespace lm

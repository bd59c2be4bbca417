#pragma once

#include <memory>

#include "print/printjob.h"

namespace lm {

// The job `job` with its labels starting at `startPosition` of its first
// sheet (see ShiftedSheets); `job` itself for the first position, which
// prints as ever.
std::unique_ptr<PrintJob> startingAt(std::unique_ptr<PrintJob> job, int startPosition);

}  // namespace lm

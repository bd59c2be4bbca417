#pragma once

#include <string>

#include "core/result.h"

namespace lm {

// The counter file of the working folder (kCounterFile): one integer written
// as its decimal digits followed by CR LF. Clear writes 0 into it; Exit reads
// it to decide whether to offer clearing the working file.

// The integer at the start of the file: blanks and tabs may stand around it,
// and whatever follows its line is ignored. A missing file, an empty one, or
// one whose first line is not a whole number is an Error saying why.
Result<long long> readCounterFile(const std::string& path);

// Replaces the file with `value` and CR LF, the old file staying intact on a
// failed write.
Status writeCounterFile(const std::string& path, long long value);

}  // namespace lm

#pragma once

#include <cstdint>
#include <string>

#include "core/result.h"

namespace lm {

// The length in bytes of the working label file ("$$label.dat" in the
// working folder), which is created empty when it is missing. The label type
// and the printing method may only change while it is 0.
Result<std::int64_t> workingFileLength();

// The same for any label file, for tests and other working folders.
Result<std::int64_t> labelFileLength(const std::string& path);

}  // namespace lm

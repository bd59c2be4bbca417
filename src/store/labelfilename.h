#pragma once

#include <QString>

namespace lm {

// The name a label file is saved under: `typed` with ".dat" added when its
// file name has no suffix, as the save dialog offers label files and Load's
// filter would otherwise not show the file just saved. A name with any
// suffix, or a leading dot, is kept as typed.
QString withLabelFileSuffix(const QString& typed);

}  // namespace lm

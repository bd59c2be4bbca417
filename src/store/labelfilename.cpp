#include "store/labelfilename.h"

#include <QFileInfo>

namespace lm {

QString withLabelFileSuffix(const QString& typed) {
    // The file name only: a dot in a folder's name is no suffix.
    if (QFileInfo(typed).fileName().contains(QLatin1Char('.'))) return typed;
    return typed + QStringLiteral(".dat");
}

}  // namespace lm

#pragma once

#include <QString>
#include <QStringList>

namespace lm {

// Turns a Windows-style filter, "Label Files (*.dat; *.txt)|*.dat; *.txt|All
// Files (*.*)|*.*", into Qt name filters, "Label Files (*.dat *.txt)" and
// "All Files (*)". "*.*" means every file, as it does on Windows.
QStringList qtNameFilters(const QString& windowsFilter);

// The suffix of the filter's first pattern ("dat" for the filter above), or
// an empty string when that pattern names no suffix ("*.*").
QString defaultSuffix(const QString& windowsFilter);

}  // namespace lm

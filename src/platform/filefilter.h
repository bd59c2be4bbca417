#pragma once

#include <QString>
#include <QStringList>

namespace lm {

// Turns a Windows-style filter, "Label Files (*.dat; *.txt)|*.dat; *.txt|All
// Files (*.*)|*.*", into Qt name filters, "Label Files (*.dat *.txt)" and
// "All Files (*)". "*.*" means every file, as it does on Windows.
QStringList qtNameFilters(const QString& windowsFilter);

}  // namespace lm

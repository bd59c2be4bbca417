#pragma once

#include <QString>

namespace lm {

class WindowContext;

// After an import or extract that wrote `sets` label sets: "N label sets
// imported from SOURCE" in the status bar, SOURCE being the export file or
// folder as the operator chose it.
void reportImported(WindowContext& window, long long sets, const QString& source);

// An import that gave no label set at all leaves the previous result, the
// file and the page on display as they were, and says so in a box.
void reportNothingImported(WindowContext& window, const QString& source);

}  // namespace lm

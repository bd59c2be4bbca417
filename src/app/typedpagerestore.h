#pragma once

#include <QString>

#include "core/typedpage.h"

namespace lm {

class WindowContext;

// "Labels typed on page 3 of /home/ann/qortex/$$label.dat were not saved.
// Restore them?"
QString restoreTypedPageQuestion(const TypedPage& page);

// Start-up's offer of the labels a sudden end kept (keepTypedPage). Yes
// (Restore) shows that page of that file with the typed texts, marked
// changed, and removes the kept file; No (Discard) removes it and leaves the
// page as start-up showed it. A page that cannot be shown (the file cannot
// be read, the label type is another one now) is reported, and the kept file
// stays for another start.
void offerTypedPage(WindowContext& window);

}  // namespace lm

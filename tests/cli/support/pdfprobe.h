#pragma once

// The command's PDFs are read back with the paint tests' reader: each page's
// size and words, in twips from the page's top-left corner.
#include "../../paint/support/pdfwords.h"

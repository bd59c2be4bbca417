// One PDF reader for the paint and the command-line tests; each folder's
// support library compiles it on its own.
#include "../../paint/support/pdfwords.cpp"

#pragma once

namespace lm {

// The label options of the print dialog. They hold for the rest of the run
// and are never written to disk.
struct PrintOptions {
    // Print Current Page and Print All ask where on the first sheet to start.
    bool askStartPosition = false;
    // Every label box is printed as a thin outline, for a test on plain paper.
    bool outlines = false;
    // The start position chosen last, offered again the next time; 1 is the
    // sheet's first label, counted row by row, left to right.
    int startPosition = 1;
};

}  // namespace lm

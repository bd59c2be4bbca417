#pragma once

namespace lm {

// How one printer misplaces what it prints, measured on its paper: a point
// meant at P (twips from the paper's top-left corner) lands at
// offset + scale * P, x and y each. The identity means none.
struct PrintCalibration {
    double offsetX = 0;  // twips
    double offsetY = 0;
    double scaleX = 1;
    double scaleY = 1;

    bool isIdentity() const { return offsetX == 0 && offsetY == 0 && scaleX == 1 && scaleY == 1; }
};

}  // namespace lm

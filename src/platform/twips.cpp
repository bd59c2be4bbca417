#include "platform/twips.h"

#include <cmath>

namespace lm {

double twipsToPixelsF(double twips, double dpi) {
    return twips * dpi / kTwipsPerInch;
}

int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twipsToPixelsF(twips, dpi)));
}

double pixelsToTwips(double pixels, double dpi) {
    return pixels * kTwipsPerInch / dpi;
}

}  // namespace lm

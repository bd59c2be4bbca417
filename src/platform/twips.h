#pragma once

namespace lm {

// Lengths on the sheet are twips, 1440 to the inch. On screen they become
// pixels at the screen's logical DPI, so a label keeps its printed size in
// inches whatever the monitor.
constexpr int kTwipsPerInch = 1440;

double twipsToPixelsF(double twips, double dpi);
// Rounded to the nearest whole pixel.
int twipsToPixels(double twips, double dpi);
double pixelsToTwips(double pixels, double dpi);

}  // namespace lm

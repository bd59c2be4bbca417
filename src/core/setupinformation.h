#pragma once

#include <string>

#include "core/settings.h"

namespace lm {

// The ten lines Show Setup lists, joined by CR LF with none after the last:
// the spine font (name, size, style), the label type, the printing method,
// the four margins and the alignment. Numbers carry one leading blank when
// not negative ("Page Top Margin:  920"); the pocket font is not listed.
std::string setupInformation(const Settings& settings);

// "Left", "Right", "Centered", "Justified" for 0 to 3; empty otherwise.
std::string alignmentName(int alignment);

}  // namespace lm

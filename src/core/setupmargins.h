#pragma once

#include <optional>
#include <string_view>

#include "core/settings.h"

namespace lm {

// The four margins the Setup menu edits.
enum class MarginItem { PageTop, PageLeft, SpineLeft, PocketLeft };

int marginValue(const Settings& settings, MarginItem item);
void setMarginValue(Settings& settings, MarginItem item, int value);

// Whether a typed value, before rounding, lies in the item's range: the page
// margins above 0 and below 4500, the spine label margin from 0 to below 900,
// the pocket label margin from 0 to below 2000.
bool marginInRange(MarginItem item, double value);

// The operator's answer as the margin commands read it: the number at its
// start (leading spaces skipped, a decimal point allowed, 0 when it does not
// start with a number), checked against the range, then rounded with halves
// to even. Nothing when the value is out of range. 4499.5 for a page margin
// is in range and becomes 4500.
std::optional<int> marginFromAnswer(MarginItem item, std::string_view answer);

}  // namespace lm

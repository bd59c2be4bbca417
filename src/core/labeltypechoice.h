#pragma once

#include "core/settings.h"

namespace lm {

// What choosing label type `labelType` (1 to 10) puts into the settings: the
// type itself, its default page margins, its spine font size (9 for Mailer-1,
// 11 for the others) and the inner left margins 35 and 30. The pocket font
// size stays as it is. Returns false, leaving the settings untouched, for a
// type outside 1 to 10.
bool applyLabelTypeChoice(Settings& settings, int labelType);

// The inner left margins every label type starts with.
constexpr int kDefaultSpineLeftMargin = 35;
constexpr int kDefaultPocketLeftMargin = 30;

}  // namespace lm

#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/labelset.h"
#include "core/result.h"

namespace lm {

struct EditRequest;
struct LabelTypeInfo;

// The numbers a copy carries: A = MultiConstant1 & x, and in the two-number
// form B = MultiConstant2 & y.
struct CopyNumbers {
    std::string a;
    std::optional<std::string> b;
};

// A spine text with its numbers as new last lines.
std::string composeSpineText(const std::string& text, const CopyNumbers& numbers);

// A pocket text with its numbers at the end of its first line, separated by
// single blanks. The line break stays whole: the numbers go in just before
// the CR LF that ends the first line (or before a lone LF).
std::string composePocketText(const std::string& text, const CopyNumbers& numbers);

// The set with every text numbered, as one copy of the series writes it.
LabelSetTexts composeCopy(const LabelTypeInfo& type, const LabelSetTexts& set,
                          const CopyNumbers& numbers);

// Checks the request the way Apply does before it hands it to the save:
// both lists valid, a second constant only with a second list, 1 to 32767
// copies. Refusals carry "You entered illegal numbers!".
Status checkProductionRequest(const EditRequest& request);

// The numbers of the first copy of the series. Numbers are digits, so every
// copy of a series reads back as faithfully as its first one does.
CopyNumbers firstCopyNumbers(const EditRequest& request);

// Produces the numbered series of `set` that replaces it in the file:
// `PendingEditCount` copies for every number of the first list combined
// with every number of the second, in order. Each copy goes to `writeCopy`;
// the first failure it reports ends the production and is returned.
using CopyWriter = std::function<Status(const LabelSetTexts&)>;
Status produceNumberedCopies(const LabelTypeInfo& type, const LabelSetTexts& set,
                             const EditRequest& request, const CopyWriter& writeCopy);

}  // namespace lm

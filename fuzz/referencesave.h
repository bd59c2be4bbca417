#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/editrequest.h"
#include "core/labelpage.h"

// The page save written out step by step as the rules give it, to hold
// SaveLabelFile's result against.
namespace lmfuzz {

struct ReferenceSaveInput {
    bool fileOpen = true;      // CurrentFileName is not empty
    std::string source;        // the bytes of CurrentFileName
    std::int64_t start = 1;    // PageStartPosition
    std::int64_t pageEnd = 0;  // PageEndPosition before the save
};

// The copies a production request makes, or nothing when there are more
// than `limit` of them (the target then skips the case to stay quick).
std::optional<long long> referenceCopyCount(const lm::EditRequest& edit, long long limit);

// The bytes the target holds after the save, or nothing when the save must
// be refused (a text that would not read back, illegal numbers).
std::optional<std::string> referenceSave(const ReferenceSaveInput& input, const lm::LabelPage& page,
                                         int labelType, const lm::EditRequest& edit);

// The same page as it starts and ends in the new file.
struct ReferenceSavedPage {
    std::int64_t start = 1;
    std::int64_t end = 0;
};
std::optional<ReferenceSavedPage> referenceSavedPage(const ReferenceSaveInput& input,
                                                     const lm::LabelPage& page, int labelType,
                                                     const lm::EditRequest& edit);

}  // namespace lmfuzz

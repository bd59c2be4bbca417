#pragma once

#include <optional>
#include <string>

namespace lm {

// The refusal every number entry of the editing commands shows.
inline constexpr const char* kIllegalNumbersMessage = "You entered illegal numbers!";

// Counts, copies and list numbers are 16-bit in the label file's world; a
// larger value is refused rather than allowed to overflow.
constexpr int kLargestEnteredNumber = 32767;

// A number list as the Multiple Copies dialog takes it: items separated by
// commas, each a whole number or a range "a-b" with a < b, digits only, no
// spaces. Returns 1 for a valid list (an empty list is valid), 0 otherwise.
// A few forms the original accepted stay accepted: a separator right after a
// range ("1-5,", "1-5-") and a range followed by "-" and a number ("2-4-9",
// later read as 2-4). Any number above 32767 makes the list invalid.
int ValidateNumbers(const std::string& PassedNumbers);

// Takes the next number off the front of a list and returns it as text, or
// "" when the list is empty. A plain item comes back as typed; a range a-b
// comes back as a in the signed-number form (" 1") and the list keeps
// "a+1-b" (or just b once a+1 reaches it) in front, so 1-3,7 yields
// " 1", " 2", " 3", "7". `NumNum` is shortened by the call. The caller keeps
// the shortened list where it belongs (the first or second list).
std::string GetNumber(std::string& NumNum);

// The text without trailing blanks, as Apply takes the number boxes.
std::string withoutTrailingSpaces(const std::string& text);
// The text without leading blanks, as the production takes each number.
std::string withoutLeadingSpaces(const std::string& text);

// The copies box of the dialog: digits only, not empty, 1 to 32767.
// Returns the count, or nothing when the entry is refused.
std::optional<int> parseCopiesEntry(const std::string& entry);

// What the Insert Blank input box gives back.
enum class InsertCountEntry {
    Empty,    // nothing entered (or the box was cancelled): no insertion
    Refused,  // a character other than a digit, or above the type's limit
    Accepted,
};

// Checks an Insert Blank entry against the label type's largest count
// (`insertLimit`, -1 for no limit other than 32767); on Accepted sets *count.
InsertCountEntry checkInsertCountEntry(const std::string& entry, int insertLimit, int* count);

}  // namespace lm

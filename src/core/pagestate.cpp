#include "core/pagestate.h"

#include "core/numbers.h"

namespace lm {

std::string pageCaption(const std::string& fileName, int pageNumber, CaptionSpacing spacing) {
    std::string upper = fileName;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    const char* separator = spacing == CaptionSpacing::TwoSpaces ? "  (Page " : " (Page ";
    return std::string(kProgramCaption) + " - " + upper + separator +
           formatSignedNumber(pageNumber) + ")";
}

}  // namespace lm

#include "core/production.h"

#include "core/editrequest.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"

namespace lm {
namespace {

constexpr const char* kCrLf = "\r\n";

bool endsWithLineFeed(const std::string& text) {
    return !text.empty() && text.back() == '\n';
}

std::string numbersAfterBlank(const CopyNumbers& numbers) {
    std::string out = " " + numbers.a;
    if (numbers.b) out += " " + *numbers.b;
    return out;
}

}  // namespace

std::string composeSpineText(const std::string& text, const CopyNumbers& numbers) {
    std::string out = text;
    if (!endsWithLineFeed(text)) out += kCrLf;
    out += numbers.a;
    if (numbers.b) out += kCrLf + *numbers.b;
    return out;
}

std::string composePocketText(const std::string& text, const CopyNumbers& numbers) {
    std::size_t lineFeed = text.find('\n');
    if (lineFeed == std::string::npos) return text + numbersAfterBlank(numbers);
    if (lineFeed == 0) {
        std::string out = numbers.a;
        if (numbers.b) out += " " + *numbers.b;
        return out + text;
    }
    std::size_t lineEnd = text[lineFeed - 1] == '\r' ? lineFeed - 1 : lineFeed;
    return text.substr(0, lineEnd) + numbersAfterBlank(numbers) + text.substr(lineEnd);
}

LabelSetTexts composeCopy(const LabelTypeInfo& type, const LabelSetTexts& set,
                          const CopyNumbers& numbers) {
    LabelSetTexts copy;
    copy.s1 = composeSpineText(set.s1, numbers);
    if (type.pairsSpines()) copy.s2 = composeSpineText(set.s2, numbers);
    if (type.pocketsPerSet >= 1) copy.p1 = composePocketText(set.p1, numbers);
    if (type.pocketsPerSet >= 2) copy.p2 = composePocketText(set.p2, numbers);
    return copy;
}

Status checkProductionRequest(const EditRequest& request) {
    Error refused{"", kIllegalNumbersMessage};
    if (!ValidateNumbers(request.MultiNumbers1)) return refused;
    if (!request.MultiNumbers2.empty() && !ValidateNumbers(request.MultiNumbers2)) return refused;
    if (!request.MultiConstant2.empty() && request.MultiNumbers2.empty()) return refused;
    if (request.PendingEditCount < 1 || request.PendingEditCount > kLargestEnteredNumber)
        return refused;
    return {};
}

CopyNumbers firstCopyNumbers(const EditRequest& request) {
    std::string numbers1 = request.MultiNumbers1;
    std::string numbers2 = request.MultiNumbers2;
    CopyNumbers numbers{request.MultiConstant1 + withoutLeadingSpaces(GetNumber(numbers1)),
                        std::nullopt};
    if (!numbers2.empty())
        numbers.b = request.MultiConstant2 + withoutLeadingSpaces(GetNumber(numbers2));
    return numbers;
}

Status produceNumberedCopies(const LabelTypeInfo& type, const LabelSetTexts& set,
                             const EditRequest& request, const CopyWriter& writeCopy) {
    Status checked = checkProductionRequest(request);
    if (!checked) return checked;

    std::string numbers1 = request.MultiNumbers1;
    const std::string keptNumbers2 = request.MultiNumbers2;
    auto writeCopies = [&](const CopyNumbers& numbers) -> Status {
        LabelSetTexts copy = composeCopy(type, set, numbers);
        for (int i = 0; i < request.PendingEditCount; ++i) {
            Status written = writeCopy(copy);
            if (!written) return written;
        }
        return {};
    };

    while (true) {
        std::string x;
        if (!numbers1.empty()) {
            x = withoutLeadingSpaces(GetNumber(numbers1));
            if (x.empty()) return {};
        }
        // The second list starts again for every number of the first.
        std::string numbers2 = keptNumbers2;
        if (numbers2.empty()) {
            Status written = writeCopies({request.MultiConstant1 + x, std::nullopt});
            if (!written) return written;
        } else {
            while (true) {
                std::string y = withoutLeadingSpaces(GetNumber(numbers2));
                if (y.empty()) break;
                Status written =
                    writeCopies({request.MultiConstant1 + x, request.MultiConstant2 + y});
                if (!written) return written;
            }
        }
        if (x.empty() || numbers1.empty()) return {};
    }
}

}  // namespace lm

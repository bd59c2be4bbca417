// Number lists of the Multiple Copies dialog and the production of a series.
//
// Input, taken apart by FuzzedDataProvider: two lists (as raw bytes, or
// spelled from the list alphabet 0-9 , - so that most are near valid), the
// constants, the count of copies, the label type and the set's texts.
// Checks:
//  - ValidateNumbers accepts exactly the lists the validation rules accept;
//  - GetNumber ends an accepted list in a bounded number of steps (one per
//    number it holds, at most 32768 per item), yielding the numbers the list
//    names in order; any other list still comes to an end;
//  - checkProductionRequest refuses exactly the illegal requests, and the
//    production writes every combination in order, each copy composed as the
//    rules compose it, and stops at the first copy that cannot be written.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/editrequest.h"
#include "core/labelset.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"
#include "core/production.h"
#include "fuzzsupport.h"

namespace {

using lmfuzz::visible;

constexpr long long kCopyLimit = 3000;

std::string listFrom(FuzzedDataProvider& input) {
    std::string raw = input.ConsumeRandomLengthString(40);
    if (input.ConsumeBool()) return raw;
    static const char kAlphabet[] = "0123456789,-";
    for (char& c : raw) c = kAlphabet[static_cast<unsigned char>(c) % 12];
    return raw;
}

long long items(const std::string& list) {
    long long count = 1;
    for (char c : list) count += c == ',';
    return count;
}

void checkList(const std::string& list) {
    const std::string context = "list \"" + visible(list) + "\"";
    const bool valid = lm::ValidateNumbers(list) == 1;
    LMFUZZ_CHECK(valid == lmfuzz::referenceValidateNumbers(list),
                 std::string(valid ? "accepted" : "refused") + " against the rules; " + context);

    // Each step either drops an item or takes one number off a range of at
    // most 32768 numbers, so this many steps end any list.
    const long long bound = items(list) * 32769;
    std::string rest = list;
    std::vector<std::string> yielded;
    long long steps = 0;
    while (!rest.empty()) {
        LMFUZZ_CHECK(++steps <= bound, "GetNumber did not end the list in " +
                                           std::to_string(bound) + " steps; " + context);
        std::string number = lm::GetNumber(rest);
        if (valid) {
            LMFUZZ_CHECK(!number.empty(), "an accepted list yielded an empty number; " + context);
            yielded.push_back(lm::withoutLeadingSpaces(number));
        }
    }
    LMFUZZ_CHECK(lm::GetNumber(rest).empty() && rest.empty(),
                 "an empty list did not stay empty; " + context);
    if (!valid) return;
    std::vector<std::string> expected = lmfuzz::referenceExpandNumbers(list);
    LMFUZZ_CHECK(yielded == expected, "yielded " + std::to_string(yielded.size()) +
                                          " numbers, the list names " +
                                          std::to_string(expected.size()) + "; " + context);
}

void checkProduction(FuzzedDataProvider& input, const lm::EditRequest& request) {
    const int labelType = lmfuzz::labelTypeFromByte(input.ConsumeIntegral<std::uint8_t>());
    const lm::LabelTypeInfo& type = *lm::labelTypeInfo(labelType);
    lm::LabelSetTexts set;
    set.s1 = input.ConsumeRandomLengthString(20);
    set.s2 = input.ConsumeRandomLengthString(20);
    set.p1 = input.ConsumeRandomLengthString(20);
    set.p2 = input.ConsumeRandomLengthString(20);
    const std::string context =
        "type " + std::to_string(labelType) + ", lists \"" + visible(request.MultiNumbers1) +
        "\" and \"" + visible(request.MultiNumbers2) + "\", constants \"" +
        visible(request.MultiConstant1) + "\" and \"" + visible(request.MultiConstant2) +
        "\", copies " + std::to_string(request.PendingEditCount);

    const bool legal = lmfuzz::referenceValidateNumbers(request.MultiNumbers1) &&
                       (request.MultiNumbers2.empty() ||
                        lmfuzz::referenceValidateNumbers(request.MultiNumbers2)) &&
                       !(!request.MultiConstant2.empty() && request.MultiNumbers2.empty()) &&
                       request.PendingEditCount >= 1 && request.PendingEditCount <= 32767;
    lm::Status checked = lm::checkProductionRequest(request);
    LMFUZZ_CHECK(checked.ok() == legal, std::string(checked.ok() ? "accepted" : "refused") +
                                            " against the rules; " + context);

    // The copies as the rules make them, up to the limit.
    std::vector<lm::LabelSetTexts> expected;
    if (legal) {
        std::vector<std::string> firstList{""};
        if (!request.MultiNumbers1.empty())
            firstList = lmfuzz::referenceExpandNumbers(request.MultiNumbers1);
        std::vector<std::optional<std::string>> seconds{std::nullopt};
        if (!request.MultiNumbers2.empty()) {
            seconds.clear();
            for (const std::string& y : lmfuzz::referenceExpandNumbers(request.MultiNumbers2))
                seconds.push_back(request.MultiConstant2 + y);
        }
        auto full = [&] { return static_cast<long long>(expected.size()) > kCopyLimit; };
        for (std::size_t i = 0; i < firstList.size() && !full(); ++i) {
            const std::string a = request.MultiConstant1 + firstList[i];
            for (std::size_t j = 0; j < seconds.size() && !full(); ++j) {
                const std::optional<std::string>& b = seconds[j];
                lm::LabelSetTexts copy;
                copy.s1 = lmfuzz::referenceSpineCopy(set.s1, a, b);
                if (type.pairsSpines()) copy.s2 = lmfuzz::referenceSpineCopy(set.s2, a, b);
                if (type.pocketsPerSet >= 1) copy.p1 = lmfuzz::referencePocketCopy(set.p1, a, b);
                if (type.pocketsPerSet >= 2) copy.p2 = lmfuzz::referencePocketCopy(set.p2, a, b);
                for (int k = 0; k < request.PendingEditCount && !full(); ++k)
                    expected.push_back(copy);
            }
        }
    }

    std::vector<lm::LabelSetTexts> written;
    long long calls = 0;
    lm::Status produced =
        lm::produceNumberedCopies(type, set, request, [&](const lm::LabelSetTexts& copy) {
            ++calls;
            LMFUZZ_CHECK(calls <= kCopyLimit + 1,
                         "the production went on after a failed copy; " + context);
            if (calls > kCopyLimit) return lm::Status(lm::Error{"", "enough copies"});
            written.push_back(copy);
            return lm::Status();
        });
    if (!legal) {
        LMFUZZ_CHECK(!produced.ok() && calls == 0,
                     "an illegal request produced copies; " + context);
        return;
    }
    const bool cut = static_cast<long long>(expected.size()) > kCopyLimit;
    LMFUZZ_CHECK(produced.ok() != cut, "the production reported " +
                                           std::string(produced.ok() ? "success" : "failure") +
                                           "; " + context);
    if (cut) expected.resize(static_cast<std::size_t>(kCopyLimit));
    LMFUZZ_CHECK(written.size() == expected.size(),
                 "wrote " + std::to_string(written.size()) + " copies, the rules make " +
                     std::to_string(expected.size()) + "; " + context);
    for (std::size_t i = 0; i < written.size(); ++i) {
        const lm::LabelSetTexts& w = written[i];
        const lm::LabelSetTexts& e = expected[i];
        LMFUZZ_CHECK(w.s1 == e.s1 && w.s2 == e.s2 && w.p1 == e.p1 && w.p2 == e.p2,
                     "copy " + std::to_string(i + 1) + " spine \"" + visible(w.s1) +
                         "\", the rules give \"" + visible(e.s1) + "\"; " + context);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    lm::EditRequest request;
    request.PendingEdit = lm::kMultipleCopyPrinting;
    request.MultiNumbers1 = listFrom(input);
    request.MultiNumbers2 = listFrom(input);
    checkList(request.MultiNumbers1);
    checkList(request.MultiNumbers2);
    request.MultiConstant1 = input.ConsumeRandomLengthString(8);
    request.MultiConstant2 = input.ConsumeRandomLengthString(8);
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            request.PendingEditCount = input.ConsumeIntegralInRange(-2, 0);
            break;
        case 1:
            request.PendingEditCount = input.ConsumeIntegralInRange(32760, 40000);
            break;
        default:
            request.PendingEditCount = input.ConsumeIntegralInRange(1, 3);
            break;
    }
    checkProduction(input, request);
    return 0;
}

#include "referencesave.h"

#include <algorithm>
#include <vector>

#include "core/labeltypes.h"
#include "fuzzsupport.h"

namespace lmfuzz {
namespace {

constexpr int kLargestNumber = 32767;

struct SetTexts {
    std::string s1, s2, p1, p2;
};

// Element numbers of the set at position k, as the page save takes them.
SetTexts setAt(const lm::LabelPage& page, const lm::LabelTypeInfo& type, int k) {
    SetTexts set;
    if (type.pairsSpines()) {
        set.s1 = page.spineText(2 * k - 2);
        set.s2 = page.spineText(2 * k - 1);
    } else {
        set.s1 = page.spineText(k);
    }
    if (type.pocketsPerSet == 1) set.p1 = page.pocketText(k);
    if (type.pocketsPerSet == 2) {
        set.p1 = page.pocketText(2 * k - 2);
        set.p2 = page.pocketText(2 * k - 1);
    }
    return set;
}

std::vector<std::string> textsOf(const lm::LabelTypeInfo& type, const SetTexts& set) {
    std::vector<std::string> texts{set.s1};
    if (type.pairsSpines()) texts.push_back(set.s2);
    if (type.pocketsPerSet >= 1) texts.push_back(set.p1);
    if (type.pocketsPerSet >= 2) texts.push_back(set.p2);
    return texts;
}

bool allStorable(const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        if (!storable(text)) return false;
    return true;
}

void append(std::string& out, const std::vector<std::string>& texts) {
    for (const std::string& text : texts) out += text + "~~";
}

bool requestLegal(const lm::EditRequest& edit) {
    if (!referenceValidateNumbers(edit.MultiNumbers1)) return false;
    if (!edit.MultiNumbers2.empty() && !referenceValidateNumbers(edit.MultiNumbers2)) return false;
    if (!edit.MultiConstant2.empty() && edit.MultiNumbers2.empty()) return false;
    return edit.PendingEditCount >= 1 && edit.PendingEditCount <= kLargestNumber;
}

// The numbered copies of `set`, or nothing when one of them cannot be stored.
std::optional<std::string> produce(const lm::LabelTypeInfo& type, const SetTexts& set,
                                   const lm::EditRequest& edit) {
    std::vector<std::string> firstList{""};
    if (!edit.MultiNumbers1.empty()) firstList = referenceExpandNumbers(edit.MultiNumbers1);
    std::string out;
    for (const std::string& x : firstList) {
        std::vector<std::optional<std::string>> seconds{std::nullopt};
        if (!edit.MultiNumbers2.empty()) {
            seconds.clear();
            for (const std::string& y : referenceExpandNumbers(edit.MultiNumbers2))
                seconds.push_back(edit.MultiConstant2 + y);
        }
        for (const std::optional<std::string>& b : seconds) {
            const std::string a = edit.MultiConstant1 + x;
            SetTexts copy{referenceSpineCopy(set.s1, a, b), referenceSpineCopy(set.s2, a, b),
                          referencePocketCopy(set.p1, a, b), referencePocketCopy(set.p2, a, b)};
            std::vector<std::string> texts = textsOf(type, copy);
            if (!allStorable(texts)) return std::nullopt;
            for (int i = 0; i < edit.PendingEditCount; ++i) append(out, texts);
        }
    }
    return out;
}

// The page as the save writes it, or nothing when it must refuse.
std::optional<std::string> writtenPage(const lm::LabelPage& page, const lm::LabelTypeInfo& type,
                                       const lm::EditRequest& edit) {
    std::string out;
    for (int k = 2; k <= type.lastSetPosition(); ++k) {
        SetTexts set = setAt(page, type, k);
        if (set.s1.empty()) continue;
        const bool selected = k == edit.SelectedSetIndex;
        if (selected && edit.deletesSet()) continue;
        if (selected && edit.producesCopies()) {
            if (!requestLegal(edit)) return std::nullopt;
            std::optional<std::string> copies = produce(type, set, edit);
            if (!copies) return std::nullopt;
            out += *copies;
            continue;
        }
        std::vector<std::string> texts = textsOf(type, set);
        if (!allStorable(texts)) return std::nullopt;
        if (selected && edit.insertsBlankSets()) {
            if (edit.PendingEditCount < 0 || edit.PendingEditCount > kLargestNumber)
                return std::nullopt;
            std::vector<std::string> blank = textsOf(type, SetTexts{"<Blank>", "", "", ""});
            for (int i = 0; i < edit.PendingEditCount; ++i) append(out, blank);
        }
        append(out, texts);
    }
    return out;
}

// Where the page goes in the new file and what is kept around it.
struct Frame {
    std::string before;
    std::string after;
};

Frame frameOf(const ReferenceSaveInput& input) {
    if (!input.fileOpen) return {};
    const std::int64_t length = static_cast<std::int64_t>(input.source.size());
    std::int64_t start = input.start;
    // A new page past the end replaces the bytes that never ended a label.
    if (length > 0 && start == length + 1) start = referenceEndOfLastLabel(input.source) + 1;
    std::int64_t restFrom = std::max(input.pageEnd, start - 1);
    Frame frame;
    frame.before = input.source.substr(0, static_cast<std::size_t>(start - 1));
    if (restFrom < length) frame.after = input.source.substr(static_cast<std::size_t>(restFrom));
    return frame;
}

}  // namespace

std::optional<long long> referenceCopyCount(const lm::EditRequest& edit, long long limit) {
    long long first = 1;
    long long second = 1;
    if (!edit.MultiNumbers1.empty())
        first = static_cast<long long>(referenceExpandNumbers(edit.MultiNumbers1).size());
    if (!edit.MultiNumbers2.empty())
        second = static_cast<long long>(referenceExpandNumbers(edit.MultiNumbers2).size());
    long long count = first * second * std::max(edit.PendingEditCount, 1);
    if (count > limit) return std::nullopt;
    return count;
}

std::optional<std::string> referenceSave(const ReferenceSaveInput& input, const lm::LabelPage& page,
                                         int labelType, const lm::EditRequest& edit) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    std::optional<std::string> written = writtenPage(page, *type, edit);
    if (!written) return std::nullopt;
    Frame frame = frameOf(input);
    return frame.before + *written + frame.after;
}

std::optional<ReferenceSavedPage> referenceSavedPage(const ReferenceSaveInput& input,
                                                     const lm::LabelPage& page, int labelType,
                                                     const lm::EditRequest& edit) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    std::optional<std::string> written = writtenPage(page, *type, edit);
    if (!written) return std::nullopt;
    Frame frame = frameOf(input);
    ReferenceSavedPage saved;
    saved.start = static_cast<std::int64_t>(frame.before.size()) + 1;
    saved.end = saved.start + static_cast<std::int64_t>(written->size()) - 1;
    return saved;
}

}  // namespace lmfuzz

// The page save with each pending edit, on a label file in memory (/dev/shm).
//
// Input, taken apart by FuzzedDataProvider: the label type, where the first
// save goes (the open file, a new file, over another file, or no file open),
// then one to three saves, each with a page move (a page jump, Next Page or
// Previous Page), a few texts the operator typed over and the pending edit
// with its set, count, constants and number lists; the rest is the label
// file. Each save starts from the file and page variables the one before
// left, as in the window.
// Checks, against the saving rules written out step by step:
//  - the file written holds exactly the bytes the rules give: the bytes
//    before the page, the page with its edit, the bytes after it; nothing
//    is read or written outside the page's own place;
//  - a save that must be refused (a text that would not read back, illegal
//    numbers) changes no file, no page variable and no label, and leaves no
//    scratch file;
//  - after the save the page variables describe the file written, and after
//    an edit that moves page boundaries the same page number shows what now
//    falls on it;
//  - the page starts remembered across the saves agree with paging forward,
//    going back and jumping to a page; Next Page reads on from the last byte
//    of the page and Previous Page lands on the page start before it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/editrequest.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"
#include "core/production.h"
#include "fuzzsupport.h"
#include "referencesave.h"

namespace {

using lmfuzz::ReferencePage;
using lmfuzz::visible;

enum class Target { OpenFile, NewFile, OverOtherFile, NoFileOpen };

std::string listFrom(FuzzedDataProvider& input) {
    std::string raw = input.ConsumeRandomLengthString(10);
    if (input.ConsumeIntegralInRange(0, 3) == 0) return raw;
    static const char kAlphabet[] = "0123456789,-";
    for (char& c : raw) c = kAlphabet[static_cast<unsigned char>(c) % 12];
    return raw;
}

lm::EditRequest editFrom(FuzzedDataProvider& input, const lm::LabelTypeInfo& type) {
    lm::EditRequest edit;
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            edit.PendingEdit = input.ConsumeBool() ? lm::kNoPendingEdit : "DeleteLabel ";
            break;
        case 1:
            edit.PendingEdit = lm::kInsertBlankLabel;
            break;
        case 2:
            edit.PendingEdit = lm::kDeleteLabel;
            break;
        default:
            edit.PendingEdit = lm::kMultipleCopyPrinting;
            break;
    }
    edit.SelectedSetIndex = input.ConsumeIntegralInRange(0, type.lastSetPosition() + 1);
    switch (input.ConsumeIntegralInRange(0, 7)) {
        case 0:
            edit.PendingEditCount = input.ConsumeIntegralInRange(-1, 0);
            break;
        case 1:
            edit.PendingEditCount = input.ConsumeIntegralInRange(32767, 32768);
            break;
        default:
            edit.PendingEditCount = input.ConsumeIntegralInRange(1, 12);
            break;
    }
    edit.MultiConstant1 = input.ConsumeRandomLengthString(6);
    edit.MultiConstant2 = input.ConsumeRandomLengthString(6);
    edit.MultiNumbers1 = listFrom(input);
    edit.MultiNumbers2 = listFrom(input);
    return edit;
}

struct PageCopy {
    std::vector<std::string> spines;
    std::vector<std::string> pockets;
    bool operator==(const PageCopy& other) const {
        return spines == other.spines && pockets == other.pockets;
    }
};

PageCopy copyOf(const lm::LabelPage& page) {
    PageCopy copy;
    for (int i = 2; i <= page.lastSpineIndex(); ++i) copy.spines.push_back(page.spineText(i));
    for (int i = 2; i <= page.lastPocketIndex(); ++i) copy.pockets.push_back(page.pocketText(i));
    return copy;
}

PageCopy copyOf(const ReferencePage& expected, const lm::LabelPage& shape) {
    PageCopy copy;
    for (int i = 2; i <= shape.lastSpineIndex(); ++i) {
        std::size_t at = static_cast<std::size_t>(i - 2);
        copy.spines.push_back(at < expected.spines.size() ? expected.spines[at] : "");
    }
    for (int i = 2; i <= shape.lastPocketIndex(); ++i) {
        std::size_t at = static_cast<std::size_t>(i - 2);
        copy.pockets.push_back(at < expected.pockets.size() ? expected.pockets[at] : "");
    }
    return copy;
}

bool samePageVariables(const lm::PageState& a, const lm::PageState& b) {
    return a.CurrentFileName == b.CurrentFileName && a.PageStartPosition == b.PageStartPosition &&
           a.PageEndPosition == b.PageEndPosition && a.LabelFileLength == b.LabelFileLength &&
           a.PageNumber == b.PageNumber;
}

// The pages remembered through the save must be the pages of the new file.
void checkRememberedPages(const lm::PageState& after, int labelType, const std::string& file,
                          const std::string& context) {
    const std::vector<ReferencePage> pages = lmfuzz::referencePages(file, labelType);
    const int count = static_cast<int>(pages.size());
    lm::PageState back = after;
    for (int m = count; m >= 2; --m) {
        if (m < count - 4 && m > 4) continue;
        std::int64_t from = pages[static_cast<std::size_t>(m - 1)].start;
        lm::Result<std::int32_t> found =
            lm::FindNewPagePosition(back, labelType, static_cast<std::int32_t>(from));
        LMFUZZ_CHECK(found.ok(), found.error().message() + "; " + context);
        LMFUZZ_CHECK(*found == pages[static_cast<std::size_t>(m - 2)].start,
                     "after the save, going back from page " + std::to_string(m) + " found " +
                         std::to_string(*found) + ", paging forward gives " +
                         std::to_string(pages[static_cast<std::size_t>(m - 2)].start) + "; " +
                         context);
    }
    lm::PageState jump = after;
    for (int m = count + 1; m >= 1; --m) {
        if (m < count - 4 && m > 4) continue;
        lm::Result<lm::PageBounds> bounds = lm::locatePage(jump, labelType, m);
        if (m > lm::kLastPageNumber) {
            // The window cannot number pages past the 16-bit page number.
            LMFUZZ_CHECK(!bounds.ok(), "page " + std::to_string(m) + " was located; " + context);
            continue;
        }
        LMFUZZ_CHECK(bounds.ok(), bounds.error().message() + "; " + context);
        std::int64_t want = m <= count ? pages[static_cast<std::size_t>(m - 1)].start
                                       : static_cast<std::int64_t>(file.size()) + 1;
        LMFUZZ_CHECK(bounds->start == want, "after the save, page " + std::to_string(m) +
                                                " was located at " + std::to_string(bounds->start) +
                                                ", not " + std::to_string(want) + "; " + context);
    }
}

// One save as the operator makes it: a move to a page, some typing, an edit.
struct Step {
    enum Move { ShowPage, NextPage, PreviousPage } move;
    int pageChoice;
    lm::EditRequest edit;
    struct Typed {
        bool pocket;
        int element;
        std::string text;
    };
    std::vector<Typed> typed;
};

Step stepFrom(FuzzedDataProvider& input, const lm::LabelTypeInfo& type) {
    Step step;
    step.move = static_cast<Step::Move>(input.ConsumeIntegralInRange(0, 2));
    step.pageChoice = input.ConsumeIntegral<std::uint8_t>();
    step.edit = editFrom(input, type);
    step.typed.resize(static_cast<std::size_t>(input.ConsumeIntegralInRange(0, 4)));
    for (Step::Typed& t : step.typed) {
        t.pocket = input.ConsumeBool();
        t.element = input.ConsumeIntegralInRange(2, 58);
        t.text = input.ConsumeRandomLengthString(12);
    }
    return step;
}

// The largest page start of paging forward that lies before `position`.
std::int64_t forwardStartBefore(const std::vector<ReferencePage>& pages, std::int64_t position) {
    std::int64_t found = 1;
    for (const ReferencePage& p : pages)
        if (p.start < position) found = p.start;
    return found;
}

// Moves the page on display as Next Page, Previous Page or a page jump
// (the re-reading after an edit) do, checking where the page lands.
void movePage(lm::PageState& state, lm::MemoryPage& page, int labelType, const Step& step,
              const std::string& file, const std::string& context) {
    const std::vector<ReferencePage> pages = lmfuzz::referencePages(file, labelType);
    if (step.move == Step::ShowPage || state.PageNumber < 1) {
        const int n = 1 + step.pageChoice % static_cast<int>(pages.size() + 1);
        lm::Status shown = lm::showPage(state, page, labelType, n);
        LMFUZZ_CHECK(shown.ok(), shown.error().message() + "; " + context);
        std::int64_t want = n <= static_cast<int>(pages.size())
                                ? pages[static_cast<std::size_t>(n - 1)].start
                                : static_cast<std::int64_t>(file.size()) + 1;
        LMFUZZ_CHECK(state.PageStartPosition == want, "page " + std::to_string(n) + " shown from " +
                                                          std::to_string(state.PageStartPosition) +
                                                          "; " + context);
        return;
    }
    std::int32_t start;
    int number;
    if (step.move == Step::NextPage) {
        if (state.PageEndPosition + 1 > state.LabelFileLength ||
            !lm::canTurnToNextPage(state.PageNumber))
            return;
        start = state.PageEndPosition + 1;
        number = state.PageNumber + 1;
    } else {
        if (state.PageStartPosition <= 1) return;
        lm::Result<std::int32_t> found =
            lm::FindNewPagePosition(state, labelType, state.PageStartPosition);
        LMFUZZ_CHECK(found.ok(), found.error().message() + "; " + context);
        LMFUZZ_CHECK(*found == forwardStartBefore(pages, state.PageStartPosition),
                     "the previous page of " + std::to_string(state.PageStartPosition) +
                         " was found at " + std::to_string(*found) + "; " + context);
        start = *found;
        number = std::max(state.PageNumber - 1, 1);
    }
    page.clear();
    state.PageStartPosition = start;
    state.PageEndPosition = start - 1;
    state.PageNumber = number;
    lm::Status read = lm::ReadLabelFile(state, page, labelType, state.CurrentFileName, start);
    LMFUZZ_CHECK(read.ok(), read.error().message() + "; " + context);
    const ReferencePage expected = lmfuzz::referenceReadPage(file, labelType, start);
    LMFUZZ_CHECK(state.PageEndPosition == expected.end && copyOf(page) == copyOf(expected, page),
                 "the page read from " + std::to_string(start) +
                     " is not the one the rules read; " + context);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int labelType = lmfuzz::labelTypeFromByte(input.ConsumeIntegral<std::uint8_t>());
    const lm::LabelTypeInfo& type = *lm::labelTypeInfo(labelType);
    const Target target = static_cast<Target>(input.ConsumeIntegralInRange(0, 3));
    std::vector<Step> steps(static_cast<std::size_t>(input.ConsumeIntegralInRange(1, 3)));
    for (Step& step : steps) step = stepFrom(input, type);
    const std::string file = input.ConsumeRemainingBytesAsString();

    // A production with more copies than a quick run can check is left out.
    for (const Step& step : steps) {
        if (step.edit.producesCopies() && lm::checkProductionRequest(step.edit).ok() &&
            !lmfuzz::referenceCopyCount(step.edit, 2000))
            return 0;
    }

    const std::string& folder = lmfuzz::scratchFolder();
    lmfuzz::emptyFolder(folder);
    const std::string path = lmfuzz::scratchPath("labels.dat");
    const std::string otherPath = lmfuzz::scratchPath("saveas.dat");
    const std::string otherContent = "another~~label file~~that is longer~~than most pages~~";
    lmfuzz::writeFile(path, file);
    if (target == Target::OverOtherFile) lmfuzz::writeFile(otherPath, otherContent);

    lm::PageState state;
    state.CurrentFileName = path;
    state.PageNumber = 0;  // nothing on display yet: the first step shows a page
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    std::string current = file;
    std::string history = "label type " + std::to_string(labelType) + ", target " +
                          std::to_string(int(target)) + ", file \"" + visible(file) + "\"";

    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const lm::EditRequest& edit = step.edit;
        movePage(state, page, labelType, step, current, history);
        for (const Step::Typed& t : step.typed) {
            if (t.pocket) {
                page.setPocketText(t.element, t.text);
            } else {
                page.setSpineText(t.element, t.text);
            }
        }
        const bool first = i == 0;
        if (first && target == Target::NoFileOpen) {
            state.CurrentFileName.clear();
            state.PageStarts.forget();
        }
        // Later steps save into the file the first one made current.
        const std::string targetPath =
            !first
                ? state.CurrentFileName
                : (target == Target::OpenFile || target == Target::NoFileOpen ? path : otherPath);
        const std::string sourcePath = state.CurrentFileName;
        const std::string targetBefore = lmfuzz::readFile(targetPath);
        const std::string sourceBefore = current;
        const int pageNumber = state.PageNumber;
        history += "; step " + std::to_string(i + 1) + ": page " + std::to_string(pageNumber) +
                   " at " + std::to_string(state.PageStartPosition) + ".." +
                   std::to_string(state.PageEndPosition) + ", edit " + edit.PendingEdit + " at " +
                   std::to_string(edit.SelectedSetIndex) + " count " +
                   std::to_string(edit.PendingEditCount) + " lists \"" +
                   visible(edit.MultiNumbers1) + "\" \"" + visible(edit.MultiNumbers2) + "\"";
        const std::string& context = history;

        lmfuzz::ReferenceSaveInput before{!state.CurrentFileName.empty(), current,
                                          state.PageStartPosition, state.PageEndPosition};
        const std::optional<std::string> want =
            lmfuzz::referenceSave(before, page, labelType, edit);
        const std::optional<lmfuzz::ReferenceSavedPage> wantPage =
            lmfuzz::referenceSavedPage(before, page, labelType, edit);
        const lm::PageState stateBefore = state;
        const PageCopy pageBefore = copyOf(page);

        lm::Result<lm::SaveOutcome> saved =
            lm::SaveLabelFile(state, page, labelType, edit, targetPath);

        const std::string written = lmfuzz::readFile(targetPath);
        for (const std::string& name : lmfuzz::folderEntries(folder))
            LMFUZZ_CHECK(name == "labels.dat" || name == "saveas.dat",
                         "a scratch file was left behind: " + name + "; " + context);
        if (!sourcePath.empty() && sourcePath != targetPath)
            LMFUZZ_CHECK(lmfuzz::readFile(sourcePath) == sourceBefore,
                         "the file saved from changed; " + context);

        if (!want) {
            LMFUZZ_CHECK(!saved.ok(), "a page that cannot be stored was saved as \"" +
                                          visible(written) + "\"; " + context);
            LMFUZZ_CHECK(!saved.error().reason.empty(), "a refusal without a reason; " + context);
            LMFUZZ_CHECK(written == targetBefore, "a refused save changed the target; " + context);
            LMFUZZ_CHECK(
                !first || lmfuzz::fileExists(otherPath) == (target == Target::OverOtherFile),
                "a refused save made a file; " + context);
            LMFUZZ_CHECK(samePageVariables(state, stateBefore),
                         "a refused save changed the page variables; " + context);
            LMFUZZ_CHECK(copyOf(page) == pageBefore, "a refused save changed the page; " + context);
            if (state.CurrentFileName.empty()) return 0;
            continue;
        }
        LMFUZZ_CHECK(saved.ok(), "the save failed: " + saved.error().message() + "; " + context);
        LMFUZZ_CHECK(written == *want, "wrote \"" + visible(written) + "\", the rules give \"" +
                                           visible(*want) + "\"; " + context);
        LMFUZZ_CHECK(state.CurrentFileName == targetPath,
                     "the target is not the current file; " + context);
        LMFUZZ_CHECK(
            state.LabelFileLength == static_cast<std::int32_t>(written.size()),
            "LabelFileLength is " + std::to_string(state.LabelFileLength) + "; " + context);
        if (edit.movesPageBoundaries()) {
            const std::vector<ReferencePage> after = lmfuzz::referencePages(written, labelType);
            ReferencePage expected;
            if (pageNumber <= static_cast<int>(after.size())) {
                expected = after[static_cast<std::size_t>(pageNumber - 1)];
            } else {
                expected.start = static_cast<std::int64_t>(written.size()) + 1;
                expected.end = static_cast<std::int64_t>(written.size());
            }
            LMFUZZ_CHECK(saved->pageReread, "the page was not read again; " + context);
            LMFUZZ_CHECK(state.PageNumber == pageNumber &&
                             state.PageStartPosition == expected.start &&
                             state.PageEndPosition == expected.end,
                         "the page read again lies at " + std::to_string(state.PageStartPosition) +
                             ".." + std::to_string(state.PageEndPosition) + ", page " +
                             std::to_string(state.PageNumber) + "; " + context);
            LMFUZZ_CHECK(copyOf(page) == copyOf(expected, page),
                         "the page read again holds other texts; " + context);
        } else {
            LMFUZZ_CHECK(!saved->pageReread, "the page was read again without an edit; " + context);
            LMFUZZ_CHECK(state.PageStartPosition == wantPage->start &&
                             state.PageEndPosition == wantPage->end,
                         "the saved page lies at " + std::to_string(state.PageStartPosition) +
                             ".." + std::to_string(state.PageEndPosition) + ", the rules give " +
                             std::to_string(wantPage->start) + ".." +
                             std::to_string(wantPage->end) + "; " + context);
            LMFUZZ_CHECK(copyOf(page) == pageBefore, "the save changed the page; " + context);
        }
        checkRememberedPages(state, labelType, written, context);
        current = written;
    }
    return 0;
}

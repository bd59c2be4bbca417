// The page reader and the page walk over any label file, for every label type.
//
// Input: byte 0 picks the label type, byte 1 may put a long first label in
// front so that the rest straddles the reader's block boundaries, the rest
// is the label file. Checks, against the reading rules applied byte by byte:
//  - every page read forward holds exactly the texts and ends where the
//    rules say, and the page after the last is refused as past the end;
//  - every previous page found going back (with the pages remembered and
//    from a fresh start) starts where paging forward put it;
//  - locatePage and showPage agree with paging forward;
//  - saving an untouched page gives back the same bytes (or, for a page the
//    save cannot give back whole, exactly what the saving rules write).
#include <cstdint>
#include <string>

#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"
#include "fuzzsupport.h"
#include "referencesave.h"

namespace {

using lmfuzz::ReferencePage;
using lmfuzz::visible;

constexpr std::int64_t kFirstBlock = 16 * 1024;
constexpr std::int64_t kSecondBlockEnd = kFirstBlock + 64 * 1024;

std::string where(int labelType, int pageNumber, const std::string& file) {
    return "label type " + std::to_string(labelType) + ", page " + std::to_string(pageNumber) +
           ", file (" + std::to_string(file.size()) + " bytes) " +
           visible(file.size() > 400 ? file.substr(file.size() - 400) : file);
}

void checkPageTexts(const lm::MemoryPage& page, const ReferencePage& expected,
                    const std::string& context) {
    for (int i = 2; i <= page.lastSpineIndex(); ++i) {
        std::size_t at = static_cast<std::size_t>(i - 2);
        std::string want = at < expected.spines.size() ? expected.spines[at] : std::string();
        LMFUZZ_CHECK(page.spineText(i) == want, "spine " + std::to_string(i) + " holds \"" +
                                                    visible(page.spineText(i)) + "\", not \"" +
                                                    visible(want) + "\"; " + context);
    }
    for (int i = 2; i <= page.lastPocketIndex(); ++i) {
        std::size_t at = static_cast<std::size_t>(i - 2);
        std::string want = at < expected.pockets.size() ? expected.pockets[at] : std::string();
        LMFUZZ_CHECK(page.pocketText(i) == want, "pocket " + std::to_string(i) + " holds \"" +
                                                     visible(page.pocketText(i)) + "\", not \"" +
                                                     visible(want) + "\"; " + context);
    }
}

// A page that the save writes back exactly as it was read.
bool savesWhole(const ReferencePage& page, const lm::LabelTypeInfo& type, const std::string& file) {
    const std::size_t setTexts = static_cast<std::size_t>(type.textsPerSet());
    if (page.spines.size() + page.pockets.size() != page.completeSets * setTexts) return false;
    if (type.pairsSpines() && page.spines.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < page.spines.size(); i += type.pairsSpines() ? 2 : 1)
        if (page.spines[i].empty()) return false;
    // Bytes after the last complete text that the read consumed are no label.
    if (page.end == static_cast<std::int64_t>(file.size()) &&
        lmfuzz::referenceEndOfLastLabel(file) != page.end)
        return false;
    return page.completeSets > 0;
}

void checkUntouchedSave(const std::string& path, const std::string& file, int labelType,
                        int pageNumber, const ReferencePage& expected) {
    lm::PageState state;
    state.CurrentFileName = path;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    lm::Status shown = lm::showPage(state, page, labelType, pageNumber);
    std::string context = where(labelType, pageNumber, file);
    LMFUZZ_CHECK(shown.ok(), shown.error().message() + "; " + context);

    lmfuzz::ReferenceSaveInput input{true, file, state.PageStartPosition, state.PageEndPosition};
    lm::EditRequest none;
    std::optional<std::string> want = lmfuzz::referenceSave(input, page, labelType, none);
    lm::Result<lm::SaveOutcome> saved = lm::SaveLabelFile(state, page, labelType, none, path);
    const std::string after = lmfuzz::readFile(path);
    LMFUZZ_CHECK(want.has_value(), "a page read from a file must be savable; " + context);
    LMFUZZ_CHECK(saved.ok(),
                 "saving an untouched page failed: " + saved.error().message() + "; " + context);
    LMFUZZ_CHECK(after == *want, "saved \"" + visible(after) + "\", the rules write \"" +
                                     visible(*want) + "\"; " + context);
    if (savesWhole(expected, *lm::labelTypeInfo(labelType), file))
        LMFUZZ_CHECK(after == file, "an untouched whole page did not save back the same bytes: \"" +
                                        visible(after) + "\"; " + context);
    LMFUZZ_CHECK(state.LabelFileLength == static_cast<std::int32_t>(after.size()),
                 "LabelFileLength after the save is " + std::to_string(state.LabelFileLength) +
                     "; " + context);
    LMFUZZ_CHECK(lmfuzz::folderEntries(lmfuzz::scratchFolder()).size() == 1,
                 "the save left a scratch file; " + context);
    lmfuzz::writeFile(path, file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int labelType = lmfuzz::labelTypeFromByte(data[0]);
    std::string file;
    if (data[1] >= 0xF0) {
        // One long first label, so that what follows starts just before the
        // end of the first or the second block the reader takes.
        std::int64_t boundary = (data[1] & 0x08) ? kSecondBlockEnd : kFirstBlock;
        std::int64_t length = boundary - (data[1] & 0x07) * 3 - 2;
        file.assign(static_cast<std::size_t>(length), 'f');
        file += "~~";
    }
    file.append(reinterpret_cast<const char*>(data) + 2, size - 2);

    lmfuzz::emptyFolder(lmfuzz::scratchFolder());
    const std::string path = lmfuzz::scratchPath("labels.dat");
    lmfuzz::writeFile(path, file);
    const std::vector<ReferencePage> pages = lmfuzz::referencePages(file, labelType);
    const int pageCount = static_cast<int>(pages.size());

    // Forward, the way Next Page goes: each page starts after the last byte
    // of the one before, with one state carried along.
    lm::PageState state;
    state.CurrentFileName = path;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    int read = 0;
    for (int n = 1;; ++n) {
        std::int32_t start = n == 1 ? 1 : state.PageEndPosition + 1;
        if (n > 1 && start > state.LabelFileLength) break;
        std::string context = where(labelType, n, file);
        LMFUZZ_CHECK(n <= pageCount, "more pages forward than the rules give; " + context);
        page.clear();
        state.PageStartPosition = start;
        state.PageEndPosition = start - 1;
        state.PageNumber = n;
        lm::Status status = lm::ReadLabelFile(state, page, labelType, path, start);
        LMFUZZ_CHECK(status.ok(), status.error().message() + "; " + context);
        const ReferencePage& expected = pages[static_cast<std::size_t>(n - 1)];
        LMFUZZ_CHECK(start == expected.start, "page starts at " + std::to_string(start) +
                                                  ", the rules say " +
                                                  std::to_string(expected.start) + "; " + context);
        LMFUZZ_CHECK(state.PageEndPosition == expected.end,
                     "page ends at " + std::to_string(state.PageEndPosition) + ", the rules say " +
                         std::to_string(expected.end) + "; " + context);
        LMFUZZ_CHECK(state.LabelFileLength == static_cast<std::int32_t>(file.size()),
                     "LabelFileLength " + std::to_string(state.LabelFileLength) + "; " + context);
        checkPageTexts(page, expected, context);
        read = n;
    }
    LMFUZZ_CHECK(read == pageCount,
                 "read " + std::to_string(read) + " pages forward, the rules give " +
                     std::to_string(pageCount) + "; " + where(labelType, 0, file));

    // Back again with the same state, as Previous Page goes.
    for (int n = pageCount; n >= 2; --n) {
        std::int64_t from = pages[static_cast<std::size_t>(n - 1)].start;
        std::int64_t want = pages[static_cast<std::size_t>(n - 2)].start;
        lm::Result<std::int32_t> found =
            lm::FindNewPagePosition(state, labelType, static_cast<std::int32_t>(from));
        std::string context = where(labelType, n, file);
        LMFUZZ_CHECK(found.ok(), found.error().message() + "; " + context);
        LMFUZZ_CHECK(*found == want, "going back found " + std::to_string(*found) +
                                         ", going forward " + std::to_string(want) + "; " +
                                         context);
        LMFUZZ_CHECK(state.PageEndPosition == want - 1, "PageEndPosition after going back is " +
                                                            std::to_string(state.PageEndPosition) +
                                                            "; " + context);
    }

    // Going back from a state that has seen nothing of the file yet.
    for (int n = 2; n <= pageCount; ++n) {
        lm::PageState fresh;
        fresh.CurrentFileName = path;
        std::int64_t from = pages[static_cast<std::size_t>(n - 1)].start;
        lm::Result<std::int32_t> found =
            lm::FindNewPagePosition(fresh, labelType, static_cast<std::int32_t>(from));
        std::string context = where(labelType, n, file);
        LMFUZZ_CHECK(found.ok(), found.error().message() + "; " + context);
        LMFUZZ_CHECK(
            *found == pages[static_cast<std::size_t>(n - 2)].start,
            "going back from a fresh state found " + std::to_string(*found) + "; " + context);
    }

    // Page N found directly, one state for all, in an order that jumps about.
    lm::PageState located;
    located.CurrentFileName = path;
    for (int i = 0; i <= pageCount; ++i) {
        int n = (i * 7) % (pageCount + 1) + 1;
        lm::Result<lm::PageBounds> bounds = lm::locatePage(located, labelType, n);
        std::string context = where(labelType, n, file);
        LMFUZZ_CHECK(bounds.ok(), bounds.error().message() + "; " + context);
        std::int64_t wantStart = n <= pageCount ? pages[static_cast<std::size_t>(n - 1)].start
                                                : static_cast<std::int64_t>(file.size()) + 1;
        std::int64_t wantEnd = n <= pageCount ? pages[static_cast<std::size_t>(n - 1)].end
                                              : static_cast<std::int64_t>(file.size());
        LMFUZZ_CHECK(bounds->start == wantStart && bounds->end == wantEnd,
                     "locatePage gave " + std::to_string(bounds->start) + ".." +
                         std::to_string(bounds->end) + "; " + context);
    }
    {
        int n = 1 + static_cast<int>(data[0] / 10) % pageCount;
        lm::PageState shownState;
        shownState.CurrentFileName = path;
        lm::MemoryPage shownPage = lm::MemoryPage::forLabelType(labelType);
        lm::Status shown = lm::showPage(shownState, shownPage, labelType, n);
        std::string context = where(labelType, n, file);
        LMFUZZ_CHECK(shown.ok(), shown.error().message() + "; " + context);
        const ReferencePage& expected = pages[static_cast<std::size_t>(n - 1)];
        LMFUZZ_CHECK(shownState.PageStartPosition == expected.start &&
                         shownState.PageEndPosition == expected.end && shownState.PageNumber == n,
                     "showPage put the page at " + std::to_string(shownState.PageStartPosition) +
                         ".." + std::to_string(shownState.PageEndPosition) + "; " + context);
        checkPageTexts(shownPage, expected, context);
    }

    // Saving an untouched page: the first pages and the last.
    for (int n = 1; n <= pageCount; ++n) {
        if (n > 3 && n < pageCount) continue;
        checkUntouchedSave(path, file, labelType, n, pages[static_cast<std::size_t>(n - 1)]);
    }
    return 0;
}

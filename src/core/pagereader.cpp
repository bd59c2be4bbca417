#include "core/pagereader.h"

#include <algorithm>

#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/readablefile.h"

namespace lm {
namespace {

Error unknownLabelType(int labelType) {
    return Error{"", "unknown label type " + std::to_string(labelType)};
}

Status openLabelFile(ReadableFile& file, const std::string& path, ReadableFile::Missing missing) {
    Status opened = file.open(path, missing);
    if (!opened) return opened;
    return checkLabelFileLength(path, file.length());
}

// Reads one page from `start` into `page`; returns the last byte read.
Result<std::int64_t> fillPage(const ReadableFile& file, LabelPage& page, const LabelTypeInfo& type,
                              std::int64_t start) {
    LabelTextReader reader(file, start);
    std::string text;
    int pocket = 2;
    for (int spine = 2; spine <= type.setsPerPage + 1; ++spine) {
        Result<bool> complete = reader.read(text);
        if (!complete) return complete.error();
        if (!*complete) break;
        page.setSpineText(spine, text);
        bool ended = false;
        for (int i = 0; i < type.pocketsPerSet; ++i) {
            complete = reader.read(text);
            if (!complete) return complete.error();
            if (!*complete) {
                ended = true;
                break;
            }
            page.setPocketText(pocket++, text);
        }
        if (ended) break;
    }
    return reader.lastPosition();
}

// The last byte of the page that starts at `start`, found without keeping
// any text.
Result<std::int64_t> scanPageEnd(const ReadableFile& file, const LabelTypeInfo& type,
                                 std::int64_t start) {
    if (start > file.length()) return start - 1;
    LabelTextReader reader(file, start);
    for (int i = 0; i < type.textsPerPage(); ++i) {
        Result<bool> complete = reader.skip();
        if (!complete) return complete.error();
        if (!*complete) break;
    }
    return reader.lastPosition();
}

// Scans on from the last known page start until the index knows the pages
// up to `pageNumber` or the end of the file.
Status extendIndex(PageIndex& index, const ReadableFile& file, const LabelTypeInfo& type,
                   int pageNumber) {
    while (index.knownPages() < pageNumber && !index.complete()) {
        std::int64_t start = index.lastKnownStart();
        Result<std::int64_t> end = scanPageEnd(file, type, start);
        if (!end) return end.error();
        int before = index.knownPages();
        index.notePage(start, *end);
        if (index.knownPages() == before && !index.complete()) {
            return Error{file.path(), "the page boundaries of the file could not be found"};
        }
    }
    return {};
}

std::int32_t narrow(std::int64_t position) {
    return static_cast<std::int32_t>(position);
}

Status positionFits(const std::string& path, std::int64_t position) {
    if (position <= kLargestLabelFileLength) return {};
    return Error{path, "the position lies past the last byte a label file can address"};
}

}  // namespace

Status ReadLabelFile(PageState& state, LabelPage& page, int labelType, const std::string& FileName,
                     std::int32_t StartPosition) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return unknownLabelType(labelType);
    if (StartPosition < 1) return Error{FileName, "a page cannot start before byte 1"};
    ReadableFile file;
    Status opened = openLabelFile(file, FileName, ReadableFile::Missing::CreateEmpty);
    if (!opened) return opened;

    state.LabelFileLength = narrow(file.length());
    state.PageFileIdentity = file.identity();
    state.PageStarts.attach(FileName, labelType, file.identity());
    state.PageEndPosition = StartPosition - 1;
    if (file.length() == 0 || StartPosition > file.length()) return {};

    Result<std::int64_t> end = fillPage(file, page, *type, StartPosition);
    if (!end) return end.error();
    state.PageEndPosition = narrow(*end);
    state.PageStarts.notePage(StartPosition, *end);
    return {};
}

Result<std::int32_t> FindNewPagePosition(PageState& state, int labelType,
                                         std::int32_t OldStartPosition) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return unknownLabelType(labelType);
    if (OldStartPosition <= 1) return Error{state.CurrentFileName, "there is no previous page"};
    ReadableFile file;
    Status opened = openLabelFile(file, state.CurrentFileName, ReadableFile::Missing::Fail);
    if (!opened) return opened.error();

    PageIndex& index = state.PageStarts;
    index.attach(state.CurrentFileName, labelType, file.identity());
    std::optional<std::int64_t> previous;
    while (!(previous = index.startBefore(OldStartPosition))) {
        Status extended = extendIndex(index, file, *type, index.knownPages() + 1);
        if (!extended) return extended.error();
    }
    state.PageEndPosition = narrow(*previous - 1);
    return narrow(*previous);
}

Result<PageBounds> locatePage(PageState& state, int labelType, int pageNumber) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return unknownLabelType(labelType);
    if (pageNumber < 1 || pageNumber > kLastPageNumber)
        return Error{state.CurrentFileName, "there is no page " + std::to_string(pageNumber)};
    ReadableFile file;
    Status opened = openLabelFile(file, state.CurrentFileName, ReadableFile::Missing::CreateEmpty);
    if (!opened) return opened.error();

    PageIndex& index = state.PageStarts;
    index.attach(state.CurrentFileName, labelType, file.identity());
    Status extended = extendIndex(index, file, *type, pageNumber);
    if (!extended) return extended.error();

    std::int64_t start;
    std::int64_t end;
    if (pageNumber <= index.knownPages()) {
        start = index.start(pageNumber);
        Result<std::int64_t> scanned = scanPageEnd(file, *type, start);
        if (!scanned) return scanned.error();
        end = *scanned;
    } else {
        start = file.length() + 1;
        end = file.length();
    }
    Status fits = positionFits(state.CurrentFileName, start);
    if (!fits) return fits.error();
    return PageBounds{narrow(start), narrow(end)};
}

Status showPage(PageState& state, LabelPage& page, int labelType, int pageNumber) {
    Result<PageBounds> bounds = locatePage(state, labelType, pageNumber);
    if (!bounds) return bounds.status();
    page.clear();
    Status read = ReadLabelFile(state, page, labelType, state.CurrentFileName, bounds->start);
    if (!read) return read;
    state.PageStartPosition = bounds->start;
    state.PageNumber = pageNumber;
    return {};
}

Result<std::int64_t> endOfLastLabel(PageState& state, int labelType) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return unknownLabelType(labelType);
    ReadableFile file;
    Status opened = openLabelFile(file, state.CurrentFileName, ReadableFile::Missing::Fail);
    if (!opened) return opened.error();
    if (file.length() == 0) return std::int64_t(0);
    PageIndex& index = state.PageStarts;
    index.attach(state.CurrentFileName, labelType, file.identity());
    std::optional<std::int64_t> lastPage;
    while (!(lastPage = index.startBefore(file.length() + 1))) {
        Status extended = extendIndex(index, file, *type, index.knownPages() + 1);
        if (!extended) return extended.error();
    }
    LabelTextReader reader(file, *lastPage);
    std::int64_t end = *lastPage - 1;
    while (true) {
        Result<bool> complete = reader.skip();
        if (!complete) return complete.error();
        if (!*complete) break;
        end = reader.lastPosition();
    }
    return end;
}

Status loadFirstPage(PageState& state, LabelPage& page, int labelType,
                     const std::string& fileName) {
    // Refuse a file that cannot be opened before the page on display is emptied.
    {
        ReadableFile file;
        Status opened = openLabelFile(file, fileName, ReadableFile::Missing::CreateEmpty);
        if (!opened) return opened;
    }
    PageState loaded = state;
    loaded.CurrentFileName = fileName;
    loaded.PageStartPosition = 1;
    loaded.PageEndPosition = 0;
    loaded.PageNumber = 1;
    // Read into a page of its own: a read that fails half-way (a label too
    // long, a read error) leaves the page on display as it was, so a later
    // save cannot put an empty page over the labels of the file still named.
    MemoryPage first = MemoryPage::forLabelType(labelType);
    Status read = ReadLabelFile(loaded, first, labelType, fileName, 1);
    if (!read) return read;
    page.clear();
    for (int i = 2; i <= std::min(page.lastSpineIndex(), first.lastSpineIndex()); ++i)
        page.setSpineText(i, first.spineText(i));
    for (int i = 2; i <= std::min(page.lastPocketIndex(), first.lastPocketIndex()); ++i)
        page.setPocketText(i, first.pocketText(i));
    state = std::move(loaded);
    return {};
}

}  // namespace lm

#include "core/pagesaver.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "core/atomicfile.h"
#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labelset.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"
#include "core/pagereader.h"
#include "core/production.h"
#include "core/readablefile.h"
#include "core/selection.h"

namespace lm {
namespace {

constexpr std::size_t kPageFlush = 1024 * 1024;

enum class SetAction { Write, InsertBlanksThenWrite, Produce };

struct PlannedSet {
    int position;
    SetAction action;
    LabelSetTexts texts;
};

// "label set 3" counts the sets of the page as the operator sees them.
std::string setName(int setPosition) {
    return "label set " + std::to_string(setPosition - 1);
}

// The place of one label of a set, e.g. "the first pocket label of label set 3".
std::string labelPlace(const LabelTypeInfo& type, bool pocket, int which, int setPosition) {
    std::string label;
    int count = pocket ? type.pocketsPerSet : type.spineTextsPerSetPosition();
    if (count > 1) label = which == 0 ? "first " : "second ";
    label += pocket ? "pocket label" : "spine label";
    return "the " + label + " of " + setName(setPosition) + " on this page";
}

Error unstorable(const std::string& path, const std::string& place, const std::string& why) {
    std::string sentence = place + " " + why + ". The page was not saved.";
    sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
    return Error{path, sentence};
}

const char* kNotEncodable =
    "holds a character that a label file cannot store (it stores Windows-1252 characters only)";

// Checks that every text of a set that will be written reads back as it is.
Status checkSet(const std::string& path, const LabelPage& page, const LabelTypeInfo& type,
                const PlannedSet& set) {
    SetControls controls = controlsOfSet(type.index, set.position);
    const std::string* spineTexts[] = {&set.texts.s1, &set.texts.s2};
    const std::string* pocketTexts[] = {&set.texts.p1, &set.texts.p2};
    for (std::size_t i = 0; i < controls.spine.size(); ++i) {
        std::string place = labelPlace(type, false, int(i), set.position);
        if (!page.spineTextEncodable(controls.spine[i]))
            return unstorable(path, place, kNotEncodable);
        TextProblem problem = textProblem(*spineTexts[i]);
        // Numbering changes the texts; the copies are checked as they are made.
        if (set.action != SetAction::Produce && problem != TextProblem::None)
            return unstorable(path, place, describeTextProblem(problem));
    }
    for (std::size_t i = 0; i < controls.pocket.size(); ++i) {
        std::string place = labelPlace(type, true, int(i), set.position);
        if (!page.pocketTextEncodable(controls.pocket[i]))
            return unstorable(path, place, kNotEncodable);
        TextProblem problem = textProblem(*pocketTexts[i]);
        if (set.action != SetAction::Produce && problem != TextProblem::None)
            return unstorable(path, place, describeTextProblem(problem));
    }
    return {};
}

Status checkCopy(const std::string& path, const LabelTypeInfo& type, const LabelSetTexts& copy,
                 int setPosition) {
    const std::string* texts[] = {&copy.s1, &copy.s2, &copy.p1, &copy.p2};
    for (int i = 0; i < 4; ++i) {
        TextProblem problem = textProblem(*texts[i]);
        if (problem == TextProblem::None) continue;
        bool pocket = i >= 2;
        std::string place = "the numbered copies of " +
                            labelPlace(type, pocket, pocket ? i - 2 : i, setPosition) +
                            " (constants and numbers included)";
        return unstorable(path, place, describeTextProblem(problem));
    }
    return {};
}

// The sets the page save writes, in order, with what happens to each.
Result<std::vector<PlannedSet>> planPage(const std::string& path, const LabelPage& page,
                                         const LabelTypeInfo& type, const EditRequest& edit) {
    std::vector<PlannedSet> plan;
    for (int k = 2; k <= type.lastSetPosition(); ++k) {
        LabelSetTexts texts = labelSetTextsAt(page, type, k);
        if (texts.s1.empty()) continue;  // an empty first spine text drops the whole set
        bool selected = k == edit.SelectedSetIndex;
        if (selected && edit.deletesSet()) continue;
        SetAction action = SetAction::Write;
        if (selected && edit.producesCopies()) action = SetAction::Produce;
        if (selected && edit.insertsBlankSets()) action = SetAction::InsertBlanksThenWrite;
        PlannedSet set{k, action, std::move(texts)};
        Status checked = checkSet(path, page, type, set);
        if (!checked) return checked.error();
        if (action == SetAction::Produce) {
            Status request = checkProductionRequest(edit);
            if (!request) return request.error();
            LabelSetTexts first = composeCopy(type, set.texts, firstCopyNumbers(edit));
            Status copy = checkCopy(path, type, first, k);
            if (!copy) return copy.error();
        }
        if (action == SetAction::InsertBlanksThenWrite &&
            (edit.PendingEditCount < 0 || edit.PendingEditCount > kLargestEnteredNumber))
            return Error{"", kIllegalNumbersMessage};
        plan.push_back(std::move(set));
    }
    return plan;
}

Status copyBytes(const ReadableFile& source, std::int64_t from, std::int64_t to,
                 AtomicFileWriter& target) {
    if (from >= to) return {};
    return target.copyFrom(source.descriptor(), from, to - from, source.path());
}

// Collects the page's texts and passes them on in large pieces, refusing to
// grow the file past what 32-bit positions can address.
class PageStream {
  public:
    PageStream(AtomicFileWriter& target, const LabelTypeInfo& type, std::int64_t room)
        : m_target(target), m_type(type), m_room(room) {}

    Status writeSet(const LabelSetTexts& set) {
        std::size_t before = m_pending.size();
        appendLabelSet(m_pending, m_type, set);
        m_bytes += static_cast<std::int64_t>(m_pending.size() - before);
        m_texts += textsPerSetPosition(m_type);
        if (m_bytes > m_room)
            return Error{m_target.targetPath(),
                         "the label file would grow past 2,147,483,647 bytes, the most a label "
                         "file can hold"};
        if (m_pending.size() >= kPageFlush) return flush();
        return {};
    }
    Status flush() {
        Status written = m_target.write(m_pending);
        m_pending.clear();
        return written;
    }
    std::int64_t bytes() const { return m_bytes; }
    long long texts() const { return m_texts; }

  private:
    AtomicFileWriter& m_target;
    const LabelTypeInfo& m_type;
    std::int64_t m_room;
    std::string m_pending;
    std::int64_t m_bytes = 0;
    long long m_texts = 0;
};

Status writePage(PageStream& stream, const std::vector<PlannedSet>& plan, const LabelTypeInfo& type,
                 const EditRequest& edit, const std::string& path) {
    const LabelSetTexts blank{kBlankLabelText, {}, {}, {}};
    for (const PlannedSet& set : plan) {
        Status written;
        if (set.action == SetAction::Produce) {
            written = produceNumberedCopies(type, set.texts, edit, [&](const LabelSetTexts& copy) {
                Status checked = checkCopy(path, type, copy, set.position);
                if (!checked) return checked;
                return stream.writeSet(copy);
            });
            if (!written) return written;
            continue;
        }
        if (set.action == SetAction::InsertBlanksThenWrite) {
            for (int i = 0; i < edit.PendingEditCount && written.ok(); ++i)
                written = stream.writeSet(blank);
        }
        if (written.ok()) written = stream.writeSet(set.texts);
        if (!written) return written;
    }
    return stream.flush();
}

bool fileIsMissing(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool sameFileAsRead(const FileIdentity& read, const FileIdentity& now) {
    return read.size < 0 || read == now;
}

}  // namespace

Status checkPageCanBeSaved(const LabelPage& page, int labelType, const EditRequest& edit,
                           const std::string& FileName) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return Error{"", "unknown label type " + std::to_string(labelType)};
    return planPage(FileName, page, *type, edit).status();
}

Result<SaveOutcome> SaveLabelFile(PageState& state, LabelPage& page, int labelType,
                                  const EditRequest& edit, const std::string& FileName,
                                  const SaveOptions& options) {
    const LabelTypeInfo* type = labelTypeInfo(labelType);
    if (!type) return Error{"", "unknown label type " + std::to_string(labelType)};
    if (FileName.empty()) return Error{"", "no file name was given to save the labels into"};

    Result<std::vector<PlannedSet>> plan = planPage(FileName, page, *type, edit);
    if (!plan) return plan.error();

    // Where the page lies in the file it came from. With no file open, the
    // page alone makes the new file.
    const std::string& sourcePath = state.CurrentFileName;
    const bool haveSource = !sourcePath.empty();
    std::int64_t start = haveSource ? state.PageStartPosition : 1;
    if (start < 1) return Error{sourcePath, "the page lies before the start of the file"};
    ReadableFile source;
    std::int64_t sourceLength = 0;
    const bool knownSource = haveSource && state.PageFileIdentity.size >= 0;
    if (knownSource && fileIsMissing(sourcePath)) return Error{sourcePath, kFileGoneReason};
    if (haveSource && !(start == 1 && fileIsMissing(sourcePath))) {
        Status opened = source.open(sourcePath);
        if (!opened) return opened.error();
        if (!sameFileAsRead(state.PageFileIdentity, source.identity()))
            return Error{sourcePath, kFileChangedReason};
        sourceLength = source.length();
        Status fits = checkLabelFileLength(sourcePath, sourceLength);
        if (!fits) return fits.error();
        if (sourceLength < start - 1)
            return Error{sourcePath,
                         "the file has become shorter since this page was read; the labels "
                         "before the page cannot be kept"};
    }
    if (source.isOpen() && sourceLength > 0 && start == sourceLength + 1) {
        // A new page after the end of the file. Bytes after the last complete
        // label never were a label; left in front of the page they would
        // join its first text, so the page takes their place.
        Result<std::int64_t> lastLabelEnd = endOfLastLabel(state, labelType);
        if (!lastLabelEnd) return lastLabelEnd.error();
        start = *lastLabelEnd + 1;
    }
    // The old page ends where the last page read or save left it; what follows
    // is kept as it is.
    const std::int64_t restFrom =
        haveSource ? std::max<std::int64_t>(state.PageEndPosition, start - 1) : 0;
    const std::int64_t restLength = std::max<std::int64_t>(sourceLength - restFrom, 0);

    AtomicFileWriter target;
    Status status = target.open(FileName, options.inPlace ? AtomicFileWriter::Replace::InPlace
                                                          : AtomicFileWriter::Replace::ByRename);
    if (!status) return status.error();
    if (source.isOpen()) status = copyBytes(source, 0, start - 1, target);
    if (!status) return status.error();

    PageStream stream(target, *type, kLargestLabelFileLength - (start - 1) - restLength);
    status = writePage(stream, *plan, *type, edit, FileName);
    if (!status) return status.error();
    if (restLength > 0) status = copyBytes(source, restFrom, sourceLength, target);
    if (!status) return status.error();
    status = target.commit();
    if (!status) return status.error();

    // The file is written; from here on the state follows it.
    const std::int64_t newEnd = start + stream.bytes() - 1;
    const std::int64_t newLength = start - 1 + stream.bytes() + restLength;
    PageIndex& index = state.PageStarts;
    Result<FileIdentity> written = fileIdentityOf(FileName);
    state.PageFileIdentity = written ? *written : FileIdentity{};
    if (!written) {
        index.forget();
    } else if (source.isOpen() && index.describes(sourcePath, labelType) &&
               index.identity() == source.identity()) {
        index.noteSave(FileName, *written, start, restFrom, newEnd, stream.texts(),
                       type->textsPerPage());
    } else {
        index.forget();
        index.attach(FileName, labelType, *written);
    }
    state.CurrentFileName = FileName;
    state.PageStartPosition = static_cast<std::int32_t>(start);
    state.PageEndPosition = static_cast<std::int32_t>(newEnd);
    state.LabelFileLength = static_cast<std::int32_t>(newLength);

    SaveOutcome outcome;
    if (edit.movesPageBoundaries()) {
        // Every page boundary after the edited set has moved: find the page
        // with the same number again.
        Status shown = showPage(state, page, labelType, state.PageNumber);
        if (!shown)
            return Error{shown.error().path,
                         "the labels were saved, but the page could not be read again: " +
                             shown.error().reason};
        outcome.pageReread = true;
    }
    return outcome;
}

}  // namespace lm

#include "core/connexionextract.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <utility>

#include "core/atomicfile.h"
#include "core/labelfile.h"
#include "core/labeltypes.h"

namespace lm {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kTerminator = "~~";
constexpr std::size_t kSpineColumns = 11;  // the pocket column starts at 12
constexpr int kPocketLines = 5;
constexpr int kLinesPerRecord = 9;

bool isComment(std::string_view line) {
    return line.size() >= 2 && line[0] == '!' && line[1] == '!';
}

bool isBlank(std::string_view line) {
    return line.find_first_not_of(' ') == std::string_view::npos;
}

std::string_view trimSpaces(std::string_view text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// The texts a record gives, in the order they are written.
enum class Text { Spine, FirstPocket, SecondPocket };

std::vector<Text> textsWritten(int callIndex, bool multipleRecords) {
    switch (callIndex) {
        case kSp1:
            return {Text::Spine};
        case kSp2:
            return {Text::Spine, Text::Spine};
        case kSl4:
        case kSl6:
            return {Text::Spine, Text::FirstPocket, Text::SecondPocket};
        case kSlb:
        case kSlb2:
            return {Text::Spine, Text::SecondPocket};
        case kSp1Sp2F3:
            if (multipleRecords) return {Text::Spine};
            return {};
        default:
            return {};
    }
}

// One catalogue record being gathered line by line into its spine text and
// two pocket texts. Every line adds its spine column to the spine text; the
// first five lines fill the first pocket, and the lines after them with an
// empty spine column fill the second.
class Record {
  public:
    Record(int callIndex, bool multipleRecords)
        : m_callIndex(callIndex), m_texts(textsWritten(callIndex, multipleRecords)) {}

    bool writesTexts() const { return !m_texts.empty(); }

    void addLine(std::string_view line) {
        if (isComment(line)) return;
        std::string_view spine = trimSpaces(line.substr(0, kSpineColumns));
        std::string_view pocket =
            line.size() > kSpineColumns ? line.substr(kSpineColumns) : std::string_view();
        if (!spine.empty()) {
            m_spine.append(spine);
            m_spine.append(kLineBreak);
        }
        if (m_firstLines < kPocketLines) {
            appendPocket(m_firstPocket, m_firstLines, pocket);
            ++m_firstLines;
            return;
        }
        if (!spine.empty() || m_secondLines >= kPocketLines) return;
        // Blank lines before the second pocket starts only separate it from the first.
        if (m_secondLines == 0 && isBlank(line)) return;
        appendPocket(m_secondPocket, m_secondLines, pocket);
        ++m_secondLines;
    }

    // True when a text the record writes holds "~~", which would end it
    // there and shift every later text into the wrong label.
    bool writesTerminator() const {
        for (Text text : m_texts) {
            const std::string& t = text == Text::Spine         ? m_spine
                                   : text == Text::FirstPocket ? m_firstPocket
                                                               : m_secondPocket;
            if (t.find(kTerminator) != std::string::npos) return true;
        }
        return false;
    }

    // Appends the record's texts to `out`, each with its terminator, and
    // starts the next record; false when the call index writes none.
    bool finish(std::string& out) {
        for (Text text : m_texts) {
            out.append(text == Text::Spine         ? m_spine
                       : text == Text::FirstPocket ? m_firstPocket
                                                   : m_secondPocket);
            out.append(kTerminator);
        }
        m_spine.clear();
        m_firstPocket.clear();
        m_secondPocket.clear();
        m_firstLines = m_secondLines = 0;
        return writesTexts();
    }

  private:
    // sl6 pocket labels are taller: their second line comes after an empty
    // line, and a third line that begins with a space is followed by one.
    void appendPocket(std::string& text, int linesBefore, std::string_view part) const {
        if (m_callIndex == kSl6 && linesBefore == 1) {
            text.append(kLineBreak);
        } else if (m_callIndex == kSl6 && linesBefore == 2) {
            if (!part.empty() && part.front() == ' ') {
                text.append(part);
                text.append(kLineBreak);
                text.append(kLineBreak);
                return;
            }
            text.append(kLineBreak);
        }
        text.append(part);
        text.append(kLineBreak);
    }

    int m_callIndex;
    std::vector<Text> m_texts;
    std::string m_spine;
    std::string m_firstPocket;
    std::string m_secondPocket;
    int m_firstLines = 0;
    int m_secondLines = 0;
};

// Ends a record: its texts go to the output, or the caller is told why not.
Status endRecord(Record& record, int callIndex, AtomicFileWriter& writer, std::string& buffer,
                 ExtractSummary& summary) {
    ++summary.recordsRead;
    buffer.clear();
    if (!record.finish(buffer)) {
        summary.messages.push_back(invalidCallIndexMessage(callIndex));
        return {};
    }
    ++summary.recordsWritten;
    return writer.write(buffer);
}

// The reader stopped early: a stop asked for by the operator, or a read failure.
Result<ExtractSummary> readerOutcome(const LineReader& reader, AtomicFileWriter& writer) {
    writer.abandon();
    if (!reader.cancelled()) return reader.error();
    ExtractSummary stopped;
    stopped.cancelled = true;
    return stopped;
}

Error twoTildes(const std::string& path, const std::string& where) {
    return Error{path, where + " " + describeTextProblem(TextProblem::TwoTildes) +
                           "; nothing was extracted."};
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::string newFileName(int callIndex) {
    return "NewFile_" + std::to_string(callIndex) + ".dat";
}

std::string newFileMultipleName(int callIndex) {
    return "NewFileMultiple_" + std::to_string(callIndex) + ".dat";
}

std::string invalidCallIndexMessage(int callIndex) {
    return "Invalid Call Index " + std::to_string(callIndex);
}

Result<std::vector<ExportFile>> listExportFiles(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return Error{folder, systemReason(errno)};
    std::vector<ExportFile> files;
    std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    for (;;) {
        errno = 0;
        dirent* entry = readdir(dir);
        if (!entry) break;
        std::string name = entry->d_name;
        if (name.empty() || name[0] == '.') continue;  // ".", ".." and hidden files
        ExportFile file;
        file.path = prefix + name;
        struct stat st;
        if (stat(file.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        file.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL +
                          static_cast<long long>(st.st_mtim.tv_nsec);
        file.size = static_cast<long long>(st.st_size);
        files.push_back(std::move(file));
    }
    int readError = errno;
    closedir(dir);
    if (readError != 0) return Error{folder, systemReason(readError)};
    std::sort(files.begin(), files.end(),
              [](const ExportFile& a, const ExportFile& b) { return a.path < b.path; });
    return files;
}

void sortOldestFirst(std::vector<ExportFile>& files) {
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
        std::size_t earliest = i;
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            if (files[j].modifiedNs < files[earliest].modifiedNs) earliest = j;
        }
        std::swap(files[i], files[earliest]);
    }
}

namespace {

Result<ExtractSummary> commitUnlessEmpty(AtomicFileWriter& writer, ExtractSummary summary,
                                         EmptyOutput empty) {
    if (summary.recordsWritten == 0 && empty == EmptyOutput::KeepPrevious) {
        writer.abandon();
        return summary;
    }
    if (Status committed = writer.commit(); !committed) return committed.error();
    return summary;
}

}  // namespace

Result<ExtractSummary> InfoExtract(const std::string& folderPath, int callIndex,
                                   const std::string& outputPath, const ProgressCallback& progress,
                                   EmptyOutput empty) {
    Result<std::vector<ExportFile>> listed = listExportFiles(folderPath);
    if (!listed) return listed.error();
    std::vector<ExportFile> files = std::move(listed.value());

    // The previous output may sit in the folder it is extracted from; it is
    // this program's label file, not an export.
    struct stat output;
    if (stat(outputPath.c_str(), &output) == 0) {
        files.erase(std::remove_if(files.begin(), files.end(),
                                   [&](const ExportFile& file) {
                                       struct stat st;
                                       return stat(file.path.c_str(), &st) == 0 &&
                                              sameFile(st, output);
                                   }),
                    files.end());
    }
    sortOldestFirst(files);

    AtomicFileWriter writer;
    if (Status opened = writer.open(outputPath); !opened) return opened.error();

    long long total = 0;
    for (const ExportFile& file : files) total += file.size;
    long long doneBefore = 0;

    ExtractSummary summary;
    Record record(callIndex, false);
    LineReader reader(LineReader::LineEnd::LineFeedOrCrLf);
    std::string buffer;
    for (const ExportFile& file : files) {
        if (Status opened = reader.open(file.path); !opened) return opened.error();
        if (progress) {
            reader.setProgress([&](long long done, long long) {
                return progress(doneBefore + done, std::max(total, doneBefore + done));
            });
        }
        while (!reader.atEnd()) record.addLine(reader.readLine());
        if (reader.failed()) return readerOutcome(reader, writer);
        doneBefore += reader.bytesRead();
        reader.close();
        if (record.writesTerminator()) return twoTildes(file.path, "this export");
        if (Status ended = endRecord(record, callIndex, writer, buffer, summary); !ended)
            return ended.error();
    }
    return commitUnlessEmpty(writer, std::move(summary), empty);
}

Result<ExtractSummary> InfoExtractMultiple(const std::string& exportFile, int callIndex,
                                           const std::string& outputPath,
                                           const ProgressCallback& progress, EmptyOutput empty) {
    LineReader reader(LineReader::LineEnd::LineFeedOrCrLf);
    if (Status opened = reader.open(exportFile); !opened) return opened.error();
    AtomicFileWriter writer;
    if (Status opened = writer.open(outputPath); !opened) return opened.error();
    reader.setProgress(progress);

    ExtractSummary summary;
    Record record(callIndex, true);
    std::string buffer;
    int lines = 0;
    long long lineNumber = 0;
    long long recordStart = 0;
    while (!reader.atEnd()) {
        std::string_view line = reader.readLine();
        ++lineNumber;
        if (lines == 0 && isBlank(line)) continue;  // blank lines between records
        if (lines == 0) recordStart = lineNumber;
        record.addLine(line);
        if (++lines < kLinesPerRecord) continue;
        lines = 0;
        if (record.writesTerminator())
            return twoTildes(exportFile,
                             "the record that begins at line " + std::to_string(recordStart));
        if (Status ended = endRecord(record, callIndex, writer, buffer, summary); !ended)
            return ended.error();
    }
    if (reader.failed()) return readerOutcome(reader, writer);
    return commitUnlessEmpty(writer, std::move(summary), empty);
}

}  // namespace lm

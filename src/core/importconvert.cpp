#include "core/importconvert.h"

#include <string_view>

#include "core/atomicfile.h"
#include "core/labelfile.h"
#include "core/labeltypes.h"

namespace lm {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kTerminator = "~~";

// How a content line of an export feeds the label's texts.
enum class LineKind {
    WholeLineSpine,  // single-column exports: the whole line belongs to the spine
    SpineColumn,     // only the spine columns are read, the rest is ignored
    SpineAndPocket,  // spine columns 1 to 8, pocket from column 11
};

struct LineGroup {
    int lines;
    LineKind kind;
    int pocket;  // which pocket text SpineAndPocket lines feed
};

// One label's block of lines in an export made for a label type: content
// lines in groups, then trailing lines that are read past.
struct ImportLayout {
    int pockets;
    int groupCount;
    LineGroup groups[3];
    int trailingLines;
};

constexpr ImportLayout kSpineOnly = {0, 1, {{9, LineKind::WholeLineSpine, 0}}, 3};
constexpr ImportLayout kOnePocket = {1, 1, {{9, LineKind::SpineAndPocket, 0}}, 3};
constexpr ImportLayout kSl4Layout = {2,
                                     3,
                                     {{4, LineKind::SpineAndPocket, 0},
                                      {1, LineKind::SpineColumn, 0},
                                      {4, LineKind::SpineAndPocket, 1}},
                                     3};
constexpr ImportLayout kSl6Layout = {2,
                                     3,
                                     {{6, LineKind::SpineAndPocket, 0},
                                      {2, LineKind::SpineColumn, 0},
                                      {6, LineKind::SpineAndPocket, 1}},
                                     4};

const ImportLayout* importLayout(int labelType) {
    switch (labelType) {
        case kSp1:
        case kSp2:
        case kSpa:
        case kSp1Sp2F2:
        case kSp1Sp2F3:
            return &kSpineOnly;
        case kSlb:
        case kSlb2:
            return &kOnePocket;
        case kSl4:
            return &kSl4Layout;
        case kSl6:
            return &kSl6Layout;
        default:
            return nullptr;  // Mailer-1 and unknown types are not converted
    }
}

constexpr std::size_t kSpineColumns = 8;
constexpr std::size_t kPocketStart = 10;  // the pocket begins after column 10

void removeTrailingSpaces(std::string_view& part) {
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
}

// Trailing spaces and carriage returns in any mix go: a Windows export ends
// each line in CR LF, and a kept CR would print as a second line break after
// every line. A line whose spine part is then blank, or begins with a
// carriage return, adds nothing.
void appendSpinePart(std::string& spine, std::string_view part) {
    while (!part.empty() && (part.back() == ' ' || part.back() == '\r')) part.remove_suffix(1);
    if (part.empty() || part.front() == '\r') return;
    if (part.front() == ' ') part.remove_prefix(1);
    spine.append(part);
    spine.append(kLineBreak);
}

void appendPocketPart(std::string& pocket, std::string_view part) {
    removeTrailingSpaces(part);
    if (part.empty() || part.front() == '\r') return;
    while (!part.empty() && part.back() == '\r') part.remove_suffix(1);
    removeTrailingSpaces(part);
    if (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    pocket.append(part);
    pocket.append(kLineBreak);
}

// A line too short to reach the pocket columns has no pocket part.
std::string_view pocketPartOf(std::string_view line) {
    return line.size() > kPocketStart ? line.substr(kPocketStart) : std::string_view();
}

class Converter {
  public:
    Converter(const ImportLayout& layout, const std::string& exportPath, LineReader& reader,
              AtomicFileWriter& writer)
        : m_layout(layout), m_exportPath(exportPath), m_reader(reader), m_writer(writer) {}

    // Converts until the input ends; fails when the output cannot be written
    // or a label could not be read back from it.
    Status run(long long& labelsWritten) {
        for (;;) {
            if (!readLabel()) return {};
            // "~~" inside a text would end it there and shift every later
            // text into the wrong label: refuse the export instead.
            if (holdsTerminator())
                return Error{m_exportPath, "the label that begins at line " +
                                               std::to_string(m_firstLine) + " " +
                                               describeTextProblem(TextProblem::TwoTildes) +
                                               "; nothing was imported."};
            Status written = writeLabel();
            if (!written) return written;
            ++labelsWritten;
            for (int i = 0; i < m_layout.trailingLines; ++i) {
                if (m_reader.atEnd()) return {};
                m_reader.skipLine();
                ++m_lines;
            }
        }
    }

  private:
    // False when the input ends after a content line: that label is dropped,
    // so a label counts only if something follows its last content line.
    bool readLabel() {
        m_spine.clear();
        m_pockets[0].clear();
        m_pockets[1].clear();
        m_firstLine = m_lines + 1;
        for (int g = 0; g < m_layout.groupCount; ++g) {
            const LineGroup& group = m_layout.groups[g];
            for (int i = 0; i < group.lines; ++i) {
                // Used before the end test because the test may refill the
                // reader's block; a label cut short is thrown away anyway.
                addLine(group, m_reader.readLine());
                ++m_lines;
                if (m_reader.atEnd()) return false;
            }
        }
        return true;
    }

    bool holdsTerminator() const {
        if (m_spine.find(kTerminator) != std::string::npos) return true;
        for (int p = 0; p < m_layout.pockets; ++p)
            if (m_pockets[p].find(kTerminator) != std::string::npos) return true;
        return false;
    }

    void addLine(const LineGroup& group, std::string_view line) {
        switch (group.kind) {
            case LineKind::WholeLineSpine:
                appendSpinePart(m_spine, line);
                break;
            case LineKind::SpineColumn:
                appendSpinePart(m_spine, line.substr(0, kSpineColumns));
                break;
            case LineKind::SpineAndPocket:
                appendSpinePart(m_spine, line.substr(0, kSpineColumns));
                appendPocketPart(m_pockets[group.pocket], pocketPartOf(line));
                break;
        }
    }

    Status writeLabel() {
        m_label.clear();
        m_label.append(m_spine);
        m_label.append(kTerminator);
        for (int p = 0; p < m_layout.pockets; ++p) {
            m_label.append(m_pockets[p]);
            m_label.append(kTerminator);
        }
        return m_writer.write(m_label);
    }

    const ImportLayout& m_layout;
    const std::string& m_exportPath;
    LineReader& m_reader;
    AtomicFileWriter& m_writer;
    long long m_lines = 0;      // lines of the export read so far
    long long m_firstLine = 0;  // where the label being read begins
    std::string m_spine;
    std::string m_pockets[2];
    std::string m_label;
};

}  // namespace

Result<ConvertSummary> FileConvert(const std::string& originalFile, int labelType,
                                   const std::string& outputPath, const ProgressCallback& progress,
                                   EmptyOutput empty) {
    LineReader reader(LineReader::LineEnd::LineFeed);
    if (Status opened = reader.open(originalFile); !opened) return opened.error();
    AtomicFileWriter writer;
    if (Status opened = writer.open(outputPath); !opened) return opened.error();

    ConvertSummary summary;
    if (const ImportLayout* layout = importLayout(labelType)) {
        reader.setProgress(progress);
        Status converted =
            Converter(*layout, originalFile, reader, writer).run(summary.labelsWritten);
        if (!converted) return converted.error();
        if (reader.cancelled()) {
            writer.abandon();
            summary.cancelled = true;
            summary.labelsWritten = 0;
            return summary;
        }
        if (reader.failed()) return reader.error();
    }
    if (summary.labelsWritten == 0 && empty == EmptyOutput::KeepPrevious) {
        writer.abandon();
        return summary;
    }
    if (Status committed = writer.commit(); !committed) return committed.error();
    return summary;
}

}  // namespace lm

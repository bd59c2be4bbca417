// FileConvert over any export, for every layout (and the types without one).
//
// Input: byte 0 picks the label type (0 and 11 stand for types outside 1 to
// 10), byte 1 may put lines in front so that the rest straddles the end of
// the reader's first block, and may ask the progress callback to stop; the
// rest is the export. Checks, against the conversion rules applied line by
// line:
//  - the label file written holds exactly the bytes the rules give, and the
//    count of labels is right;
//  - reading that label file back gives exactly the texts the conversion
//    made, in order: an export that would put "~~" inside a text (which
//    would split it and shift every later text) is refused;
//  - a stopped or refused conversion leaves the previous output as it was
//    and no scratch file behind.
#include <cstdint>
#include <string>
#include <vector>

#include "core/importconvert.h"
#include "fuzzsupport.h"

namespace {

using lmfuzz::visible;

constexpr std::size_t kReaderBlock = 1 << 20;

struct Layout {
    int pockets;
    // Per content line: 0 whole line to the spine, 1 spine columns only,
    // 2 spine columns and pocket 1, 3 spine columns and pocket 2.
    std::vector<int> lines;
    int trailing;
};

std::vector<int> repeat(int kind, int count) {
    return std::vector<int>(static_cast<std::size_t>(count), kind);
}

std::vector<int> join(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

bool layoutOf(int labelType, Layout* layout) {
    switch (labelType) {
        case 1:
        case 2:
        case 7:
        case 8:
        case 10:
            *layout = {0, repeat(0, 9), 3};
            return true;
        case 5:
        case 6:
            *layout = {1, repeat(2, 9), 3};
            return true;
        case 3:
            *layout = {2, join(join(repeat(2, 4), repeat(1, 1)), repeat(3, 4)), 3};
            return true;
        case 4:
            *layout = {2, join(join(repeat(2, 6), repeat(1, 2)), repeat(3, 6)), 4};
            return true;
        default:
            return false;
    }
}

void trimTrailingSpaces(std::string& s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
}

void addSpine(std::string& spine, std::string part) {
    while (!part.empty() && (part.back() == ' ' || part.back() == '\r')) part.pop_back();
    if (part.empty() || part[0] == '\r') return;
    if (part[0] == ' ') part.erase(0, 1);
    spine += part + "\r\n";
}

void addPocket(std::string& pocket, std::string part) {
    trimTrailingSpaces(part);
    if (part.empty() || part[0] == '\r') return;
    while (!part.empty() && part.back() == '\r') part.pop_back();
    trimTrailingSpaces(part);
    if (!part.empty() && part[0] == ' ') part.erase(0, 1);
    pocket += part + "\r\n";
}

// The conversion by its rules: the texts made, label after label.
std::vector<std::string> referenceConvert(const std::string& input, int labelType,
                                          long long* labels) {
    std::vector<std::string> texts;
    *labels = 0;
    Layout layout;
    if (!layoutOf(labelType, &layout)) return texts;
    std::size_t pos = 0;
    auto atEnd = [&] { return pos >= input.size(); };
    auto readLine = [&] {
        std::size_t lineFeed = input.find('\n', pos);
        std::string line =
            input.substr(pos, lineFeed == std::string::npos ? std::string::npos : lineFeed - pos);
        pos = lineFeed == std::string::npos ? input.size() : lineFeed + 1;
        return line;
    };
    while (true) {
        std::string spine;
        std::string pockets[2];
        for (int kind : layout.lines) {
            std::string line = readLine();
            if (atEnd()) return texts;
            if (kind == 0) {
                addSpine(spine, line);
                continue;
            }
            addSpine(spine, line.substr(0, 8));
            if (kind >= 2) addPocket(pockets[kind - 2], line.size() > 10 ? line.substr(10) : "");
        }
        texts.push_back(spine);
        for (int p = 0; p < layout.pockets; ++p) texts.push_back(pockets[p]);
        ++*labels;
        for (int i = 0; i < layout.trailing; ++i) {
            if (atEnd()) return texts;
            readLine();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int labelType = data[0] % 12;
    const bool stop = (data[1] & 0x07) == 0x07;
    std::string input;
    if (data[1] >= 0xF0) {
        // Whole lines up to just before the end of the reader's first block.
        std::size_t length = kReaderBlock - (data[1] & 0x0F) * 7;
        std::string line(63, 'x');
        line += '\n';
        while (input.size() + line.size() <= length) input += line;
        input.append(length - input.size(), 'y');
    }
    input.append(reinterpret_cast<const char*>(data) + 2, size - 2);

    lmfuzz::emptyFolder(lmfuzz::scratchFolder());
    const std::string exportPath = lmfuzz::scratchPath("export.txt");
    const std::string outputPath = lmfuzz::scratchPath("out.dat");
    const std::string previous = "previous~~result~~";
    lmfuzz::writeFile(exportPath, input);
    lmfuzz::writeFile(outputPath, previous);

    lm::ProgressCallback progress;
    if (stop) progress = [](long long, long long) { return false; };
    lm::Result<lm::ConvertSummary> converted =
        lm::FileConvert(exportPath, labelType, outputPath, progress);
    const std::string output = lmfuzz::readFile(outputPath);
    const std::string context =
        "label type " + std::to_string(labelType) + ", export \"" +
        visible(input.size() > 600 ? input.substr(input.size() - 600) : input) + "\"";
    LMFUZZ_CHECK(lmfuzz::folderEntries(lmfuzz::scratchFolder()).size() == 2,
                 "a scratch file was left behind; " + context);

    Layout layout;
    if (stop && layoutOf(labelType, &layout) && !input.empty()) {
        LMFUZZ_CHECK(converted.ok() && converted->cancelled && converted->labelsWritten == 0,
                     "a stopped conversion did not say so; " + context);
        LMFUZZ_CHECK(output == previous, "a stopped conversion changed the output; " + context);
        return 0;
    }

    long long labels = 0;
    const std::vector<std::string> texts = referenceConvert(input, labelType, &labels);
    std::string expected;
    bool readsBack = true;
    for (const std::string& text : texts) {
        expected += text + "~~";
        readsBack = readsBack && text.find("~~") == std::string::npos;
    }
    if (!readsBack) {
        // A label that would not read back refuses the whole export.
        LMFUZZ_CHECK(!converted.ok(), "a label holding \"~~\" was written as \"" + visible(output) +
                                          "\"; " + context);
        LMFUZZ_CHECK(converted.error().path == exportPath &&
                         converted.error().reason.find("two tildes") != std::string::npos,
                     "the refusal says \"" + converted.error().message() + "\"; " + context);
        LMFUZZ_CHECK(output == previous, "a refused conversion changed the output; " + context);
        return 0;
    }

    LMFUZZ_CHECK(converted.ok(),
                 "the conversion failed: " + converted.error().message() + "; " + context);
    LMFUZZ_CHECK(!converted->cancelled, "a conversion nobody stopped says it was; " + context);
    LMFUZZ_CHECK(converted->labelsWritten == labels,
                 "wrote " + std::to_string(converted->labelsWritten) + " labels, the rules make " +
                     std::to_string(labels) + "; " + context);
    LMFUZZ_CHECK(output == expected, "wrote \"" + visible(output) + "\", the rules give \"" +
                                         visible(expected) + "\"; " + context);
    LMFUZZ_CHECK(lmfuzz::referenceAllTexts(output) == texts,
                 "the label file written does not read back as the texts made; " + context);
    return 0;
}

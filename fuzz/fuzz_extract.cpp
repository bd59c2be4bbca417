// Both Connexion extracts over any input, for every call index.
//
// Input, taken apart by FuzzedDataProvider: the call index (0 to 11), which
// extract, whether the progress callback stops it, then either one export
// file of many records or up to six one-record files with modification
// times that often tie. Checks, against the extract rules applied line by
// line:
//  - the label file written holds exactly the bytes the rules give, with the
//    records read and written and one "Invalid Call Index N" per record
//    not written;
//  - reading that label file back gives exactly the texts the extract made:
//    a record that would put "~~" inside a text is refused;
//  - the folder's files go in oldest first, ties in the order the rules'
//    selection sort leaves them; hidden files and subfolders are no exports;
//  - a stopped extract leaves the previous output as it was, and no scratch
//    file is left behind.
#include <fuzzer/FuzzedDataProvider.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "core/connexionextract.h"
#include "fuzzsupport.h"

namespace {

using lmfuzz::visible;

bool isBlank(const std::string& line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

std::string trimSpaces(const std::string& text) {
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The lines of a file as the text stream gives them: ended by LF, a CR just
// before the LF dropped with it; a last line without LF still counts.
std::vector<std::string> linesOf(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t lineFeed = content.find('\n', pos);
        if (lineFeed == std::string::npos) {
            lines.push_back(content.substr(pos));
            break;
        }
        std::string line = content.substr(pos, lineFeed - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        pos = lineFeed + 1;
    }
    return lines;
}

struct ReferenceRecord {
    int callIndex;
    std::string spine, first, second;
    int firstLines = 0;
    int secondLines = 0;

    void appendPocket(std::string& text, int before, const std::string& part) const {
        if (callIndex == 4 && before == 1) {
            text += "\r\n" + part + "\r\n";
        } else if (callIndex == 4 && before == 2) {
            text += !part.empty() && part[0] == ' ' ? part + "\r\n\r\n" : "\r\n" + part + "\r\n";
        } else {
            text += part + "\r\n";
        }
    }

    void addLine(const std::string& line) {
        if (line.size() >= 2 && line[0] == '!' && line[1] == '!') return;
        std::string spinePart = trimSpaces(line.substr(0, 11));
        std::string pocketPart = line.size() > 11 ? line.substr(11) : "";
        if (!spinePart.empty()) spine += spinePart + "\r\n";
        if (firstLines < 5) {
            appendPocket(first, firstLines++, pocketPart);
            return;
        }
        if (!spinePart.empty() || secondLines >= 5) return;
        if (secondLines == 0 && isBlank(line)) return;
        appendPocket(second, secondLines++, pocketPart);
    }

    // The texts written for the record; empty when the index writes none.
    std::vector<std::string> finish(bool multiple) {
        std::vector<std::string> texts;
        switch (callIndex) {
            case 1:
                texts = {spine};
                break;
            case 2:
                texts = {spine, spine};
                break;
            case 3:
            case 4:
                texts = {spine, first, second};
                break;
            case 5:
            case 6:
                texts = {spine, second};
                break;
            case 10:
                if (multiple) texts = {spine};
                break;
            default:
                break;
        }
        *this = ReferenceRecord{callIndex, {}, {}, {}};
        return texts;
    }
};

struct ReferenceExtract {
    std::vector<std::string> texts;
    long long read = 0;
    long long written = 0;
};

void endRecord(ReferenceRecord& record, bool multiple, ReferenceExtract& out) {
    ++out.read;
    std::vector<std::string> texts = record.finish(multiple);
    if (texts.empty()) return;
    ++out.written;
    out.texts.insert(out.texts.end(), texts.begin(), texts.end());
}

ReferenceExtract referenceMultiple(const std::string& content, int callIndex) {
    ReferenceExtract out;
    ReferenceRecord record{callIndex, {}, {}, {}};
    int counted = 0;
    for (const std::string& line : linesOf(content)) {
        if (counted == 0 && isBlank(line)) continue;
        record.addLine(line);
        if (++counted == 9) {
            counted = 0;
            endRecord(record, true, out);
        }
    }
    return out;
}

struct ExportFile {
    std::string name;
    long long seconds;
    std::string content;
};

ReferenceExtract referenceFolder(std::vector<ExportFile> files, int callIndex) {
    std::sort(files.begin(), files.end(),
              [](const ExportFile& a, const ExportFile& b) { return a.name < b.name; });
    // Oldest first: the earliest later entry, strictly earlier only, swapped in.
    for (std::size_t i = 0; i + 1 < files.size(); ++i) {
        std::size_t earliest = i;
        for (std::size_t j = i + 1; j < files.size(); ++j)
            if (files[j].seconds < files[earliest].seconds) earliest = j;
        std::swap(files[i], files[earliest]);
    }
    ReferenceExtract out;
    ReferenceRecord record{callIndex, {}, {}, {}};
    for (const ExportFile& file : files) {
        for (const std::string& line : linesOf(file.content)) record.addLine(line);
        endRecord(record, false, out);
    }
    return out;
}

void setModified(const std::string& path, long long seconds) {
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = 1000000000 + seconds;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int callIndex = input.ConsumeIntegralInRange(0, 11);
    const bool multiple = input.ConsumeBool();
    const bool stop = input.ConsumeIntegralInRange(0, 7) == 7;

    const std::string& scratch = lmfuzz::scratchFolder();
    const std::string folder = scratch + "/export";
    mkdir(folder.c_str(), 0777);
    mkdir((folder + "/sub").c_str(), 0777);
    lmfuzz::emptyFolder(folder);
    lmfuzz::emptyFolder(scratch);
    const std::string outputPath = scratch + "/NewFile.dat";
    const std::string previous = "previous~~extract~~";
    lmfuzz::writeFile(outputPath, previous);
    lmfuzz::writeFile(folder + "/.hidden", "HIDDEN     not an export\n");
    lmfuzz::writeFile(folder + "/sub/inner", "INNER      not an export\n");

    lm::ProgressCallback progress;
    if (stop) progress = [](long long, long long) { return false; };

    ReferenceExtract expected;
    lm::Result<lm::ExtractSummary> extracted = lm::ExtractSummary{};
    std::string context = "call index " + std::to_string(callIndex);
    bool anyBytes = false;
    if (multiple) {
        std::string content = input.ConsumeRemainingBytesAsString();
        const std::string exportPath = scratch + "/export.txt";
        lmfuzz::writeFile(exportPath, content);
        anyBytes = !content.empty();
        expected = referenceMultiple(content, callIndex);
        extracted = lm::InfoExtractMultiple(exportPath, callIndex, outputPath, progress);
        context += ", many records \"" + visible(content) + "\"";
    } else {
        std::vector<ExportFile> files;
        const int count = input.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count; ++i) {
            ExportFile file;
            file.name = "f" + std::to_string(i);
            file.seconds = input.ConsumeIntegralInRange(0, 3);
            file.content = i + 1 == count ? input.ConsumeRemainingBytesAsString()
                                          : input.ConsumeRandomLengthString(300);
            anyBytes = anyBytes || !file.content.empty();
            const std::string path = folder + "/" + file.name;
            lmfuzz::writeFile(path, file.content);
            setModified(path, file.seconds);
            context += ", " + file.name + " at " + std::to_string(file.seconds) + " \"" +
                       visible(file.content) + "\"";
            files.push_back(std::move(file));
        }
        expected = referenceFolder(files, callIndex);
        extracted = lm::InfoExtract(folder, callIndex, outputPath, progress);
    }

    const std::string output = lmfuzz::readFile(outputPath);
    std::vector<std::string> entries = lmfuzz::folderEntries(scratch);
    for (const std::string& name : entries)
        LMFUZZ_CHECK(name == "export" || name == "export.txt" || name == "NewFile.dat",
                     "a scratch file was left behind: " + name + "; " + context);

    if (stop && anyBytes) {
        LMFUZZ_CHECK(extracted.ok() && extracted->cancelled,
                     "a stopped extract did not say so; " + context);
        LMFUZZ_CHECK(output == previous, "a stopped extract changed the output; " + context);
        return 0;
    }
    bool readsBack = true;
    for (const std::string& text : expected.texts)
        readsBack = readsBack && text.find("~~") == std::string::npos;
    if (!readsBack) {
        // A record that would not read back refuses the whole extract.
        LMFUZZ_CHECK(!extracted.ok(), "a record holding \"~~\" was written as \"" +
                                          visible(output) + "\"; " + context);
        LMFUZZ_CHECK(extracted.error().reason.find("two tildes") != std::string::npos,
                     "the refusal says \"" + extracted.error().message() + "\"; " + context);
        LMFUZZ_CHECK(output == previous, "a refused extract changed the output; " + context);
        return 0;
    }
    LMFUZZ_CHECK(extracted.ok(),
                 "the extract failed: " + extracted.error().message() + "; " + context);
    std::string bytes;
    for (const std::string& text : expected.texts) bytes += text + "~~";
    LMFUZZ_CHECK(output == bytes, "wrote \"" + visible(output) + "\", the rules give \"" +
                                      visible(bytes) + "\"; " + context);
    LMFUZZ_CHECK(
        extracted->recordsRead == expected.read && extracted->recordsWritten == expected.written,
        "records read " + std::to_string(extracted->recordsRead) + " and written " +
            std::to_string(extracted->recordsWritten) + ", the rules give " +
            std::to_string(expected.read) + " and " + std::to_string(expected.written) + "; " +
            context);
    const std::size_t notWritten = static_cast<std::size_t>(expected.read - expected.written);
    LMFUZZ_CHECK(extracted->messages.size() == notWritten, "wrong count of messages; " + context);
    for (const std::string& message : extracted->messages)
        LMFUZZ_CHECK(message == "Invalid Call Index " + std::to_string(callIndex),
                     "message \"" + message + "\"; " + context);
    LMFUZZ_CHECK(lmfuzz::referenceAllTexts(output) == expected.texts,
                 "the label file written does not read back as the texts made; " + context);
    return 0;
}

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Shared pieces of the fuzz targets: a scratch folder in memory, a way to
// stop on a broken property, and plain reference versions of the label file
// rules to hold the core's answers against. The references follow the rules
// step by step, byte by byte, without any of the core's speed-ups.
namespace lmfuzz {

// Prints what went wrong and stops the run, so libFuzzer keeps the input.
[[noreturn]] void violated(const char* property, const std::string& detail);

#define LMFUZZ_CHECK(condition, detail)                             \
    do {                                                            \
        if (!(condition)) ::lmfuzz::violated(#condition, (detail)); \
    } while (0)

// A folder of this process for the files a target writes: under
// $LM_FUZZ_DIR when set, else /dev/shm when there is one, else $TMPDIR or
// /tmp. Created on first use and removed when the process ends normally.
const std::string& scratchFolder();
std::string scratchPath(const std::string& name);

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
void removeFile(const std::string& path);
// Names in `folder`, hidden ones included ("." and ".." left out).
std::vector<std::string> folderEntries(const std::string& folder);
// Empties `folder` (files only).
void emptyFolder(const std::string& folder);

// "A~~B" -> "A~~B" with every byte outside printable ASCII as \xNN.
std::string visible(const std::string& bytes);

// Label type 1..10 from any byte.
inline int labelTypeFromByte(std::uint8_t byte) {
    return 1 + byte % 10;
}

// One label text of a file as the reading rules give it: the text and the
// 1-based position of the last byte consumed for it.
struct ReferenceText {
    std::string text;
    std::int64_t end;
};

// Reads one text from 1-based `position`; nothing when the file ends first
// (then `*consumedTo` is the file length).
std::optional<ReferenceText> referenceReadText(const std::string& file, std::int64_t position,
                                               std::int64_t* consumedTo);

// One page as the page reader fills it, found by paging forward from byte 1.
struct ReferencePage {
    std::int64_t start = 1;
    std::int64_t end = 0;              // last byte read
    std::vector<std::string> spines;   // spine elements 2, 3, ... that were filled
    std::vector<std::string> pockets;  // pocket elements 2, 3, ... that were filled
    int completeSets = 0;              // sets with every text read
};

ReferencePage referenceReadPage(const std::string& file, int labelType, std::int64_t start);
// Every page of the file, paging forward while the next start lies inside it.
std::vector<ReferencePage> referencePages(const std::string& file, int labelType);

// The last byte of the last complete text of the file (0 when there is none).
std::int64_t referenceEndOfLastLabel(const std::string& file);

// True when `text` reads back unchanged once it is followed by "~~".
bool storable(const std::string& text);

// The texts of a label file in order (an unfinished last text left out).
std::vector<std::string> referenceAllTexts(const std::string& file);

// Number lists of the Multiple Copies dialog, by the validation steps as
// written, with every number limited to 32767.
bool referenceValidateNumbers(const std::string& list);
// The numbers a valid list yields, in order, without leading blanks.
std::vector<std::string> referenceExpandNumbers(const std::string& list);

// The texts of one copy of a set, as numbered by the production.
std::string referenceSpineCopy(const std::string& text, const std::string& a,
                               const std::optional<std::string>& b);
std::string referencePocketCopy(const std::string& text, const std::string& a,
                                const std::optional<std::string>& b);

}  // namespace lmfuzz

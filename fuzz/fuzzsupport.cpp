#include "fuzzsupport.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/labeltypes.h"

namespace lmfuzz {
namespace {

bool isFolder(const char* path) {
    struct stat st;
    return path && *path && stat(path, &st) == 0 && S_ISDIR(st.st_mode) && access(path, W_OK) == 0;
}

std::string makeScratchFolder() {
    std::string base;
    if (isFolder(std::getenv("LM_FUZZ_DIR"))) {
        base = std::getenv("LM_FUZZ_DIR");
    } else if (isFolder("/dev/shm")) {
        base = "/dev/shm";
    } else if (isFolder(std::getenv("TMPDIR"))) {
        base = std::getenv("TMPDIR");
    } else {
        base = "/tmp";
    }
    // A run that crashed leaves its folder behind; clear those of processes gone.
    for (const std::string& name : folderEntries(base)) {
        if (name.compare(0, 8, "lm-fuzz-") != 0) continue;
        long pid = std::strtol(name.c_str() + 8, nullptr, 10);
        if (pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove_all(base + "/" + name, ignored);
        }
    }
    std::string pattern = base + "/lm-fuzz-" + std::to_string(getpid()) + "-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        std::perror(pattern.c_str());
        std::abort();
    }
    return pattern;
}

void removeScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(scratchFolder(), ignored);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isSeparator(char c) {
    return c == ',' || c == '-';
}

// Digits from `i` up to the next separator or the end; *end is where it stopped.
long long numberAt(const std::string& list, std::size_t i, std::size_t* end) {
    long long value = 0;
    while (i < list.size() && !isSeparator(list[i])) {
        if (value <= 32768) value = value * 10 + (list[i] - '0');
        ++i;
    }
    *end = i;
    return value;
}

}  // namespace

void violated(const char* property, const std::string& detail) {
    std::fprintf(stderr, "\n*** property violated: %s\n*** %s\n", property, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

const std::string& scratchFolder() {
    // Never destroyed, so the exit handler that removes the folder can use it.
    static const std::string* folder = [] {
        auto* made = new std::string(makeScratchFolder());
        std::atexit(removeScratchFolder);
        return made;
    }();
    return *folder;
}

std::string scratchPath(const std::string& name) {
    return scratchFolder() + "/" + name;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        std::perror(path.c_str());
        std::abort();
    }
    std::fclose(file);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void removeFile(const std::string& path) {
    unlink(path.c_str());
}

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
    return names;
}

void emptyFolder(const std::string& folder) {
    for (const std::string& name : folderEntries(folder)) unlink((folder + "/" + name).c_str());
}

std::string visible(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::optional<ReferenceText> referenceReadText(const std::string& file, std::int64_t position,
                                               std::int64_t* consumedTo) {
    const std::int64_t length = static_cast<std::int64_t>(file.size());
    std::int64_t pos = position;
    std::string text;
    while (true) {
        if (pos > length) break;
        char c = file[static_cast<std::size_t>(pos - 1)];
        ++pos;
        if (c != '~') {
            text += c;
            continue;
        }
        if (pos > length) break;
        char second = file[static_cast<std::size_t>(pos - 1)];
        ++pos;
        if (second == '~') return ReferenceText{text, pos - 1};
        text += c;
        text += second;
    }
    *consumedTo = length;
    return std::nullopt;
}

ReferencePage referenceReadPage(const std::string& file, int labelType, std::int64_t start) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    ReferencePage page;
    page.start = start;
    page.end = start - 1;
    std::int64_t pos = start;
    if (file.empty() || start > static_cast<std::int64_t>(file.size())) return page;
    for (int set = 0; set < type->setsPerPage; ++set) {
        std::int64_t consumed = 0;
        std::optional<ReferenceText> spine = referenceReadText(file, pos, &consumed);
        if (!spine) {
            page.end = consumed;
            return page;
        }
        page.spines.push_back(spine->text);
        page.end = spine->end;
        pos = spine->end + 1;
        for (int p = 0; p < type->pocketsPerSet; ++p) {
            std::optional<ReferenceText> pocket = referenceReadText(file, pos, &consumed);
            if (!pocket) {
                page.end = consumed;
                return page;
            }
            page.pockets.push_back(pocket->text);
            page.end = pocket->end;
            pos = pocket->end + 1;
        }
        ++page.completeSets;
    }
    return page;
}

std::vector<ReferencePage> referencePages(const std::string& file, int labelType) {
    std::vector<ReferencePage> pages;
    std::int64_t start = 1;
    const std::int64_t length = static_cast<std::int64_t>(file.size());
    do {
        pages.push_back(referenceReadPage(file, labelType, start));
        start = pages.back().end + 1;
    } while (start <= length);
    return pages;
}

std::int64_t referenceEndOfLastLabel(const std::string& file) {
    std::int64_t end = 0;
    std::int64_t consumed = 0;
    while (std::optional<ReferenceText> text = referenceReadText(file, end + 1, &consumed))
        end = text->end;
    return end;
}

bool storable(const std::string& text) {
    return text.find("~~") == std::string::npos && (text.empty() || text.back() != '~');
}

std::vector<std::string> referenceAllTexts(const std::string& file) {
    std::vector<std::string> texts;
    std::int64_t pos = 1;
    std::int64_t consumed = 0;
    while (std::optional<ReferenceText> text = referenceReadText(file, pos, &consumed)) {
        texts.push_back(text->text);
        pos = text->end + 1;
    }
    return texts;
}

bool referenceValidateNumbers(const std::string& list) {
    const std::size_t n = list.size();
    if (n == 0) return true;
    for (char c : list)
        if (!isDigit(c) && !isSeparator(c)) return false;
    std::size_t i = 0;
    while (i < n) {
        if (isSeparator(list[i])) return false;
        std::size_t firstEnd = 0;
        long long first = numberAt(list, i, &firstEnd);
        if (first > 32767) return false;
        if (firstEnd == n) return true;
        if (firstEnd == n - 1) return false;
        char separator = list[firstEnd];
        i = firstEnd + 1;
        if (separator == '-') {
            if (isSeparator(list[i])) return false;
            std::size_t secondEnd = 0;
            long long second = numberAt(list, i, &secondEnd);
            if (second > 32767) return false;
            if (first >= second) return false;
            i = secondEnd + 1;
        }
    }
    return true;
}

std::vector<std::string> referenceExpandNumbers(const std::string& list) {
    std::vector<std::string> numbers;
    std::size_t begin = 0;
    while (begin < list.size()) {
        std::size_t comma = list.find(',', begin);
        if (comma == std::string::npos) comma = list.size();
        std::string item = list.substr(begin, comma - begin);
        begin = comma + 1;
        std::size_t hyphen = item.find('-');
        if (hyphen == std::string::npos) {
            if (!item.empty()) numbers.push_back(item);
            continue;
        }
        std::size_t end = 0;
        long long a = numberAt(item, 0, &end);
        long long b = numberAt(item, hyphen + 1, &end);
        for (long long v = a; v <= b; ++v) numbers.push_back(std::to_string(v));
    }
    return numbers;
}

std::string referenceSpineCopy(const std::string& text, const std::string& a,
                               const std::optional<std::string>& b) {
    std::string out = text;
    if (text.empty() || text.back() != '\n') out += "\r\n";
    out += a;
    if (b) out += "\r\n" + *b;
    return out;
}

std::string referencePocketCopy(const std::string& text, const std::string& a,
                                const std::optional<std::string>& b) {
    std::string numbers = a;
    if (b) numbers += " " + *b;
    std::size_t lineFeed = text.find('\n');
    if (lineFeed == std::string::npos) return text + " " + numbers;
    if (lineFeed == 0) return numbers + text;
    std::size_t cut = text[lineFeed - 1] == '\r' ? lineFeed - 1 : lineFeed;
    return text.substr(0, cut) + " " + numbers + text.substr(cut);
}

}  // namespace lmfuzz

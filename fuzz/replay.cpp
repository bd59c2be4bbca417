// A stand-in for libFuzzer's driver, so the fuzz targets run with any
// compiler as part of the ordinary tests: every file of the seed corpus is fed
// to LLVMFuzzerTestOneInput as it is, then a fixed number of inputs made from
// the seeds by small edits (bytes flipped, replaced, inserted, deleted,
// copied, the dictionary's tokens put in, two seeds joined). The edits come
// from a seeded generator, so a run tries the same inputs on every machine;
// --seconds only bounds how long a slow machine spends on them.
//
//   replay [--runs N] [--seconds S] [--seed N] [--max-len N] [--dict FILE]
//          CORPUS_FOLDER_OR_FILE...
//
// A broken property aborts the target; the input it was given is then in
// ./replay-failure-<pid> and its first bytes are printed.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Bytes = std::string;

// The input being tried, for the abort handler to save.
const Bytes* g_current = nullptr;
char g_failurePath[64];

void saveCurrentInput(int signalNumber) {
    if (g_current) {
        int fd = ::open(g_failurePath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ssize_t ignored = ::write(fd, g_current->data(), g_current->size());
            (void)ignored;
            ::close(fd);
        }
        const char note[] = "replay: the failing input is in ";
        ssize_t ignored = ::write(2, note, sizeof note - 1);
        ignored = ::write(2, g_failurePath, std::strlen(g_failurePath));
        ignored = ::write(2, "\n", 1);
        (void)ignored;
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

// splitmix64: small, fast and the same everywhere.
class Generator {
public:
    explicit Generator(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // 0 .. bound-1; bound > 0.
    std::size_t below(std::size_t bound) { return static_cast<std::size_t>(next() % bound); }

private:
    std::uint64_t m_state;
};

Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The files of a folder in name order, so the seeds come in the same order
// on every machine.
std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') names.push_back(folder + "/" + entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The tokens of a libFuzzer dictionary: lines `name="value"` or `"value"`,
// with \\, \" and \xNN escapes; '#' starts a comment line.
std::vector<Bytes> readDictionary(const std::string& path) {
    std::vector<Bytes> tokens;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t open = line.find('"');
        std::size_t close = line.rfind('"');
        if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open) continue;
        Bytes token;
        for (std::size_t i = open + 1; i < close; ++i) {
            if (line[i] == '\\' && i + 1 < close) {
                char next = line[++i];
                if (next == 'x' && i + 2 < close && hexValue(line[i + 1]) >= 0 &&
                    hexValue(line[i + 2]) >= 0) {
                    token += static_cast<char>(hexValue(line[i + 1]) * 16 + hexValue(line[i + 2]));
                    i += 2;
                } else {
                    token += next;
                }
            } else {
                token += line[i];
            }
        }
        if (!token.empty()) tokens.push_back(token);
    }
    return tokens;
}

// Values that sit on the edges of what the code compares against.
const std::uint8_t kInterestingBytes[] = {0, 1, 0x7F, 0x80, 0xFF, '~', '\r', '\n', ' ', '"', ',',
                                          '-', '0', '9'};

// One small edit of `input`, chosen by `random`.
void mutate(Bytes& input, Generator& random, const std::vector<Bytes>& seeds,
            const std::vector<Bytes>& dictionary) {
    const std::size_t kinds = 8;
    switch (random.below(kinds)) {
        case 0:  // flip one bit
            if (!input.empty()) input[random.below(input.size())] ^= char(1u << random.below(8));
            break;
        case 1:  // a byte becomes any value
            if (!input.empty()) input[random.below(input.size())] = char(random.below(256));
            break;
        case 2:  // a byte becomes an edge value
            if (!input.empty())
                input[random.below(input.size())] =
                    char(kInterestingBytes[random.below(sizeof kInterestingBytes)]);
            break;
        case 3:  // insert a byte
            input.insert(input.begin() + random.below(input.size() + 1), char(random.below(256)));
            break;
        case 4: {  // delete a run of bytes
            if (input.empty()) break;
            std::size_t at = random.below(input.size());
            input.erase(at, 1 + random.below(std::min<std::size_t>(16, input.size() - at)));
            break;
        }
        case 5: {  // copy a run of bytes elsewhere
            if (input.empty()) break;
            std::size_t from = random.below(input.size());
            Bytes run = input.substr(from, 1 + random.below(std::min<std::size_t>(32, input.size() - from)));
            input.insert(random.below(input.size() + 1), run);
            break;
        }
        case 6:  // put in a dictionary token
            if (!dictionary.empty()) {
                const Bytes& token = dictionary[random.below(dictionary.size())];
                std::size_t at = random.below(input.size() + 1);
                if (random.below(2) == 0 && at + token.size() <= input.size())
                    input.replace(at, token.size(), token);
                else
                    input.insert(at, token);
            }
            break;
        default: {  // the start of this input, the rest of another seed
            const Bytes& other = seeds[random.below(seeds.size())];
            std::size_t keep = random.below(input.size() + 1);
            std::size_t from = random.below(other.size() + 1);
            input = input.substr(0, keep) + other.substr(from);
            break;
        }
    }
}

void run(const Bytes& input) {
    g_current = &input;
    // A copy in memory of its own, so a target that reads past the input's
    // end reads what a fresh allocation holds, as under libFuzzer.
    std::vector<std::uint8_t> copy(input.begin(), input.end());
    LLVMFuzzerTestOneInput(copy.data(), copy.size());
    g_current = nullptr;
}

[[noreturn]] void usage() {
    std::fprintf(stderr,
                 "usage: replay [--runs N] [--seconds S] [--seed N] [--max-len N] [--dict FILE] "
                 "CORPUS...\n");
    std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
    long long runs = 10000;
    double seconds = 20;
    std::uint64_t seed = 1;
    std::size_t maxLen = 4096;
    std::vector<Bytes> dictionary;
    std::vector<std::string> corpus;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) usage();
            return argv[++i];
        };
        if (arg == "--runs") runs = std::atoll(value().c_str());
        else if (arg == "--seconds") seconds = std::atof(value().c_str());
        else if (arg == "--seed") seed = std::strtoull(value().c_str(), nullptr, 10);
        else if (arg == "--max-len") maxLen = std::strtoull(value().c_str(), nullptr, 10);
        else if (arg == "--dict") dictionary = readDictionary(value());
        else if (arg.compare(0, 2, "--") == 0) usage();
        else corpus.push_back(arg);
    }
    std::vector<Bytes> seeds;
    for (const std::string& path : corpus) {
        if (isFolder(path)) {
            for (const std::string& file : filesIn(path)) seeds.push_back(readWholeFile(file));
        } else {
            seeds.push_back(readWholeFile(path));
        }
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "replay: no seed files found\n");
        return 2;
    }

    std::snprintf(g_failurePath, sizeof g_failurePath, "replay-failure-%ld", long(getpid()));
    for (int s : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) signal(s, saveCurrentInput);

    for (const Bytes& input : seeds) run(input);

    // Each input is a seed with a few edits; the deadline is checked now and
    // then, as reading the clock costs more than a small target's run.
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + std::chrono::duration<double>(seconds);
    Generator random(seed);
    long long done = 0;
    for (; done < runs; ++done) {
        if (done % 64 == 0 && std::chrono::steady_clock::now() > deadline) break;
        Bytes input = seeds[random.below(seeds.size())];
        for (std::size_t edits = 1 + random.below(4); edits > 0; --edits)
            mutate(input, random, seeds, dictionary);
        if (input.size() > maxLen) input.resize(maxLen);
        run(input);
    }
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("replay: %zu seeds and %lld edited inputs passed in %.1f s%s\n", seeds.size(), done,
                took, done < runs ? " (time bound reached)" : "");
    return 0;
}

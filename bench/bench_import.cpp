// Import throughput: FileConvert and the many-record Connexion extract over
// 100 MB exports made up at run time, against plainly reading the same file
// (cat EXPORT > /dev/null) in the same run.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "core/connexionextract.h"
#include "core/importconvert.h"
#include "core/labeltypes.h"
#include "scratchfolder.h"

namespace {

constexpr long long kExportBytes = 100LL * 1000 * 1000;

ScratchFolder& scratch() {
    static ScratchFolder folder("lm-bench");
    return folder;
}

std::string padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// One slb label block of a CatME export as cataloguers produce it: call
// number in the spine columns, title, author and barcode in the pocket.
std::string catmeLabel(long long n) {
    const std::string number = std::to_string(n);
    const std::string lines[9][2] = {
        {"QA76.73", "Stroustrup, Bjarne."},
        {".C" + number.substr(0, 3), "The C++ programming language /"},
        {"S77", "Bjarne Stroustrup."},
        {"20" + number.substr(number.size() - 2), ""},
        {"c." + number.substr(number.size() - 1), "4th ed."},
        {"", ""},
        {"", "3123400" + number},
        {"", ""},
        {"", ""},
    };
    std::string block;
    for (const auto& line : lines) block += padded(line[0], 10) + line[1] + "\r\n";
    block += "\r\n\r\n\r\n";
    return block;
}

// One nine-line record of a Connexion label export.
std::string connexionRecord(long long n) {
    const std::string number = std::to_string(n);
    const std::string lines[9][2] = {
        {"FIC", "Adams, Douglas."},
        {"ADAMS", "The hitchhiker's guide"},
        {"", "to the galaxy."},
        {"c." + number.substr(number.size() - 1), ""},
        {"", "1979."},
        {"", ""},
        {"", "Adams, Douglas."},
        {"", "3123400" + number},
        {"!! end", ""},
    };
    std::string block;
    for (const auto& line : lines) block += padded(line[0], 11) + line[1] + "\r\n";
    return block + "\r\n";
}

// Writes an export of about kExportBytes once per run; "" when it cannot.
const std::string& exportFile(const std::string& name, std::string (*block)(long long)) {
    static std::map<std::string, std::string> made;
    auto found = made.find(name);
    if (found != made.end()) return found->second;
    std::string path = scratch().ok() ? scratch().file(name) : std::string();
    if (FILE* out = path.empty() ? nullptr : std::fopen(path.c_str(), "wb")) {
        std::string chunk;
        long long written = 0;
        for (long long n = 100000; written < kExportBytes; ++n) {
            chunk += block(n);
            if (chunk.size() >= (1 << 20)) {
                written += static_cast<long long>(std::fwrite(chunk.data(), 1, chunk.size(), out));
                chunk.clear();
            }
        }
        written += static_cast<long long>(std::fwrite(chunk.data(), 1, chunk.size(), out));
        if (std::fclose(out) != 0) path.clear();
    } else {
        path.clear();
    }
    return made[name] = path;
}

long long fileSize(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY);
    if (fd < 0) return 0;
    off_t size = lseek(fd, 0, SEEK_END);
    close(fd);
    return static_cast<long long>(size);
}

void reportBytes(benchmark::State& state, long long size) {
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["MB"] =
        benchmark::Counter(double(size) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CatExport(benchmark::State& state) {
    const std::string& path = exportFile("catme_slb.txt", catmeLabel);
    if (path.empty()) return state.SkipWithError("cannot write the export");
    const std::string command = "cat '" + path + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) return state.SkipWithError("cat failed");
    }
    reportBytes(state, fileSize(path));
}

void BM_FileConvert(benchmark::State& state) {
    const std::string& path = exportFile("catme_slb.txt", catmeLabel);
    if (path.empty()) return state.SkipWithError("cannot write the export");
    const std::string output = scratch().file("$$$aaaa.dat");
    const int labelType = static_cast<int>(state.range(0));
    for (auto _ : state) {
        lm::Result<lm::ConvertSummary> result = lm::FileConvert(path, labelType, output);
        if (!result.ok()) return state.SkipWithError(result.error().message().c_str());
        benchmark::DoNotOptimize(result->labelsWritten);
    }
    reportBytes(state, fileSize(path));
    state.SetLabel(lm::labelTypeName(labelType));
}

void BM_InfoExtractMultiple(benchmark::State& state) {
    const std::string& path = exportFile("connexion.txt", connexionRecord);
    if (path.empty()) return state.SkipWithError("cannot write the export");
    const std::string output = scratch().file("NewFileMultiple_3.dat");
    for (auto _ : state) {
        lm::Result<lm::ExtractSummary> result = lm::InfoExtractMultiple(path, lm::kSl4, output);
        if (!result.ok()) return state.SkipWithError(result.error().message().c_str());
        benchmark::DoNotOptimize(result->recordsWritten);
    }
    reportBytes(state, fileSize(path));
}

}  // namespace

BENCHMARK(BM_CatExport)->Unit(benchmark::kMillisecond)->UseRealTime();
// The same export read as slb (two columns), sp1 (whole lines) and sl4.
BENCHMARK(BM_FileConvert)
    ->Arg(lm::kSlb)
    ->Arg(lm::kSp1)
    ->Arg(lm::kSl4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_InfoExtractMultiple)->Unit(benchmark::kMillisecond)->UseRealTime();

// The label file store on a 64 MiB sp1 label file made up at run time:
// saving one page against copying the same file in the same run, reading a
// page and finding the one before it at several page numbers, and finding
// page 1,000 again after an edit.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/editrequest.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"
#include "scratchfolder.h"

extern char** environ;

namespace {

constexpr long long kFileBytes = 64LL * 1024 * 1024;

ScratchFolder& scratch() {
    static ScratchFolder folder("lm-store-bench");
    return folder;
}

// A spine label as libraries print them: a call number over four lines.
std::string spineLabel(long long n) {
    std::string number = std::to_string(100000 + n);
    return "QA76.73\r\n.C" + number.substr(3, 3) + "\r\nS77\r\n20" + number.substr(4, 2);
}

bool writeWhole(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The 64 MiB sp1 label file, written once per run.
const std::string& labelFile64() {
    static std::string path;
    if (!path.empty() || !scratch().ok()) return path;
    std::string candidate = scratch().file("labels64.dat");
    int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return path;
    std::string chunk;
    long long written = 0;
    for (long long n = 0; written < kFileBytes; ++n) {
        chunk += spineLabel(n) + "~~";
        if (chunk.size() >= (1 << 20)) {
            if (!writeWhole(fd, chunk)) break;
            written += static_cast<long long>(chunk.size());
            chunk.clear();
        }
    }
    close(fd);
    if (written >= kFileBytes) path = candidate;
    return path;
}

lm::PageState openOnPage(const std::string& file, lm::MemoryPage& page, int pageNumber) {
    lm::PageState state;
    state.CurrentFileName = file;
    lm::showPage(state, page, lm::kSp1, pageNumber);
    return state;
}

void reportFileBytes(benchmark::State& state, const std::string& file) {
    lm::PageState probe;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    lm::ReadLabelFile(probe, page, lm::kSp1, file, 1);
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(probe.LabelFileLength));
}

// Reference: the cp program copying the same file.
void BM_Reference_cp(benchmark::State& state) {
    const std::string& source = labelFile64();
    if (source.empty()) return state.SkipWithError("could not write the label file");
    std::string target = scratch().file("cp-copy.dat");
    for (auto _ : state) {
        const char* argv[] = {"cp", source.c_str(), target.c_str(), nullptr};
        pid_t child;
        if (posix_spawnp(&child, "cp", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return state.SkipWithError("cp could not be started");
        int status = 0;
        waitpid(child, &status, 0);
    }
    reportFileBytes(state, source);
}

bool runProgram(const char* const* argv) {
    pid_t child;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
        return false;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Reference: cp, then sync of the copy (coreutils' sync FILE flushes that
// file to disk): the shell's way to a copy that is on the disk.
void BM_Reference_cpSync(benchmark::State& state) {
    const std::string& source = labelFile64();
    if (source.empty()) return state.SkipWithError("could not write the label file");
    std::string target = scratch().file("cp-sync-copy.dat");
    for (auto _ : state) {
        const char* copy[] = {"cp", source.c_str(), target.c_str(), nullptr};
        const char* flush[] = {"sync", target.c_str(), nullptr};
        if (!runProgram(copy) || !runProgram(flush))
            return state.SkipWithError("cp or sync could not be run");
    }
    reportFileBytes(state, source);
}

// Reference: the same copy made as durable as the save makes its file
// (large blocks, fsync, rename over the target).
void BM_Reference_CopyFsyncRename(benchmark::State& state) {
    const std::string& source = labelFile64();
    if (source.empty()) return state.SkipWithError("could not write the label file");
    std::string target = scratch().file("synced-copy.dat");
    std::string temporary = scratch().file("synced-copy.tmp");
    std::vector<char> buffer(4 << 20);
    for (auto _ : state) {
        int in = open(source.c_str(), O_RDONLY);
        int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ssize_t n;
        while ((n = read(in, buffer.data(), buffer.size())) > 0)
            if (write(out, buffer.data(), static_cast<std::size_t>(n)) != n) break;
        fsync(out);
        close(out);
        close(in);
        std::rename(temporary.c_str(), target.c_str());
    }
    reportFileBytes(state, source);
}

// Save one changed page in the middle of the file (no pending edit). The
// bytes around the page are copied in the kernel (copy_file_range).
void BM_SaveOnePage(benchmark::State& state) {
    const std::string& original = labelFile64();
    if (original.empty()) return state.SkipWithError("could not write the label file");
    std::string file = scratch().file("save-target.dat");
    {
        std::string command = "cp '" + original + "' '" + file + "'";
        if (std::system(command.c_str()) != 0) return state.SkipWithError("copy failed");
    }
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    lm::PageState pageState = openOnPage(file, page, 1000);
    lm::EditRequest none;
    bool flip = false;
    for (auto _ : state) {
        page.setSpineText(20, flip ? "QA76.73\r\n.C153\r\nS77" : "QA76.73\r\n.C153\r\nS77\r\nc.2");
        flip = !flip;
        if (!lm::SaveLabelFile(pageState, page, lm::kSp1, none, file).ok())
            return state.SkipWithError("save failed");
    }
    reportFileBytes(state, file);
}

// Read page N and find the page before it, after paging to N (the starts of
// the pages passed on the way are remembered).
void BM_ReadPageAndPrevious(benchmark::State& state) {
    const std::string& file = labelFile64();
    if (file.empty()) return state.SkipWithError("could not write the label file");
    const int pageNumber = static_cast<int>(state.range(0));
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    lm::PageState pageState = openOnPage(file, page, pageNumber);
    const std::int32_t start = pageState.PageStartPosition;
    for (auto _ : state) {
        page.clear();
        pageState.PageEndPosition = start - 1;
        lm::ReadLabelFile(pageState, page, lm::kSp1, file, start);
        lm::Result<std::int32_t> previous = lm::FindNewPagePosition(pageState, lm::kSp1, start);
        benchmark::DoNotOptimize(previous);
    }
}

// The same without anything remembered: the page before N is found by
// scanning from byte 1. Shown for comparison; the window never starts cold.
void BM_ReadPageAndPrevious_NothingRemembered(benchmark::State& state) {
    const std::string& file = labelFile64();
    if (file.empty()) return state.SkipWithError("could not write the label file");
    const int pageNumber = static_cast<int>(state.range(0));
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    const std::int32_t start = openOnPage(file, page, pageNumber).PageStartPosition;
    for (auto _ : state) {
        lm::PageState pageState;
        pageState.CurrentFileName = file;
        page.clear();
        pageState.PageEndPosition = start - 1;
        lm::ReadLabelFile(pageState, page, lm::kSp1, file, start);
        lm::Result<std::int32_t> previous = lm::FindNewPagePosition(pageState, lm::kSp1, start);
        benchmark::DoNotOptimize(previous);
    }
}

// Finding page 1,000 from byte 1 with nothing remembered, as the re-reading
// after an edit would without the remembered page starts.
void BM_FindPage1000_FromTheStart(benchmark::State& state) {
    const std::string& file = labelFile64();
    if (file.empty()) return state.SkipWithError("could not write the label file");
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    for (auto _ : state) {
        lm::PageState pageState;
        pageState.CurrentFileName = file;
        if (!lm::showPage(pageState, page, lm::kSp1, 1000).ok())
            return state.SkipWithError("page 1000 not found");
    }
}

// A whole edit on page 1,000: delete a set, then insert a blank set (so the
// file keeps its size), each saved and the page found again.
void BM_EditOnPage1000(benchmark::State& state) {
    const std::string& original = labelFile64();
    if (original.empty()) return state.SkipWithError("could not write the label file");
    std::string file = scratch().file("edit-target.dat");
    {
        std::string command = "cp '" + original + "' '" + file + "'";
        if (std::system(command.c_str()) != 0) return state.SkipWithError("copy failed");
    }
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    lm::PageState pageState = openOnPage(file, page, 1000);
    lm::EditRequest edit;
    edit.SelectedSetIndex = 10;
    edit.PendingEditCount = 1;
    bool deleting = true;
    for (auto _ : state) {
        edit.PendingEdit = deleting ? lm::kDeleteLabel : lm::kInsertBlankLabel;
        deleting = !deleting;
        lm::Result<lm::SaveOutcome> saved =
            lm::SaveLabelFile(pageState, page, lm::kSp1, edit, file);
        if (!saved.ok() || !saved->pageReread || pageState.PageNumber != 1000)
            return state.SkipWithError("edit failed");
    }
}

}  // namespace

BENCHMARK(BM_Reference_cp)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Reference_cpSync)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_Reference_CopyFsyncRename)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_SaveOnePage)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_ReadPageAndPrevious)
    ->Arg(2)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_ReadPageAndPrevious_NothingRemembered)
    ->Arg(2)
    ->Arg(1000)
    ->Arg(30000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_FindPage1000_FromTheStart)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EditOnPage1000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

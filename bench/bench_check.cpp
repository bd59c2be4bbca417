// labelmaker-cli check, the real program, on sp1 label files of 1,000 and
// 10,000 sheets (40 four-line call-number labels a sheet, all of which fit):
// the whole run, start-up included, and sheets per second. The target is
// 1,000 sheets in under a second.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kLabelsPerSheet = 40;  // sp1

std::string scratchFolder() {
    static std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lm-check-bench-XXXXXX";
        return mkdtemp(&pattern[0]) ? pattern : std::string();
    }();
    return path;
}

// Removes what the runs wrote when the benchmark ends.
struct ScratchCleanup {
    std::vector<std::string> files;
    ~ScratchCleanup() {
        for (const std::string& f : files) unlink(f.c_str());
        if (!scratchFolder().empty()) rmdir(scratchFolder().c_str());
    }
} cleanup;

const std::string& labelFile(int sheets) {
    static std::map<int, std::string> files;
    std::string& path = files[sheets];
    if (!path.empty() || scratchFolder().empty()) return path;
    std::string bytes;
    for (long long n = 0; n < static_cast<long long>(sheets) * kLabelsPerSheet; ++n) {
        const std::string number = std::to_string(100000 + n);
        bytes += "QA76.73\r\n.C" + number.substr(3, 3) + "\r\nS77\r\nc." + number.substr(5, 1) +
                 "~~";
    }
    const std::string candidate = scratchFolder() + "/sp1-" + std::to_string(sheets) + ".dat";
    cleanup.files.push_back(candidate);
    std::FILE* file = std::fopen(candidate.c_str(), "wb");
    if (!file) return path;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && written) path = candidate;
    return path;
}

std::string cliProgram() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    const std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "labelmaker-cli";
}

// `labelmaker-cli check LABELFILE` with the scratch folder as its working
// folder (no settings file: the defaults) and no display; its exit status.
int runCheck(const std::string& labels) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QORTEX_DIR=", 11) != 0 && std::strncmp(*e, "DISPLAY=", 8) != 0 &&
            std::strncmp(*e, "WAYLAND_DISPLAY=", 16) != 0 &&
            std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.push_back("QORTEX_DIR=" + scratchFolder());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);
    std::string program = cliProgram();
    std::vector<std::string> args = {program, "check", labels};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

void BM_CliCheck_Sp1Sheets(benchmark::State& state) {
    const int sheets = static_cast<int>(state.range(0));
    const std::string& labels = labelFile(sheets);
    if (labels.empty()) {
        state.SkipWithError("could not write the label file");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = runCheck(labels);
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) {
            state.SkipWithError("labelmaker-cli check did not find the file clean");
            return;
        }
        state.SetIterationTime(took);
        seconds += took;
    }
    state.counters["sheets_per_s"] = sheets * static_cast<double>(state.iterations()) / seconds;
}

}  // namespace

BENCHMARK(BM_CliCheck_Sp1Sheets)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

// labelmaker-cli pdf, the real program, on sp1 label files of 1, 100 and
// 1,000 sheets (40 labels a sheet) made up at run time: sheets per second and
// the program's peak resident memory. The sheets are written out one by one,
// so the peak must be the same for 100 and 1,000 sheets; 1 sheet shows what
// the program needs before any sheet (Qt, fonts, the PDF writer).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// A scratch folder for the label files and PDFs, removed at exit. It is also
// the working folder of the runs: it holds no settings file, so the program
// prints with the default settings (sp1, Times New Roman).
class PdfScratch {
  public:
    PdfScratch() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/lm-pdf-bench-XXXXXX";
        if (mkdtemp(&pattern[0])) m_path = pattern;
    }
    ~PdfScratch() {
        for (const std::string& file : m_files) unlink(file.c_str());
        if (!m_path.empty()) rmdir(m_path.c_str());
    }
    std::string file(const std::string& name) {
        m_files.push_back(m_path + "/" + name);
        return m_files.back();
    }
    const std::string& path() const { return m_path; }
    bool ok() const { return !m_path.empty(); }

  private:
    std::string m_path;
    std::vector<std::string> m_files;
};

PdfScratch& scratch() {
    static PdfScratch folder;
    return folder;
}

// A spine label as libraries print them: a call number over four lines.
std::string spineLabel(long long n) {
    std::string number = std::to_string(100000 + n);
    return "QA76.73\r\n.C" + number.substr(3, 3) + "\r\nS77\r\nc." + number.substr(5, 1);
}

// The label file of `sheets` full sp1 sheets, written once per run.
const std::string& labelFile(int sheets) {
    static std::map<int, std::string> files;
    std::string& path = files[sheets];
    if (!path.empty() || !scratch().ok()) return path;
    std::string bytes;
    for (long long n = 0; n < static_cast<long long>(sheets) * kLabelsPerSheet; ++n)
        bytes += spineLabel(n) + "~~";
    std::string candidate = scratch().file("sp1-" + std::to_string(sheets) + ".dat");
    std::FILE* file = std::fopen(candidate.c_str(), "wb");
    if (!file) return path;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) == 0 && written) path = candidate;
    return path;
}

// labelmaker-cli beside this benchmark in the build's bin folder.
std::string cliProgram() {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "labelmaker-cli";
}

std::string readAll(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
        std::fclose(file);
    }
    return text;
}

struct ProgramRun {
    bool ok = false;
    std::string failure;
    double seconds = 0;
    long peakKiB = 0;  // the child's maximum resident set size
};

// Runs `labelmaker-cli pdf LABELFILE OUT.pdf` with the scratch folder as its
// working folder and no display, and checks it reports `sheets` sheets.
ProgramRun runPdf(const std::string& labels, const std::string& pdf, const std::string& report,
                  int sheets) {
    ProgramRun run;
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "QORTEX_DIR=", 11) != 0 && std::strncmp(*e, "DISPLAY=", 8) != 0 &&
            std::strncmp(*e, "WAYLAND_DISPLAY=", 16) != 0 &&
            std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            env.emplace_back(*e);
    env.push_back("QORTEX_DIR=" + scratch().path());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);

    std::string program = cliProgram();
    std::vector<std::string> args = {program, "pdf", labels, pdf};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, report.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.failure = program + ": " + std::strerror(spawned);
        return run;
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid) {
        run.failure = "wait4 failed";
        return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKiB = usage.ru_maxrss;
    const std::string expected =
        std::to_string(sheets) + (sheets == 1 ? " sheet" : " sheets") + " written to " + pdf + "\n";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || readAll(report) != expected) {
        run.failure = "labelmaker-cli pdf failed: " + readAll(report);
        return run;
    }
    run.ok = true;
    return run;
}

void BM_CliPdf_Sp1Sheets(benchmark::State& state) {
    const int sheets = static_cast<int>(state.range(0));
    const std::string& labels = labelFile(sheets);
    if (labels.empty()) {
        state.SkipWithError("could not write the label file");
        return;
    }
    const std::string pdf = scratch().file("sp1-" + std::to_string(sheets) + ".pdf");
    const std::string report = scratch().file("report-" + std::to_string(sheets) + ".txt");
    double seconds = 0;
    long peakKiB = 0;
    for (auto _ : state) {
        ProgramRun run = runPdf(labels, pdf, report, sheets);
        if (!run.ok) {
            state.SkipWithError(run.failure.c_str());
            return;
        }
        state.SetIterationTime(run.seconds);
        seconds += run.seconds;
        peakKiB = std::max(peakKiB, run.peakKiB);
    }
    state.counters["sheets_per_s"] = sheets * static_cast<double>(state.iterations()) / seconds;
    state.counters["peak_MiB"] = peakKiB / 1024.0;
}

}  // namespace

BENCHMARK(BM_CliPdf_Sp1Sheets)
    ->Arg(1)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MinTime(2.0);

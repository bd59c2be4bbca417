// labelmaker-save-memory SIZE_MIB [FOLDER]: the peak resident memory of
// saving one changed page in the middle of an sp1 label file of SIZE_MIB
// MiB. The label file is real (every byte written, no holes), made up in a
// scratch folder inside FOLDER (default $TMPDIR or /tmp) with large buffered
// writes and removed at the end. One process measures one size, so the
// peak (getrusage ru_maxrss) belongs to that save alone; run it for two sizes
// to show the peak does not grow with the file.
//
// Prints one line:
//   size_mib=1024 write_s=... save_s=... peak_before_save_kib=... peak_kib=...
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/editrequest.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"

namespace {

// Every label has the same length, so label k starts at byte k * length + 1
// and any label can open a page.
std::string spineLabel(long long n) {
    char text[64];
    std::snprintf(text, sizeof text, "QA76.73\r\n.C%03lld\r\nS77\r\n20%02lld~~", n % 1000, n % 100);
    return text;
}

long peakKiB() {
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Writes whole labels up to `bytes` in 4 MiB writes; the number of labels
// written, or -1.
long long writeLabelFile(const std::string& path, long long bytes, std::size_t& labelLength) {
    labelLength = spineLabel(0).size();
    std::string block;
    for (long long n = 0; block.size() + labelLength <= (4u << 20); ++n) block += spineLabel(n);
    const long long labelsPerBlock = static_cast<long long>(block.size() / labelLength);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return -1;
    long long written = 0;
    while (written + static_cast<long long>(block.size()) <= bytes) {
        std::size_t done = 0;
        while (done < block.size()) {
            ssize_t n = write(fd, block.data() + done, block.size() - done);
            if (n <= 0) {
                close(fd);
                return -1;
            }
            done += static_cast<std::size_t>(n);
        }
        written += static_cast<long long>(block.size());
    }
    if (close(fd) != 0) return -1;
    return written / static_cast<long long>(block.size()) * labelsPerBlock;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || std::atoll(argv[1]) <= 0 || std::atoll(argv[1]) > 2000) {
        std::fprintf(stderr, "usage: %s SIZE_MIB [FOLDER]   (SIZE_MIB 1 to 2000)\n", argv[0]);
        return 2;
    }
    const long long sizeMiB = std::atoll(argv[1]);
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = argc > 2 ? argv[2] : (tmp && *tmp ? tmp : "/tmp");
    std::string scratch = folder + "/lm-save-memory-XXXXXX";
    if (!mkdtemp(&scratch[0])) {
        std::fprintf(stderr, "%s: %s\n", scratch.c_str(), std::strerror(errno));
        return 1;
    }
    const std::string file = scratch + "/labels.dat";
    auto cleanUp = [&] {
        unlink(file.c_str());
        rmdir(scratch.c_str());
    };

    // The file is written by a child process, so its 4 MiB block does not
    // count in this process's peak.
    auto started = std::chrono::steady_clock::now();
    const std::size_t labelLength = spineLabel(0).size();
    long long labels = -1;
    int pipeFds[2];
    if (pipe(pipeFds) == 0) {
        pid_t child = fork();
        if (child == 0) {
            std::size_t length = 0;
            long long written = writeLabelFile(file, sizeMiB << 20, length);
            ssize_t sent = write(pipeFds[1], &written, sizeof written);
            _exit(sent == static_cast<ssize_t>(sizeof written) ? 0 : 1);
        }
        close(pipeFds[1]);
        if (child > 0 && read(pipeFds[0], &labels, sizeof labels) != sizeof labels) labels = -1;
        close(pipeFds[0]);
        int status = 0;
        if (child > 0) waitpid(child, &status, 0);
    }
    if (labels <= 0) {
        std::fprintf(stderr, "%s: cannot write the label file: %s\n", file.c_str(),
                     std::strerror(errno));
        cleanUp();
        return 1;
    }
    const double writeSeconds = secondsSince(started);

    // Open the page that starts with the label in the middle of the file.
    lm::PageState state;
    state.CurrentFileName = file;
    state.PageNumber = 2;
    const auto start =
        static_cast<std::int32_t>(labels / 2 * static_cast<long long>(labelLength) + 1);
    state.PageStartPosition = start;
    state.PageEndPosition = start - 1;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    if (!lm::ReadLabelFile(state, page, lm::kSp1, file, start).ok()) {
        std::fprintf(stderr, "%s: cannot read the page in the middle\n", file.c_str());
        cleanUp();
        return 1;
    }
    const long long lengthBefore = state.LabelFileLength;
    const long before = peakKiB();

    // One changed label: four more bytes.
    page.setSpineText(20, "QA76.73\r\n.C153\r\nS77\r\nc.2");
    started = std::chrono::steady_clock::now();
    lm::Result<lm::SaveOutcome> saved = lm::SaveLabelFile(state, page, lm::kSp1, {}, file);
    const double saveSeconds = secondsSince(started);
    const long peak = peakKiB();

    struct stat st {};
    const bool sized =
        stat(file.c_str(), &st) == 0 &&
        static_cast<long long>(st.st_size) ==
            lengthBefore + static_cast<long long>(std::strlen("QA76.73\r\n.C153\r\nS77\r\nc.2")) -
                static_cast<long long>(labelLength - 2);
    cleanUp();
    if (!saved.ok() || !sized) {
        std::fprintf(
            stderr, "the save failed: %s\n",
            saved.ok() ? "the saved file has the wrong length" : saved.error().message().c_str());
        return 1;
    }
    std::printf("size_mib=%lld write_s=%.2f save_s=%.3f peak_before_save_kib=%ld peak_kib=%ld\n",
                sizeMiB, writeSeconds, saveSeconds, before, peak);
    return 0;
}

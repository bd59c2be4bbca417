#include "core/labelfilelock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>

namespace lm {
namespace {

bool sameFile(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode;
}

void pause(int ms) {
    timespec delay{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

// Filesystems without flock (some network ones) say so with these.
bool locksUnsupported(int errorNumber) {
    return errorNumber == ENOLCK || errorNumber == EOPNOTSUPP || errorNumber == ENOSYS ||
           errorNumber == EINVAL;
}

std::string busyReason(const std::optional<LockHolder>& holder, int waitMs) {
    std::string who = holder ? describeLockHolder(*holder) : "another program";
    int seconds = (waitMs + 999) / 1000;
    return "the file is in use by " + who + ", and it was still in use after " +
           std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

}  // namespace

std::string describeLockHolder(const LockHolder& holder) {
    std::string process = "process " + std::to_string(holder.pid);
    return holder.program.empty() ? process : holder.program + " (" + process + ")";
}

std::optional<LockHolder> findLockHolder(const FileIdentity& identity) {
    std::ifstream locks("/proc/locks");
    if (!locks) return std::nullopt;
    // "1: FLOCK  ADVISORY  WRITE 4242 08:01:1234567 0 EOF"; waiters show "->"
    // before the kind and hold nothing.
    std::ostringstream wanted;
    wanted << std::hex;
    wanted.width(2);
    wanted.fill('0');
    wanted << major(static_cast<dev_t>(identity.device)) << ':';
    wanted.width(2);
    wanted << minor(static_cast<dev_t>(identity.device)) << ':' << std::dec << identity.inode;
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, advisory, access, pid, file;
        fields >> number >> kind;
        if (kind == "->") continue;
        fields >> advisory >> access >> pid >> file;
        if (access != "WRITE" || file != wanted.str()) continue;
        long owner = std::strtol(pid.c_str(), nullptr, 10);
        if (owner <= 0) continue;
        LockHolder holder;
        holder.pid = owner;
        std::ifstream comm("/proc/" + std::to_string(owner) + "/comm");
        std::getline(comm, holder.program);
        return holder;
    }
    return std::nullopt;
}

LabelFileLock::~LabelFileLock() {
    release();
}

LabelFileLock::LabelFileLock(LabelFileLock&& other) noexcept
    : m_fd(other.m_fd), m_identity(other.m_identity) {
    other.m_fd = -1;
}

LabelFileLock& LabelFileLock::operator=(LabelFileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_identity = other.m_identity;
        other.m_fd = -1;
    }
    return *this;
}

void LabelFileLock::release() {
    // Closing the only descriptor of the open file drops its flock.
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

Result<LabelFileLock> LabelFileLock::acquire(const std::string& path, const LockWait& wait) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(wait.waitMs);
    bool toldBusy = false;
    int interval = 2;
    while (true) {
        LabelFileLock lock;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) return lock;  // nothing there to protect; the save says what is wrong
        Result<FileIdentity> opened = fileIdentityOfDescriptor(fd);
        struct stat st;
        if (!opened || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return lock;
        }
        lock.m_fd = fd;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int problem = errno;
            if (locksUnsupported(problem)) {
                lock.release();
                return lock;
            }
            if (problem != EWOULDBLOCK && problem != EINTR)
                return Error{path, systemReason(problem)};
            std::optional<LockHolder> holder = findLockHolder(*opened);
            lock.release();
            // Told once whenever there is a wait at all, however slow the
            // first try was.
            if (!toldBusy && wait.waitMs > 0 && wait.onBusy) wait.onBusy(holder);
            toldBusy = true;
            if (Clock::now() >= deadline) return Error{path, busyReason(holder, wait.waitMs)};
            if (wait.betweenTries) wait.betweenTries();
            pause(interval);
            interval = std::min(interval * 2, 50);
            continue;
        }
        // The lock is on the file we opened. A save that ran meanwhile has
        // renamed a new file over the path: that one is the file to lock.
        Result<FileIdentity> named = fileIdentityOf(path);
        if (!named) return LabelFileLock{};  // gone while we waited
        if (!sameFile(*named, *opened)) continue;
        lock.m_identity = *named;
        return lock;
    }
}

}  // namespace lm

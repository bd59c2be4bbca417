#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/readablefile.h"
#include "core/result.h"

namespace lm {

// Who holds the lock on a file, as far as the system tells: a process id and
// its program name.
struct LockHolder {
    long pid = 0;
    std::string program;  // empty when the process cannot be looked at
};

// "labelmaker-cli (process 4242)", or "process 4242" without a name.
std::string describeLockHolder(const LockHolder& holder);

// The process holding an exclusive lock on the file `identity` names, looked
// up in /proc/locks; nothing when the system does not say (another machine
// over NFS, a lock without an owner process, no /proc).
std::optional<LockHolder> findLockHolder(const FileIdentity& identity);

// How long to wait for a busy file, and what to do meanwhile.
struct LockWait {
    int waitMs = 10000;
    // Called once, when the file is first found locked by someone else
    // (not with waitMs 0, which does not wait).
    std::function<void(const std::optional<LockHolder>&)> onBusy;
    // Called between tries, every few milliseconds while waiting.
    std::function<void()> betweenTries;
};

// One writer at a time: an exclusive advisory lock (flock) on the file a path
// names, held for a whole read-modify-write of it. Every writer of label
// files takes it; readers do not. A save replaces the file by renaming a new
// one over it, so once the lock is granted the path is checked to still name
// the locked file, and the lock is taken again on the new one when it does
// not. No lock file is made: the lock lives on the label file itself, and
// goes with the process that holds it, however that process ends.
class LabelFileLock {
  public:
    LabelFileLock() = default;
    ~LabelFileLock();
    LabelFileLock(LabelFileLock&& other) noexcept;
    LabelFileLock& operator=(LabelFileLock&& other) noexcept;
    LabelFileLock(const LabelFileLock&) = delete;
    LabelFileLock& operator=(const LabelFileLock&) = delete;

    // Locks the file `path` names, waiting as `wait` says. A path that names
    // no file gives a lock that holds nothing (there is nothing to protect
    // yet; the save creates the file). A file still locked when the time is up
    // is an Error that says so and names the holder when it can. On a
    // filesystem that has no locks the file is used unlocked, as before.
    static Result<LabelFileLock> acquire(const std::string& path, const LockWait& wait);

    // True while a file is locked.
    bool holdsFile() const { return m_fd >= 0; }
    // The locked file as it was when the lock was granted.
    const FileIdentity& identity() const { return m_identity; }
    void release();

  private:
    int m_fd = -1;
    FileIdentity m_identity;
};

}  // namespace lm

#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace lm {

// Writes a file so that the old one is never lost: the new content goes into
// a scratch file beside the target, is flushed to disk, and only then renamed
// over the target. Until commit() succeeds the target is untouched; a writer
// that is destroyed without committing removes its scratch file.
class AtomicFileWriter {
  public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // How commit() puts the new content in place. ByRename renames the
    // scratch file over the target: the safe way, but a file with several
    // names (hard links) keeps its old content under the others. InPlace
    // copies the finished scratch file into the target itself and cuts it to
    // length: every name sees the new content, but a failure while copying
    // leaves the target damaged.
    enum class Replace { ByRename, InPlace };

    // Creates the scratch file for `targetPath`. Refuses a target that exists
    // but may not be written, as a plain write would have. The scratch file
    // gets the target's mode, group and (where the process may) owner, so
    // that the new file takes the old one's place in the system; it is locked
    // while this writer lives, so that no clean-up takes it for a leftover.
    Status open(const std::string& targetPath, Replace replace = Replace::ByRename);
    Status write(const char* data, std::size_t size);
    Status write(std::string_view data) { return write(data.data(), data.size()); }
    // Appends `length` bytes of the file open at `fd`, from `offset`, copied
    // in the kernel (copy_file_range, which shares the blocks where the
    // filesystem can), or through memory where that is refused. Errors in
    // reading name `sourcePath`.
    Status copyFrom(int fd, long long offset, long long length, const std::string& sourcePath);
    // Bytes handed to write() so far.
    long long written() const { return m_written; }
    // Flushes, syncs and renames the scratch file over the target.
    Status commit();
    // Removes the scratch file; the target stays as it was.
    void abandon();

    const std::string& targetPath() const { return m_target; }

    // Test seam for the places a full or failing disk shows: one writer
    // (counted from 0 in the order they are opened after the call) fails at
    // one stage with `errorNumber`. At Stage::Write, `afterBytes` bytes still
    // reach the disk first.
    enum class Stage { Create, Write, Sync, Rename };
    struct InjectedFault {
        Stage stage = Stage::Write;
        int writer = 0;
        long long afterBytes = 0;
        int errorNumber = 0;
    };
    // While a fault is injected (writer -1: none fires), the targets of the
    // writers opened are recorded in order.
    static void injectFaultForTesting(const InjectedFault& fault);
    static void clearFaultForTesting();
    static std::vector<std::string> openedTargetsForTesting();

  private:
    Status flushBuffer();
    Status writeToDisk(const char* data, std::size_t size);
    Status failWith(int errorNumber);
    // The injected error for this writer at `stage`, or 0.
    int injectedError(Stage stage) const;
    long long injectedRoom() const;
    Status copyThroughMemory(int fd, long long offset, long long length,
                             const std::string& sourcePath);
    Status sourceEnded(const std::string& sourcePath);
    Status copyIntoTarget();

    std::string m_target;
    std::string m_scratch;
    int m_fd = -1;
    std::string m_buffer;
    long long m_written = 0;
    long long m_onDisk = 0;
    int m_index = -1;
    Replace m_replace = Replace::ByRename;
};

// Replaces `path` with `content` through an AtomicFileWriter.
Status writeFileAtomically(const std::string& path, std::string_view content);

// Scratch files left behind by a save that was killed: their names mark them,
// and no writer holds their lock any more (a save still running in another
// process, on this machine or another, does). Removes those in `folder`.
void removeStaleScratchFiles(const std::string& folder);

// True when `name` is the name of one of our scratch files.
bool isScratchFileName(const std::string& name);

}  // namespace lm

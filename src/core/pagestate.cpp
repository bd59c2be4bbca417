#include "core/pagestate.h"

#include <sys/stat.h>

#include <cerrno>

#include "core/readablefile.h"

namespace lm {

PageSource pageSourceNow(const PageState& state) {
    if (state.CurrentFileName.empty() || state.PageFileIdentity.size < 0)
        return PageSource::Unchanged;
    struct stat st;
    if (::stat(state.CurrentFileName.c_str(), &st) != 0) {
        // A file that cannot be looked at for another reason (a folder that
        // may no longer be searched) is left to the save, which names it.
        return errno == ENOENT || errno == ENOTDIR ? PageSource::Gone : PageSource::Unchanged;
    }
    Result<FileIdentity> now = fileIdentityOf(state.CurrentFileName);
    if (!now) return PageSource::Gone;
    return *now == state.PageFileIdentity ? PageSource::Unchanged : PageSource::Changed;
}

}  // namespace lm

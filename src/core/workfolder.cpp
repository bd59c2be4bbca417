#include "core/workfolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace lm {
namespace {

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

// mkdir -p: creates each missing folder on the way.
bool makeFolders(const std::string& path) {
    for (std::size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string workFolder() {
    std::string folder;
    if (const char* dir = std::getenv("QORTEX_DIR"); dir && *dir) {
        folder = dir;
    } else {
        folder = homeFolder() + "/qortex";
    }
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!makeFolders(folder)) return {};
    return folder;
}

std::string workFilePath(const std::string& fileName) {
    std::string folder = workFolder();
    if (folder.empty()) {
        // Fall back to the configured name so the caller's open fails with a reason.
        const char* dir = std::getenv("QORTEX_DIR");
        folder = dir && *dir ? dir : homeFolder() + "/qortex";
    }
    return folder + "/" + fileName;
}

}  // namespace lm

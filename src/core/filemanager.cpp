#include "core/filemanager.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/workfolder.h"

namespace lm {
namespace {

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Collapses "//" and drops a trailing "/", leaving the text otherwise as it is.
std::string tidyPath(const std::string& path) {
    std::string tidy;
    for (char c : path) {
        if (c == '/' && !tidy.empty() && tidy.back() == '/') continue;
        tidy += c;
    }
    return withoutTrailingSlashes(tidy);
}

bool isInside(const std::string& inner, const std::string& outer) {
    if (outer.empty() || inner.size() <= outer.size()) return false;
    if (outer == "/") return inner.front() == '/';
    return inner.compare(0, outer.size(), outer) == 0 && inner[outer.size()] == '/';
}

// /proc/self/mountinfo writes blanks, tabs, newlines and backslashes in a
// mount point as three octal digits after a backslash.
std::string unescapeMountPoint(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
                text += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return {};
}

std::string baseName(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentFolder(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

Error systemError(const std::string& path, int errorNumber) {
    return Error{path, systemReason(errorNumber)};
}

// Empties the folder open as `folderFd` and reached as `path`, depth first.
Status emptyFolder(int folderFd, const std::string& path, dev_t device);

// Removes the entry `name` of the folder `parentFd`.
Status removeEntry(int parentFd, const std::string& name, const std::string& path, dev_t device) {
    struct stat st;
    if (fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return systemError(path, errno);
    if (!S_ISDIR(st.st_mode)) {
        if (unlinkat(parentFd, name.c_str(), 0) != 0) return systemError(path, errno);
        return {};
    }
    if (st.st_dev != device)
        return Error{path, "another drive is mounted on this folder; it was left as it is"};
    int fd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return systemError(path, errno);
    // A forced delete removes read-only items too: a folder of our own
    // without write permission would keep its contents.
    if ((st.st_mode & S_IWUSR) == 0 && st.st_uid == geteuid())
        fchmod(fd, (st.st_mode & 07777) | S_IRWXU);
    Status emptied = emptyFolder(fd, path, device);  // closes fd
    if (!emptied) return emptied;
    if (unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) != 0) return systemError(path, errno);
    return {};
}

Status emptyFolder(int folderFd, const std::string& path, dev_t device) {
    DIR* dir = fdopendir(folderFd);
    if (!dir) {
        int errorNumber = errno;
        close(folderFd);
        return systemError(path, errorNumber);
    }
    // Read the names first: removing entries while reading may make the
    // listing skip some.
    std::vector<std::string> names;
    errno = 0;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
        errno = 0;
    }
    if (errno != 0) {
        int errorNumber = errno;
        closedir(dir);
        return systemError(path, errorNumber);
    }
    Status result;
    for (const std::string& name : names) {
        result = removeEntry(dirfd(dir), name, joinPath(path, name), device);
        if (!result) break;
    }
    closedir(dir);
    return result;
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

Result<std::vector<std::string>> listFiles(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return systemError(folder, errno);
    std::vector<std::string> names;
    errno = 0;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        errno = 0;
        if (name.empty() || name.front() == '.') continue;
        struct stat st;
        // Follow links, so a link to a folder is a folder; a broken link is a file.
        if (fstatat(dirfd(dir), name.c_str(), &st, 0) == 0 && S_ISDIR(st.st_mode)) {
            errno = 0;
            continue;
        }
        names.push_back(name);
        errno = 0;
    }
    int errorNumber = errno;
    closedir(dir);
    if (errorNumber != 0) return systemError(folder, errorNumber);
    std::sort(names.begin(), names.end());
    return names;
}

bool folderExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

Status deleteFile(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return systemError(path, errno);
    if (S_ISDIR(st.st_mode)) return systemError(path, EISDIR);
    if (unlink(path.c_str()) != 0) return systemError(path, errno);
    return {};
}

Status deleteFolderTree(const std::string& givenPath) {
    const std::string path = tidyPath(givenPath);
    if (path.empty() || path == "/") return systemError(givenPath, EBUSY);
    const std::string parent = parentFolder(path);
    const std::string name = baseName(path);
    if (name == "." || name == "..") return systemError(givenPath, EINVAL);
    int parentFd = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0) return systemError(parent, errno);
    struct stat st;
    Status result;
    if (fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        result = systemError(path, errno);
    } else if (S_ISLNK(st.st_mode)) {
        // A link to a folder: the folder belongs elsewhere; remove the link.
        if (unlinkat(parentFd, name.c_str(), 0) != 0) result = systemError(path, errno);
    } else if (!S_ISDIR(st.st_mode)) {
        result = systemError(path, ENOTDIR);
    } else {
        result = removeEntry(parentFd, name, path, st.st_dev);
    }
    close(parentFd);
    return result;
}

ProtectedFolders protectedFoldersOfThisRun(const std::string& applicationFolder) {
    ProtectedFolders folders;
    folders.applicationFolder = applicationFolder;
    folders.homeFolder = homeFolder();
    folders.workingFolder = workFolder();
    return folders;
}

std::string canonicalFolderPath(const std::string& path) {
    if (path.empty()) return {};
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        std::string canonical = resolved;
        std::free(resolved);
        return canonical;
    }
    return tidyPath(path);
}

std::vector<std::string> mountPoints() {
    std::vector<std::string> points;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        // mount ID, parent ID, major:minor, root, mount point, ...
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
            if (i == 4) points.push_back(unescapeMountPoint(field));
        }
    }
    return points;
}

bool isMountPoint(const std::string& path) {
    const std::string canonical = canonicalFolderPath(path);
    if (canonical == "/") return true;
    struct stat self;
    struct stat parent;
    if (stat(canonical.c_str(), &self) == 0 &&
        stat(parentFolder(canonical).c_str(), &parent) == 0 && self.st_dev != parent.st_dev)
        return true;
    const std::vector<std::string> points = mountPoints();
    return std::find(points.begin(), points.end(), canonical) != points.end();
}

FolderDeletionCheck checkFolderDeletion(const std::string& path,
                                        const ProtectedFolders& protectedFolders) {
    FolderDeletionCheck check;
    if (!protectedFolders.applicationFolder.empty() && path == protectedFolders.applicationFolder) {
        check.folder = ProtectedFolder::Application;
        return check;
    }
    const std::string canonical = canonicalFolderPath(path);
    if (canonical.empty() || isMountPoint(canonical)) {
        check.folder = ProtectedFolder::DriveRoot;
        return check;
    }
    const std::pair<ProtectedFolder, std::string> guarded[] = {
        {ProtectedFolder::Application, canonicalFolderPath(protectedFolders.applicationFolder)},
        {ProtectedFolder::Home, canonicalFolderPath(protectedFolders.homeFolder)},
        {ProtectedFolder::Working, canonicalFolderPath(protectedFolders.workingFolder)},
    };
    for (const auto& [folder, guardedPath] : guarded) {
        if (!guardedPath.empty() && guardedPath == canonical) {
            check.folder = folder;
            return check;
        }
    }
    check.holdsIt = true;
    for (const auto& [folder, guardedPath] : guarded) {
        if (isInside(guardedPath, canonical)) {
            check.folder = folder;
            return check;
        }
    }
    for (const std::string& point : mountPoints()) {
        if (isInside(point, canonical)) {
            check.folder = ProtectedFolder::DriveRoot;
            return check;
        }
    }
    check.holdsIt = false;
    return check;
}

RenameRefusal checkRename(const std::string& folder, const std::string& newName) {
    if (newName.empty() || newName == "." || newName == ".." ||
        newName.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return RenameRefusal::NotAPlainName;
    const std::string path = joinPath(folder, newName);
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? RenameRefusal::DestinationIsFolder
                                   : RenameRefusal::DestinationFileExists;
    if (lstat(path.c_str(), &st) == 0) return RenameRefusal::DestinationFileExists;
    return RenameRefusal::None;
}

Status renameFile(const std::string& oldPath, const std::string& newPath) {
    if (renameat2(AT_FDCWD, oldPath.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0)
        return {};
    int errorNumber = errno;
    // The name taken is the new one; any other failure is about the old file.
    if (errorNumber == EEXIST) return systemError(newPath, errorNumber);
    if (errorNumber != EINVAL && errorNumber != ENOSYS) return systemError(oldPath, errorNumber);
    // A file system without the no-replace rename: check, then rename.
    struct stat st;
    if (lstat(newPath.c_str(), &st) == 0) return systemError(newPath, EEXIST);
    if (std::rename(oldPath.c_str(), newPath.c_str()) != 0) return systemError(oldPath, errno);
    return {};
}

}  // namespace lm

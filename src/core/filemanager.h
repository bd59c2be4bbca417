#pragma once

#include <string>
#include <vector>

#include "core/result.h"

namespace lm {

// The file work of the label file manager: listing, deleting and renaming
// files and deleting folders anywhere on the machine, with the refusals that
// keep it from removing what the system or the Label Maker needs.

// Joins a folder and a name with one "/"; the root "/" gets no second one.
std::string joinPath(const std::string& folder, const std::string& name);

// The names the file list shows for `folder`: every entry that is not a
// folder (a link to a folder counts as a folder), names starting with "."
// left out as hidden, sorted bytewise.
Result<std::vector<std::string>> listFiles(const std::string& folder);

// True when `path` is a folder (or a link to one) that exists now.
bool folderExists(const std::string& path);

// Deletes one file; a link is removed, not what it points to. A folder is
// refused.
Status deleteFile(const std::string& path);

// Deletes `path` with everything in it. Read-only folders of the operator's
// own are made writable so their contents can go, as a forced delete does.
// Links inside are removed, never followed; when `path` itself is a link to a
// folder only the link goes. The deletion stays on the folder's own drive:
// a drive mounted inside ends it with an error. It stops at the first item
// that cannot be removed and says which one and why.
Status deleteFolderTree(const std::string& path);

// The folders a folder deletion must never remove, nor any folder holding them.
struct ProtectedFolders {
    std::string applicationFolder;  // the folder the program runs from
    std::string homeFolder;
    std::string workingFolder;  // settings file and working label file
};

// The program's folder as given, the operator's home folder ($HOME, else the
// password database) and the working folder.
ProtectedFolders protectedFoldersOfThisRun(const std::string& applicationFolder);

enum class ProtectedFolder { None, Application, DriveRoot, Home, Working };

struct FolderDeletionCheck {
    ProtectedFolder folder = ProtectedFolder::None;
    // True when the protected folder lies inside the one to be deleted,
    // false when it is that folder.
    bool holdsIt = false;
    bool allowed() const { return folder == ProtectedFolder::None; }
};

// Whether `path` may be deleted as a folder. Refused: the program's folder
// (as text, and after links are resolved), the root of the file system and
// every mount point (a drive's root), the home folder, the working folder,
// and every folder that holds one of them or a mount point.
FolderDeletionCheck checkFolderDeletion(const std::string& path,
                                        const ProtectedFolders& protectedFolders);

// True for "/" and for every folder a file system is mounted on.
bool isMountPoint(const std::string& path);

// The folders file systems are mounted on, as this process sees them.
std::vector<std::string> mountPoints();

// `path` with links, "." and ".." resolved; when it does not exist, `path`
// with repeated and trailing "/" removed.
std::string canonicalFolderPath(const std::string& path);

enum class RenameRefusal {
    None,
    NotAPlainName,          // empty, holds "/" (or a NUL), or is "." or ".."
    DestinationFileExists,  // a file (or a link) has the new name already
    DestinationIsFolder,
};

// Whether a file in `folder` may be renamed to `newName`, a plain name in the
// same folder.
RenameRefusal checkRename(const std::string& folder, const std::string& newName);

// Renames `oldPath` to `newPath`; never replaces an existing `newPath`, even
// one that appeared after checkRename.
Status renameFile(const std::string& oldPath, const std::string& newPath);

}  // namespace lm

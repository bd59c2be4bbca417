#pragma once

#include <QString>

#include "core/filemanager.h"

namespace lm {

// What the file manager says when it refuses to delete `folder`, e.g.
// "You are not allowed to delete the current application folder: /opt/lm".
// Empty when the check allows the deletion.
QString folderRefusalText(const FolderDeletionCheck& check, const QString& folder);

}  // namespace lm

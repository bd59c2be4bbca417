#include "filemgr/folderrefusal.h"

namespace lm {
namespace {

// The protected folder as the refusal names it.
QString protectedName(ProtectedFolder folder, bool holdsIt) {
    switch (folder) {
        case ProtectedFolder::Application:
            return QStringLiteral("the current application folder");
        case ProtectedFolder::DriveRoot:
            return holdsIt ? QStringLiteral("a mounted drive")
                           : QStringLiteral("the root folder of a drive");
        case ProtectedFolder::Home:
            return QStringLiteral("your home folder");
        case ProtectedFolder::Working:
            return QStringLiteral("the Label Maker's working folder");
        case ProtectedFolder::None:
            break;
    }
    return QString();
}

}  // namespace

QString folderRefusalText(const FolderDeletionCheck& check, const QString& folder) {
    if (check.allowed()) return QString();
    const QString what = protectedName(check.folder, check.holdsIt);
    if (check.holdsIt)
        return QStringLiteral("You are not allowed to delete a folder that holds %1: %2")
            .arg(what, folder);
    return QStringLiteral("You are not allowed to delete %1: %2").arg(what, folder);
}

}  // namespace lm

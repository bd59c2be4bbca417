#include "app/startup.h"

#include "app/form1.h"
#include "app/forms1.h"
#include "app/sessionend.h"
#include "app/typedpagerestore.h"
#include "app/workfolderlock.h"
#include "core/atomicfile.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"
#include "platform/filereport.h"

namespace lm {
namespace {

constexpr int kCannotStart = 1;

// "The settings file /home/ann/qortex/$$$set.val cannot be read: it holds 3 of
// the 21 settings items." and what the operator can do about it.
QString settingsProblem(const std::string& path, const Error& error) {
    QString file = QString::fromStdString(error.path.empty() ? path : error.path);
    QString reason = QString::fromStdString(error.reason);
    if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    return QStringLiteral(
               "The settings file %1 cannot be read: %2\r\n\r\n"
               "The Label Maker cannot start. Correct the file, or remove it to "
               "start with the default settings.")
        .arg(file, reason);
}

}  // namespace

StartUpResult startUp(Dialogs& dialogs) {
    StartUpResult result;
    Form1 splash;
    splash.placeOnScreen();
    splash.show();
    letWindowEventsRun();

    std::string path = settingsFilePath();
    Result<Settings> settings = loadOrCreateSettingsFile(path);
    if (!settings) {
        splash.close();
        dialogs.message(settingsProblem(path, settings.error()), MessageButtons::Ok,
                        MessageIcon::Critical);
        result.exitCode = kCannotStart;
        return result;
    }

    std::string folder = workFolder();
    std::unique_ptr<WorkFolderLock> lock;
    if (!folder.empty()) {
        lock = std::make_unique<WorkFolderLock>(fromFilePath(folder));
        if (!lock->take()) {
            // The question must not sit behind the splash.
            splash.hide();
            if (!goOnBesideAnotherWindow(fromFilePath(folder), dialogs)) return result;
            lock->takeWhenFree();
            splash.show();
            letWindowEventsRun();
        }
        removeStaleScratchFiles(folder);
    }

    result.window = std::make_unique<Forms1>(settings.value(), dialogs);
    // Both live as long as the window.
    if (lock) lock.release()->setParent(result.window.get());
    new SessionEnd(*result.window, result.window.get());
    splash.close();
    result.window->runStartUpLoad();
    offerTypedPage(*result.window);
    return result;
}

void showMainWindow(Forms1& window) {
    window.showMaximized();
}

}  // namespace lm

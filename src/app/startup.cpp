#include "app/startup.h"

#include "app/form1.h"
#include "app/forms1.h"
#include "core/atomicfile.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"

namespace lm {
namespace {

constexpr int kCannotStart = 1;

QString settingsProblem(const std::string& path, const Error& error) {
    QString file = QString::fromStdString(error.path.empty() ? path : error.path);
    return QStringLiteral(
               "The settings file cannot be read:\r\n%1\r\n\r\n%2\r\n\r\n"
               "The Label Maker cannot start. Correct the file, or remove it to "
               "start with the default settings.")
        .arg(file, QString::fromStdString(error.reason));
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
    if (!folder.empty()) removeStaleScratchFiles(folder);

    result.window = std::make_unique<Forms1>(settings.value(), dialogs);
    splash.close();
    result.window->runStartUpLoad();
    return result;
}

}  // namespace lm

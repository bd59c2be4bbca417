#include "cli/guisession.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace lm::cli {
namespace {

const char kPlatformVariable[] = "QT_QPA_PLATFORM";
const char kRuntimeVariable[] = "XDG_RUNTIME_DIR";

}  // namespace

GuiSession::GuiSession() {
    if (QCoreApplication* running = QCoreApplication::instance()) {
        m_ok = qobject_cast<QGuiApplication*>(running) != nullptr;
        return;
    }
    // QGuiApplication keeps a reference to its argument count.
    static int argc = 1;
    static char name[] = "labelmaker-cli";
    static char* argv[] = {name, nullptr};
    const bool choosePlatform = !qEnvironmentVariableIsSet(kPlatformVariable);
    if (choosePlatform) qputenv(kPlatformVariable, "offscreen");
    if (!qEnvironmentVariableIsSet(kRuntimeVariable)) {
        // Made for this user only (0700), as Qt requires of a runtime folder.
        auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() +
                                                      QStringLiteral("/labelmaker-cli-XXXXXX"));
        if (folder->isValid()) {
            qputenv(kRuntimeVariable, QFile::encodeName(folder->path()));
            m_runtimeFolder = std::move(folder);
        }
    }
    m_app = std::make_unique<QGuiApplication>(argc, argv);
    // The platform is chosen; the environment goes back to what the caller set.
    if (choosePlatform) qunsetenv(kPlatformVariable);
    m_ok = true;
}

GuiSession::~GuiSession() {
    m_app.reset();
    if (m_runtimeFolder) qunsetenv(kRuntimeVariable);
}

}  // namespace lm::cli

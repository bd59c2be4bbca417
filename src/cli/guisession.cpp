#include "cli/guisession.h"

#include <QGuiApplication>

namespace lm::cli {
namespace {

const char kPlatformVariable[] = "QT_QPA_PLATFORM";

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
    m_app = std::make_unique<QGuiApplication>(argc, argv);
    // The platform is chosen; the environment goes back to what the caller set.
    if (choosePlatform) qunsetenv(kPlatformVariable);
    m_ok = true;
}

GuiSession::~GuiSession() = default;

}  // namespace lm::cli

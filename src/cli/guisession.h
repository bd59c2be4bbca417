#pragma once

#include <memory>

class QGuiApplication;
class QTemporaryDir;

namespace lm::cli {

// Fonts and the PDF writer need a QGuiApplication. The tool's main() makes
// none, so a command that draws starts one for as long as it runs, on the
// "offscreen" platform unless QT_QPA_PLATFORM says otherwise: the tool then
// works without a display. A program that already runs one is left alone.
//
// Where XDG_RUNTIME_DIR is not set (a root shell, cron, a container) Qt
// warns about it on stderr on every run; the session then gives Qt a
// private runtime folder of its own for as long as it lasts, so that stderr
// holds the tool's own words only.
class GuiSession {
  public:
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

    // False when the program runs a QCoreApplication, which cannot draw text
    // and cannot be joined by a second application object.
    bool ok() const { return m_ok; }

  private:
    std::unique_ptr<QTemporaryDir> m_runtimeFolder;  // outlives m_app
    std::unique_ptr<QGuiApplication> m_app;
    bool m_ok = false;
};

}  // namespace lm::cli

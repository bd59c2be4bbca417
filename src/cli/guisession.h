#pragma once

#include <memory>

class QGuiApplication;

namespace lm::cli {

// Fonts and the PDF writer need a QGuiApplication. The tool's main() makes
// none, so a command that draws starts one for as long as it runs, on the
// "offscreen" platform unless QT_QPA_PLATFORM says otherwise: the tool then
// works without a display. A program that already runs one is left alone.
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
    std::unique_ptr<QGuiApplication> m_app;
    bool m_ok = false;
};

}  // namespace lm::cli

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

#include "core/settings.h"
#include "scripteddialogs.h"

class QFileDialog;

namespace lm {
class Dialogs;
class Forms1;
class LabelControl;
}  // namespace lm

// A working folder of its own for one test: QORTEX_DIR points at a fresh
// temporary folder while the object lives.
class TempWorkFolder {
  public:
    TempWorkFolder();
    ~TempWorkFolder();
    TempWorkFolder(const TempWorkFolder&) = delete;
    TempWorkFolder& operator=(const TempWorkFolder&) = delete;

    QString path() const { return m_dir.path(); }
    std::string filePath(const char* name) const;
    void writeSettings(const lm::Settings& settings) const;
    void writeFile(const char* name, const QByteArray& bytes) const;
    QByteArray readFile(const char* name) const;

  private:
    QTemporaryDir m_dir;
    QByteArray m_oldValue;
    bool m_hadValue;
};

// The defaults of a fresh installation with another label type, its default
// margins, and the printing method given.
lm::Settings settingsForType(int labelType, int printingMethod = lm::kBatchPrinting);

// Writes `settings` into `folder` and runs start-up; fails the test (returns
// nullptr) when start-up does not make a window.
std::unique_ptr<lm::Forms1> startWith(const TempWorkFolder& folder, const lm::Settings& settings,
                                      lm::Dialogs& dialogs);

// A window started on `settings` in a working folder of its own, its dialogs
// answered from a script; `window` is null when start-up made none.
struct StartedWindow {
    explicit StartedWindow(const lm::Settings& settings);
    // The same with `workingFile` as the working label file's bytes.
    StartedWindow(const lm::Settings& settings, const QByteArray& workingFile);
    ~StartedWindow();
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<lm::Forms1> window;
};

// Runs the menu item named `objectName`; fails the test when there is none.
void trigger(lm::Forms1& window, const QString& objectName);
void trigger(lm::Forms1& window, const char* objectName);

// The text the status bar's message field shows.
QString statusMessage(lm::Forms1& window);

// Names `path` in an open file dialog as an operator types it: its folder,
// and its name in the name field (selectFile() leaves a focused field alone,
// and until the folder is listed nothing is selected then).
void nameInFileDialog(QFileDialog& dialog, const QString& path);

// Pixels for twips at the label's screen resolution, as the page places it.
int pixelsX(const lm::LabelControl& label, double twips);
int pixelsY(const lm::LabelControl& label, double twips);

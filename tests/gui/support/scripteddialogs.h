#pragma once

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

#include "platform/dialogs.h"

// Dialogs for the window tests: each prompt the program shows must be the
// next one of the script, with exactly the text, title, buttons and icon (an
// input box's default text, a file dialog's title and filter) the script
// names, and gets the script's answer. A prompt that differs, a prompt the
// script does not expect and a step left unanswered are failures: check them
// with LM_VERIFY_DIALOGS(dialogs); whatever was not checked fails the test
// when the object goes out of scope.
class ScriptedDialogs : public lm::Dialogs {
  public:
    using Dialogs::message;

    ScriptedDialogs() = default;
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // The script, in the order the prompts must come.
    void expectMessage(const QString& text, lm::MessageButtons buttons, lm::MessageIcon icon,
                       lm::MessageAnswer answer, const QString& title = lm::kMessageTitle);
    // The same, also checking which button is the default.
    void expectMessageWithDefault(const QString& text, lm::MessageButtons buttons,
                                  lm::MessageIcon icon, lm::MessageAnswer defaultButton,
                                  lm::MessageAnswer answer,
                                  const QString& title = lm::kMessageTitle);
    // A box with only OK, answered with it.
    void expectOk(const QString& text, lm::MessageIcon icon = lm::MessageIcon::None) {
        expectMessage(text, lm::MessageButtons::Ok, icon, lm::MessageAnswer::Ok);
    }
    // A box of named buttons (Dialogs::choose), answered with the button `answer`.
    void expectChoice(const QString& text, lm::MessageIcon icon, const QStringList& choices,
                      int answer, const QString& title = lm::kMessageTitle);
    void expectInput(const QString& prompt, const QString& title, const QString& defaultText,
                     std::optional<QString> answer);
    void expectOpenFile(const QString& title, const QString& filter, std::optional<QString> answer);
    void expectSaveFile(const QString& title, const QString& filter, std::optional<QString> answer);
    void expectFolder(const QString& title, std::optional<QString> answer);
    // `preset`, when given, must be what the dialog is opened with.
    void expectFont(std::optional<lm::FontChoice> preset, std::optional<lm::FontChoice> answer);
    void expectPrint(bool accept);
    // The list of the check before printing: exactly these lines, answered so.
    void expectPrintProblems(const QStringList& problems, lm::PrintProblemAnswer answer);
    // A print preview; `inspect` gets it shown and closes it (or leaves it
    // to be closed here).
    void expectPreview(std::function<void(QDialog&)> inspect);
    // Setup, Printer Calibration; `inspect` gets it shown, works it as the
    // operator would and closes it (or leaves it to be closed here).
    void expectCalibration(std::function<void(QDialog&)> inspect);

    // Everything wrong so far: differing and unexpected prompts, then the
    // steps not yet answered. Empty when the script ran exactly.
    QStringList problems() const;
    // Marks the current problems as reported, so they fail the test only once.
    QStringList takeProblems();
    int unanswered() const { return int(m_steps.size()); }
    // Every prompt shown, in order, for messages.
    const QStringList& shown() const { return m_shown; }

    lm::MessageAnswer message(const lm::MessageRequest& request) override;
    int choose(const lm::ChoiceRequest& request) override;
    std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                    const QString& defaultText) override;
    std::optional<QString> openFileName(const QString& title, const QString& filter) override;
    std::optional<QString> saveFileName(const QString& title, const QString& filter) override;
    std::optional<QString> folderName(const QString& title, const QString& startFolder) override;
    std::optional<lm::FontChoice> chooseFont(const lm::FontChoice& preset) override;
    bool printDialog(QPrinter& printer) override;
    lm::PrintProblemAnswer printProblems(const QString& text, const QStringList& problems) override;
    void printPreview(QDialog& preview) override;
    void printerCalibration(QDialog& calibration) override;

  private:
    enum class Kind {
        Message, Choice, Input, OpenFile, SaveFile, Folder, Font, Print, Problems, Preview,
        Calibration
    };
    struct Step {
        Kind kind = Kind::Message;
        lm::MessageRequest message;
        lm::ChoiceRequest choice;
        int chosen = 0;
        bool checkDefault = false;
        lm::MessageAnswer answer = lm::MessageAnswer::Ok;
        QString prompt;
        QString title;
        QString detail;  // input default text or file filter
        std::optional<QString> text;
        std::optional<lm::FontChoice> preset;
        std::optional<lm::FontChoice> font;
        bool accept = false;
        QStringList problems;
        lm::PrintProblemAnswer problemAnswer;
        std::function<void(QDialog&)> inspect;
        QString description;  // for a report of a step not shown
    };

    Step& push(Kind kind, const QString& description);
    // The next step when it is of `kind`; records a failure otherwise.
    std::optional<Step> next(Kind kind, const QString& description);
    void check(const QString& what, const QString& expected, const QString& actual);

    std::deque<Step> m_steps;
    QStringList m_failures;
    QStringList m_shown;
};

// Fails the test with the script's problems.
#define LM_VERIFY_DIALOGS(dialogs)                                                      \
    do {                                                                                \
        const QStringList lmProblems = (dialogs).takeProblems();                        \
        QVERIFY2(lmProblems.isEmpty(), qPrintable(lmProblems.join(QLatin1Char('\n')))); \
    } while (false)

QString describeMessage(const lm::MessageRequest& request);

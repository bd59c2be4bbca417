#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

#include "platform/printoptions.h"

class QDialog;
class QPrinter;
class QWidget;

namespace lm {

// The title most message boxes carry.
inline const QString kMessageTitle = QStringLiteral("Kelvarine Label Maker");

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Exclamation, Critical };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
    QString text;
    QString title = kMessageTitle;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    // The button Enter presses; by default the first one.
    std::optional<MessageAnswer> defaultButton;
};

// A question whose answers are buttons named for what they do, for the few
// questions no standard set of buttons fits. Escape (or closing the box)
// answers `escapeChoice`.
struct ChoiceRequest {
    QString text;
    QString title = kMessageTitle;
    MessageIcon icon = MessageIcon::Exclamation;
    QStringList choices;
    int defaultChoice = 0;
    int escapeChoice = 0;
};

// A font as the font dialog shows and returns it. The colour is a Windows RGB
// value, 0x00BBGGRR, as the settings file keeps it; the size may have a fraction.
struct FontChoice {
    QString name;
    double size = 12.0;
    std::int32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool strikethrough = false;
    bool underline = false;

    bool operator==(const FontChoice& other) const;
    bool operator!=(const FontChoice& other) const { return !(*this == other); }
};

// What the operator does about the problems the check before printing found.
enum class PrintProblemAction { GoToLabel, PrintAnyway, Cancel };
struct PrintProblemAnswer {
    PrintProblemAction action = PrintProblemAction::Cancel;
    int problem = -1;  // for GoToLabel: the index of the problem chosen
};

// Every question the program asks the operator goes through this interface:
// the window gets the Qt dialogs, the tests a script that checks each prompt.
// Wherever the operator can cancel, the answer is an optional (or Cancel) that
// the caller has to handle.
class Dialogs {
  public:
    virtual ~Dialogs() = default;

    virtual MessageAnswer message(const MessageRequest& request) = 0;

    // The index in request.choices of the button pressed.
    virtual int choose(const ChoiceRequest& request) = 0;

    // The answer typed, or nullopt for Cancel. An empty answer is not Cancel.
    virtual std::optional<QString> inputBox(const QString& prompt, const QString& title,
                                            const QString& defaultText) = 0;

    // `filter` is written the Windows way: pairs of description and patterns
    // separated by '|', e.g. "Label Files (*.dat)|*.dat|All Files (*.*)|*.*".
    // Both file dialogs start from the name last chosen in either of them.
    virtual std::optional<QString> openFileName(const QString& title, const QString& filter) = 0;
    virtual std::optional<QString> saveFileName(const QString& title, const QString& filter) = 0;

    virtual std::optional<QString> folderName(const QString& title, const QString& startFolder) = 0;

    virtual std::optional<FontChoice> chooseFont(const FontChoice& preset) = 0;

    // Shows the print dialog for `printer`; true when the operator confirmed,
    // and the printer then holds the choices made.
    virtual bool printDialog(QPrinter& printer) = 0;
    // The same with the program's own print options, which a confirmed
    // dialog leaves in `options`. Without a page of its own for them an
    // implementation shows the plain print dialog and keeps them as they are.
    virtual bool printDialog(QPrinter& printer, PrintOptions& options);

    // Lists the labels that would not print as they show, one line each, and
    // asks whether to go to one of them, print anyway or cancel. Without a
    // list dialog of its own an implementation asks Yes (print anyway) or No.
    virtual PrintProblemAnswer printProblems(const QString& text, const QStringList& problems);

    // Shows a print preview modally until the operator closes it.
    virtual void printPreview(QDialog& preview);

    // Shows Setup, Printer Calibration modally until the operator closes it.
    // The messages it shows come through this interface too.
    virtual void printerCalibration(QDialog& calibration);

    // Shorthand for the common case.
    MessageAnswer message(const QString& text, MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::None,
                          const QString& title = kMessageTitle);
};

}  // namespace lm

#include "platform/dialogs.h"

#include <QDialog>
#include <QStringList>

namespace lm {

bool FontChoice::operator==(const FontChoice& other) const {
    return name == other.name && size == other.size && color == other.color && bold == other.bold &&
           italic == other.italic && strikethrough == other.strikethrough &&
           underline == other.underline;
}

MessageAnswer Dialogs::message(const QString& text, MessageButtons buttons, MessageIcon icon,
                               const QString& title) {
    MessageRequest request;
    request.text = text;
    request.title = title;
    request.buttons = buttons;
    request.icon = icon;
    return message(request);
}

bool Dialogs::printDialog(QPrinter& printer, PrintOptions&) {
    return printDialog(printer);
}

PrintProblemAnswer Dialogs::printProblems(const QString& text, const QStringList& problems) {
    const MessageAnswer answer =
        message(text + QStringLiteral("\r\n\r\n") + problems.join(QStringLiteral("\r\n")) +
                    QStringLiteral("\r\n\r\nPrint anyway?"),
                MessageButtons::YesNo, MessageIcon::Exclamation);
    PrintProblemAnswer chosen;
    if (answer == MessageAnswer::Yes) chosen.action = PrintProblemAction::PrintAnyway;
    return chosen;
}

void Dialogs::printPreview(QDialog& preview) {
    preview.exec();
}

void Dialogs::printerCalibration(QDialog& calibration) {
    calibration.exec();
}

}  // namespace lm

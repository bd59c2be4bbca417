#include "platform/dialogs.h"

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

}  // namespace lm

#include "app/statusmessage.h"

#include <QWidget>

#include "app/windowcontext.h"
#include "platform/statusbar.h"

namespace lm {

void showStatusMessage(WindowContext& window, const QString& message) {
    if (auto* bar = window.window()->findChild<StatusBar*>()) bar->setMessage(message);
}

}  // namespace lm

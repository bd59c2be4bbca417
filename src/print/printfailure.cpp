#include "print/printfailure.h"

#include "app/windowcontext.h"
#include "core/result.h"
#include "platform/dialogs.h"

namespace lm {

QString failureText(const QString& what, const Error& error) {
    QString reason = QString::fromStdString(error.message());
    if (!reason.isEmpty()) {
        reason[0] = reason[0].toUpper();
        if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    }
    return reason.isEmpty() ? what : what + QStringLiteral("\n\n") + reason;
}

void reportFailure(WindowContext& window, const QString& what, const Error& error) {
    window.dialogs().message(failureText(what, error), MessageButtons::Ok, MessageIcon::Critical);
}

}  // namespace lm

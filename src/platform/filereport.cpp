#include "platform/filereport.h"

#include "core/result.h"
#include "platform/dialogs.h"

namespace lm {

QString reasonSentence(const Error& error, const std::string& file) {
    QString reason = QString::fromStdString(error.reason);
    if (!error.path.empty() && error.path != file)
        reason = fromFilePath(error.path) + QStringLiteral(": ") + reason;
    if (reason.isEmpty()) reason = QStringLiteral("The reason is not known");
    reason[0] = reason[0].toUpper();
    if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    return reason;
}

void reportFileError(Dialogs& dialogs, const QString& what, const std::string& file,
                     const Error& error) {
    dialogs.message(what + QStringLiteral("\r\n\r\n") + reasonSentence(error, file),
                    MessageButtons::Ok, MessageIcon::Critical);
}

}  // namespace lm

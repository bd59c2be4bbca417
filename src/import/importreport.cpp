#include "import/importreport.h"

#include "app/statusmessage.h"
#include "app/windowcontext.h"
#include "core/labeltypes.h"
#include "platform/dialogs.h"

namespace lm {

void reportImported(WindowContext& window, long long sets, const QString& source) {
    showStatusMessage(
        window, QStringLiteral("%1 %2 imported from %3")
                    .arg(sets)
                    .arg(sets == 1 ? QStringLiteral("label set") : QStringLiteral("label sets"))
                    .arg(source));
}

void reportNothingImported(WindowContext& window, const QString& source) {
    const QString type = QString::fromStdString(labelTypeName(window.state().LabelType()));
    window.dialogs().message(QStringLiteral("%1 holds no label set for the label type %2, so "
                                            "nothing was imported. The labels on display and "
                                            "the previous result stay as they were.")
                                 .arg(source, type),
                             MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace lm

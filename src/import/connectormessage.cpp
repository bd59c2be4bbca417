#include "import/connectormessage.h"

#include "app/windowcontext.h"
#include "platform/dialogs.h"

namespace lm {

const ConnectorItem kConnectorItems[6] = {
    {"MnuImportNOTIS", "the Free NOTIS connector."},
    {"MnuImportDRA", "the free DRA connector."},
    {"mnuImportDynix", "the free Dynix connector."},
    {"mnuImportInnovative", "the free Innovative Interface connector."},
    {"mnuImportOthers", "the free SIRSI connector."},
    {"mnuImportMailer1", "the SIRSI Mailer connector."},
};

QString connectorMessageText(const QString& productLine) {
    return QStringLiteral("Please contact Kelvarine Technology Company to get \r\n") + productLine +
           QStringLiteral("\r\n\r\nEmail to: ") + kSupportAddress;
}

void showConnectorMessage(WindowContext& window, const QString& productLine) {
    window.dialogs().message(connectorMessageText(productLine), MessageButtons::Ok,
                             MessageIcon::None);
}

}  // namespace lm

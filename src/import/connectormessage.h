#pragma once

#include <QString>

namespace lm {

class WindowContext;

// Where the operator writes for a connector.
inline const QString kSupportAddress = QStringLiteral("support@kelvarine.example");

// The items of cataloguing systems whose import comes as a separate
// connector: each tells the operator whom to ask for it, with the product
// line of its system, e.g. "the free DRA connector.".
struct ConnectorItem {
    const char* itemName;
    const char* productLine;
};
extern const ConnectorItem kConnectorItems[6];

// The four lines of a connector message: who to contact, the product line,
// an empty line and the support address.
QString connectorMessageText(const QString& productLine);

// Shows the connector message in an OK box titled "Kelvarine Label Maker";
// nothing else happens, the page on display is untouched.
void showConnectorMessage(WindowContext& window, const QString& productLine);

}  // namespace lm

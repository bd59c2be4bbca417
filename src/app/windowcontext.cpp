#include "app/windowcontext.h"

#include <QAbstractButton>
#include <QAction>

namespace lm {

void connectMenuItem(WindowContext& window, const char* name, QObject* receiver,
                     std::function<void()> handler) {
    QAction* action = window.menuItem(QString::fromUtf8(name));
    Q_ASSERT_X(action, "connectMenuItem", name);
    if (action) QObject::connect(action, &QAction::triggered, receiver, [handler] { handler(); });
}

void connectMenuArray(WindowContext& window, const char* arrayName, QObject* receiver,
                      std::function<void(int)> handler) {
    const QList<QAction*> items = window.menuArray(QString::fromUtf8(arrayName));
    Q_ASSERT_X(!items.isEmpty(), "connectMenuArray", arrayName);
    for (QAction* action : items) {
        int index = action->data().toInt();
        QObject::connect(action, &QAction::triggered, receiver,
                         [handler, index] { handler(index); });
    }
}

void connectButton(WindowContext& window, const char* name, QObject* receiver,
                   std::function<void()> handler) {
    QAbstractButton* button = window.button(QString::fromUtf8(name));
    Q_ASSERT_X(button, "connectButton", name);
    if (button)
        QObject::connect(button, &QAbstractButton::clicked, receiver, [handler] { handler(); });
}

}  // namespace lm

#include <QApplication>

#include "app/forms1.h"
#include "app/startup.h"
#include "platform/qtdialogs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvarine Label Maker"));
    lm::QtDialogs dialogs;
    lm::StartUpResult started = lm::startUp(dialogs);
    if (!started.window) return started.exitCode;
    dialogs.setParentWindow(started.window.get());
    lm::showMainWindow(*started.window);
    return app.exec();
}

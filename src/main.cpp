#include <QApplication>
#include <QCommandLineParser>

#include "app/forms1.h"
#include "app/startup.h"
#include "platform/qtdialogs.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvarine Label Maker"));
    QApplication::setApplicationVersion(QStringLiteral("4.11"));
    QApplication::setDesktopFileName(QStringLiteral("labelmaker"));

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Makes spine and pocket labels for library books. Settings and the working "
                       "label file live in $QORTEX_DIR, else ~/qortex."));
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);

    lm::QtDialogs dialogs;
    lm::StartUpResult started = lm::startUp(dialogs);
    if (!started.window) return started.exitCode;
    dialogs.setParentWindow(started.window.get());
    lm::showMainWindow(*started.window);
    return app.exec();
}

#include "guitestsupport.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/forms1.h"
#include "app/startup.h"
#include "core/labeltypes.h"
#include "core/workfolder.h"
#include "platform/labelcontrol.h"
#include "platform/statusbar.h"
#include "platform/twips.h"

StartedWindow::StartedWindow(const lm::Settings& settings)
    : window(startWith(folder, settings, dialogs)) {}

StartedWindow::StartedWindow(const lm::Settings& settings, const QByteArray& workingFile)
    : window((folder.writeFile(lm::kWorkingLabelFile, workingFile),
              startWith(folder, settings, dialogs))) {}

StartedWindow::~StartedWindow() = default;

TempWorkFolder::TempWorkFolder()
    : m_oldValue(qgetenv("QORTEX_DIR")), m_hadValue(qEnvironmentVariableIsSet("QORTEX_DIR")) {
    qputenv("QORTEX_DIR", QFile::encodeName(m_dir.path()));
}

TempWorkFolder::~TempWorkFolder() {
    if (m_hadValue) {
        qputenv("QORTEX_DIR", m_oldValue);
    } else {
        qunsetenv("QORTEX_DIR");
    }
}

std::string TempWorkFolder::filePath(const char* name) const {
    return QFile::encodeName(m_dir.filePath(QString::fromUtf8(name))).toStdString();
}

void TempWorkFolder::writeSettings(const lm::Settings& settings) const {
    lm::Status written = lm::writeSettingsFile(filePath(lm::kSettingsFile), settings);
    QVERIFY2(written.ok(), written.ok() ? "" : written.error().message().c_str());
}

void TempWorkFolder::writeFile(const char* name, const QByteArray& bytes) const {
    QFile file(QString::fromStdString(filePath(name)));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray TempWorkFolder::readFile(const char* name) const {
    QFile file(QString::fromStdString(filePath(name)));
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

lm::Settings settingsForType(int labelType, int printingMethod) {
    lm::Settings settings = lm::defaultSettings();
    settings.LabelType = labelType;
    if (const lm::LabelTypeInfo* info = lm::labelTypeInfo(labelType)) {
        settings.PageTopMargin = info->defaultTopMargin;
        settings.PageLeftMargin = info->defaultLeftMargin;
        settings.SpineFontSize = info->spineFontSize;
    }
    settings.PrintingMethod = printingMethod;
    return settings;
}

std::unique_ptr<lm::Forms1> startWith(const TempWorkFolder& folder, const lm::Settings& settings,
                                      lm::Dialogs& dialogs) {
    folder.writeSettings(settings);
    lm::StartUpResult started = lm::startUp(dialogs);
    if (!started.window) QTest::qFail("start-up made no window", __FILE__, __LINE__);
    return std::move(started.window);
}

void trigger(lm::Forms1& window, const QString& objectName) {
    QAction* action = window.menuItem(objectName);
    QVERIFY2(action, qPrintable(objectName));
    action->trigger();
}

void trigger(lm::Forms1& window, const char* objectName) {
    trigger(window, QString::fromLatin1(objectName));
}

QString statusMessage(lm::Forms1& window) {
    auto* message =
        window.findChild<lm::StatusBar*>()->findChild<QLabel*>(QStringLiteral("statusMessage"));
    return message ? message->text() : QStringLiteral("<no message field>");
}

int pixelsX(const lm::LabelControl& label, double twips) {
    return lm::twipsToPixels(twips, label.logicalDpiX());
}

int pixelsY(const lm::LabelControl& label, double twips) {
    return lm::twipsToPixels(twips, label.logicalDpiY());
}

void nameInFileDialog(QFileDialog& dialog, const QString& path) {
    dialog.selectFile(path);
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(QFileInfo(path).fileName());
}

#include "app/setupsettingsfile.h"

#include "core/workfolder.h"
#include "core/workingfilecheck.h"
#include "platform/dialogs.h"

namespace lm {
namespace {

QString sentence(const std::string& reason) {
    QString text = QString::fromStdString(reason);
    if (!text.endsWith(QLatin1Char('.'))) text += QLatin1Char('.');
    return text;
}

QString pathOf(const Error& error, const std::string& fallback) {
    return QString::fromStdString(error.path.empty() ? fallback : error.path);
}

}  // namespace

std::optional<Settings> readSettingsOrReport(Dialogs& dialogs) {
    const std::string path = settingsFilePath();
    Result<Settings> settings = readSettingsFile(path);
    if (settings) return settings.value();
    dialogs.message(QStringLiteral("The settings file %1 cannot be read: %2")
                        .arg(pathOf(settings.error(), path), sentence(settings.error().reason)),
                    MessageButtons::Ok, MessageIcon::Critical);
    return std::nullopt;
}

bool writeSettingsOrReport(Dialogs& dialogs, const Settings& settings) {
    const std::string path = settingsFilePath();
    Status written = writeSettingsFile(path, settings);
    if (written) return true;
    dialogs.message(QStringLiteral("The settings file %1 cannot be written: %2\r\n\r\n"
                                   "The settings have not been changed.")
                        .arg(pathOf(written.error(), path), sentence(written.error().reason)),
                    MessageButtons::Ok, MessageIcon::Critical);
    return false;
}

std::optional<long long> workingFileLengthOrReport(Dialogs& dialogs) {
    Result<std::int64_t> length = workingFileLength();
    if (length) return static_cast<long long>(length.value());
    dialogs.message(QStringLiteral("The working label file %1 cannot be opened: %2")
                        .arg(pathOf(length.error(), workFilePath(kWorkingLabelFile)),
                             sentence(length.error().reason)),
                    MessageButtons::Ok, MessageIcon::Critical);
    return std::nullopt;
}

}  // namespace lm

#include "paint/calibrationfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <cmath>

#include "core/atomicfile.h"
#include "core/calibrationmeasure.h"
#include "core/workfolder.h"

namespace lm {
namespace {

const QString kOffsetX = QStringLiteral("OffsetXmm");
const QString kOffsetY = QStringLiteral("OffsetYmm");
const QString kScaleX = QStringLiteral("ScaleX");
const QString kScaleY = QStringLiteral("ScaleY");

// QSettings takes '/' and '\' in a group name for nested groups; a printer's
// name is one group whatever it holds, so those two (and '%', to keep the
// escape unambiguous) are escaped before QSettings escapes the rest its way.
QString groupName(const QString& printer) {
    QString name = printer;
    name.replace(QLatin1Char('%'), QStringLiteral("%25"));
    name.replace(QLatin1Char('/'), QStringLiteral("%2F"));
    name.replace(QLatin1Char('\\'), QStringLiteral("%5C"));
    return name;
}

QString printerName(const QString& group) {
    QString name = group;
    name.replace(QStringLiteral("%2F"), QStringLiteral("/"));
    name.replace(QStringLiteral("%5C"), QStringLiteral("\\"));
    name.replace(QStringLiteral("%25"), QStringLiteral("%"));
    return name;
}

Error fileProblem(const QString& path, const QString& reason) {
    return Error{QFile::encodeName(path).toStdString(), reason.toStdString()};
}

// The values of one printer's group, or why they cannot be used.
std::optional<PrintCalibration> groupValues(QSettings& ini, QString* problem) {
    auto number = [&](const QString& key, double* value) {
        bool ok = false;
        *value = ini.value(key).toString().toDouble(&ok);
        if (!ok || !std::isfinite(*value)) {
            *problem = key + QStringLiteral(" is missing or not a number");
            return false;
        }
        return true;
    };
    double offsetX = 0, offsetY = 0;
    PrintCalibration c;
    if (!number(kOffsetX, &offsetX) || !number(kOffsetY, &offsetY) || !number(kScaleX, &c.scaleX) ||
        !number(kScaleY, &c.scaleY))
        return std::nullopt;
    c.offsetX = twipsFromMillimetres(offsetX);
    c.offsetY = twipsFromMillimetres(offsetY);
    if (const std::string limits = calibrationLimitProblem(c); !limits.empty()) {
        *problem = QString::fromStdString(limits);
        return std::nullopt;
    }
    return c;
}

// QSettings reads nearly anything as INI text, skipping what it cannot
// make sense of; a file that is not a text of sections, comments and
// key=value lines was not written by this program and is not used.
bool looksLikeIni(const QByteArray& bytes) {
    if (bytes.contains('\0') || QString::fromUtf8(bytes).toUtf8() != bytes) return false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) continue;
        if (line.startsWith('[') ? !line.endsWith(']') : !line.contains('=')) return false;
    }
    return true;
}

// QSettings keeps what it parsed of a file for the process and reuses it
// while the file's time and size look the same; parsing a private copy
// guarantees that what is read is what the file holds now.
StoredCalibrations parse(const QString& path, const QByteArray& bytes) {
    StoredCalibrations stored;
    auto corrupt = [&](const QString& why) {
        stored.printers.clear();
        stored.problem =
            fileProblem(path, QStringLiteral("it is not a calibration file (%1)").arg(why));
        return stored;
    };
    if (!looksLikeIni(bytes)) return corrupt(QStringLiteral("not in INI format"));
    QTemporaryDir scratch;
    QFile copy(scratch.filePath(kCalibrationFileName));
    if (!scratch.isValid() || !copy.open(QIODevice::WriteOnly) ||
        copy.write(bytes) != bytes.size()) {
        stored.problem =
            fileProblem(path, QStringLiteral("no scratch copy could be made to read it"));
        return stored;
    }
    copy.close();
    QSettings ini(copy.fileName(), QSettings::IniFormat);
    if (ini.status() != QSettings::NoError) return corrupt(QStringLiteral("not in INI format"));
    if (!ini.childKeys().isEmpty())
        return corrupt(QStringLiteral("values outside any printer's group"));
    for (const QString& group : ini.childGroups()) {
        ini.beginGroup(group);
        QString problem;
        std::optional<PrintCalibration> values;
        if (!ini.childGroups().isEmpty())
            problem = QStringLiteral("a group inside the group");
        else
            values = groupValues(ini, &problem);
        ini.endGroup();
        if (!values)
            return corrupt(QStringLiteral("printer \"%1\": %2").arg(printerName(group), problem));
        stored.printers[printerName(group)] = *values;
    }
    return stored;
}

}  // namespace

QString calibrationFilePath() {
    return QFile::decodeName(workFilePath(kCalibrationFileName.toStdString()).c_str());
}

std::optional<PrintCalibration> StoredCalibrations::of(const QString& printer) const {
    auto found = printers.find(printer);
    if (found == printers.end()) return std::nullopt;
    return found->second;
}

StoredCalibrations readCalibrations(const QString& path) {
    if (!QFileInfo::exists(path)) return {};
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFile::NoError) {
        StoredCalibrations stored;
        stored.problem = fileProblem(path, file.errorString());
        return stored;
    }
    return parse(path, bytes);
}

// QSettings writes the INI text into a scratch folder of its own, whose
// bytes then replace the file in one atomic rename: QSettings' own saving
// could leave a half-written file behind.
Status writeCalibrations(const QString& path,
                         const std::map<QString, PrintCalibration>& calibrations) {
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fileProblem(
            path, QStringLiteral("no scratch folder for writing: ") + scratch.errorString());
    const QString textPath = scratch.filePath(kCalibrationFileName);
    {
        QSettings ini(textPath, QSettings::IniFormat);
        for (const auto& [printer, c] : calibrations) {
            ini.beginGroup(groupName(printer));
            ini.setValue(kOffsetX, millimetresFromTwips(c.offsetX));
            ini.setValue(kOffsetY, millimetresFromTwips(c.offsetY));
            ini.setValue(kScaleX, c.scaleX);
            ini.setValue(kScaleY, c.scaleY);
            ini.endGroup();
        }
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return fileProblem(path, QStringLiteral("the calibration text could not be made"));
    }
    // With no printer left QSettings writes no file, and the empty text is
    // right; otherwise a text that cannot be read back must not become an
    // empty file over every printer's values.
    QByteArray bytes;
    QFile text(textPath);
    if (text.open(QIODevice::ReadOnly))
        bytes = text.readAll();
    else if (!calibrations.empty())
        return fileProblem(path, QStringLiteral("the calibration text could not be read back: ") +
                                     text.errorString());
    return writeFileAtomically(QFile::encodeName(path).toStdString(),
                               std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

Status storeCalibration(const QString& path, const QString& printer,
                        const PrintCalibration& calibration) {
    std::map<QString, PrintCalibration> all = readCalibrations(path).printers;
    all[printer] = calibration;
    return writeCalibrations(path, all);
}

Status resetCalibration(const QString& path, const QString& printer, bool* removed) {
    std::map<QString, PrintCalibration> all = readCalibrations(path).printers;
    const bool had = all.erase(printer) > 0;
    if (removed) *removed = had;
    if (!had) return {};
    return writeCalibrations(path, all);
}

}  // namespace lm

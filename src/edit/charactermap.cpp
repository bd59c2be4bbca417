#include "edit/charactermap.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

namespace lm {
namespace {

const QString kCharacterMapProgram = QStringLiteral("gucharmap");
const QString kWindowActivator = QStringLiteral("xdotool");

// The kernel keeps the first 15 bytes of a program's name.
constexpr int kCommandNameLength = 15;

// True when process `pid` is alive and runs `program`: a process id is
// reused once its process has ended, so the name has to match as well. The
// status line reads "pid (name) state ...", and a zombie ("Z") has ended.
bool runsProgram(qint64 pid, const QString& program) {
    if (pid <= 0) return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return false;
    const QByteArray line = stat.readAll();
    const qsizetype open = line.indexOf('(');
    const qsizetype close = line.lastIndexOf(')');
    if (open < 0 || close < open || close + 2 >= line.size()) return false;
    if (line.at(close + 2) == 'Z' || line.at(close + 2) == 'X') return false;
    const QString name = QString::fromLocal8Bit(line.mid(open + 1, close - open - 1));
    return name == QFileInfo(program).fileName().left(kCommandNameLength);
}

}  // namespace

CharacterMap::CharacterMap() : m_program(kCharacterMapProgram) {}

void CharacterMap::setProgram(const QString& program, const QStringList& arguments) {
    m_program = program;
    m_arguments = arguments;
}

qint64 CharacterMap::runningProcessId() const {
    return runsProgram(m_pid, m_program) ? m_pid : 0;
}

std::optional<QString> CharacterMap::open() {
    if (runningProcessId()) {
        bringToFront();
        return std::nullopt;
    }
    if (QStandardPaths::findExecutable(m_program).isEmpty() && !QFileInfo(m_program).isExecutable())
        return QStringLiteral("%1 is not installed (it is not on the program path).")
            .arg(m_program);
    QProcess process;
    process.setProgram(m_program);
    process.setArguments(m_arguments);
    qint64 pid = 0;
    if (!process.startDetached(&pid)) return process.errorString();
    m_pid = pid;
    return std::nullopt;
}

void CharacterMap::bringToFront() const {
    // Only an X11 desktop lets another program raise a window, and only
    // with xdotool at hand; elsewhere the character map stays where it is.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
    const QString activator = QStandardPaths::findExecutable(kWindowActivator);
    if (activator.isEmpty()) return;
    // The windows of that process that are shown (--all: the process and,
    // through an empty pattern, any name), the first of them activated.
    QProcess::startDetached(activator, {QStringLiteral("search"), QStringLiteral("--all"),
                                        QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
                                        QString::number(m_pid), QStringLiteral("--name"), QString(),
                                        QStringLiteral("windowactivate")});
}

}  // namespace lm

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace lm {

// The desktop's character map program (gucharmap), from which the operator
// copies characters to paste into a label. At most one started by this
// object runs at a time: opening it again while it runs brings that one to
// the front instead, where the desktop lets a program do so (through
// xdotool, when it is installed). The program runs on its own and is left
// running when the label maker ends.
class CharacterMap {
  public:
    CharacterMap();

    // Another program to start, for a desktop without gucharmap.
    void setProgram(const QString& program, const QStringList& arguments = {});
    QString program() const { return m_program; }

    // Starts the program or brings the running one to the front. Returns the
    // reason when it could not be started.
    std::optional<QString> open();

    // The process last started while it still runs, else 0.
    qint64 runningProcessId() const;

  private:
    void bringToFront() const;

    QString m_program;
    QStringList m_arguments;
    qint64 m_pid = 0;  // 0: none started yet
};

}  // namespace lm

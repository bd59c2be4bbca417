#pragma once

#include <QByteArray>
#include <QString>
#include <string>
#include <vector>

namespace clitest {

using Args = std::vector<std::string>;

// One run of the tool in this process, its streams captured.
struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun runCli(const Args& args);

// A file's bytes, or "<missing>" when it cannot be read.
QByteArray readBytes(const QString& path);
bool writeBytes(const QString& path, const QByteArray& bytes);

// The names of a folder's entries, hidden ones and folders included, sorted.
QStringList folderEntries(const QString& folder);

// Where the built labelmaker-cli is, for runs of the real program.
QString cliProgram();

}  // namespace clitest

#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
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

// A folder for a test's files and a working folder of its own, where the
// settings are: QORTEX_DIR points at it while the object lives.
struct CommandFolders {
    CommandFolders();
    bool valid() const { return files.isValid() && work.isValid(); }
    QTemporaryDir files;
    QTemporaryDir work;
};

// Where the built labelmaker-cli is, for runs of the real program.
QString cliProgram();

}  // namespace clitest

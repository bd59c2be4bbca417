#include "clirun.h"

#include <QDir>
#include <QFile>
#include <sstream>

#include "cli/cli.h"
#include "testdata.h"

namespace clitest {

CliRun runCli(const Args& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = lm::cli::runCli(args, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

QString cliProgram() {
    return QStringLiteral(LM_BIN_DIR "/labelmaker-cli");
}

CommandFolders::CommandFolders() {
    qputenv("QORTEX_DIR", QFile::encodeName(work.path()));
}

}  // namespace clitest

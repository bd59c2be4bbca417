#pragma once

#include <QString>

#include <string>

namespace lm {

class Dialogs;
struct Error;

// Shows a failed file operation in a critical box titled "Kelvarine Label
// Maker": `what` names the operation and the file ("The labels could not be
// saved in /home/ann/a.dat."), then, after an empty line, the reason as a
// sentence. When the error is about another file than `file`, the reason
// names that file too.
void reportFileError(Dialogs& dialogs, const QString& what, const std::string& file,
                     const Error& error);

// The reason of `error` as a sentence: capital first letter, final period,
// prefixed by its file when that is not `file`.
QString reasonSentence(const Error& error, const std::string& file);

// Paths cross between the dialogs (QString) and the core (bytes, UTF-8).
inline std::string toFilePath(const QString& path) {
    return path.toStdString();
}
inline QString fromFilePath(const std::string& path) {
    return QString::fromStdString(path);
}

}  // namespace lm

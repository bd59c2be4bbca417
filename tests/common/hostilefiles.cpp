#include "hostilefiles.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include "testdata.h"

namespace hostile {

QByteArray expand(QByteArray bytes) {
    return bytes.replace("<10MB>", QByteArray(10 * 1024 * 1024, 'x'));
}

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(LM_TEST_DATA_DIR) + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool makeInput(Kind kind, const QString& path, const QByteArray& body) {
    QFile file(path);
    switch (kind) {
        case Missing:
            return true;
        case Folder:
            return QDir().mkdir(path);
        case Sparse:
        case SparseTail:
            return file.open(QIODevice::WriteOnly) && file.write(body) == body.size() &&
                   file.resize(kPastLargestLabelFile);
        case Largest:
            return file.open(QIODevice::WriteOnly) &&
                   file.resize(kPastLargestLabelFile - 2 - body.size()) && file.seek(file.size()) &&
                   file.write(body) == body.size();
        case Fifo:
            return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
        default: {
            const QByteArray bytes = expand(body);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return false;
            file.close();
            return kind != Unreadable || file.setPermissions(QFileDevice::Permissions());
        }
    }
}

}  // namespace hostile

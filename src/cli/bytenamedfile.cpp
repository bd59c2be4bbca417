#include "cli/bytenamedfile.h"

#include <QFile>

#include <utility>

namespace lm::cli {

ByteNamedFile::ByteNamedFile(std::string path) : m_path(std::move(path)) {}

bool ByteNamedFile::nameIsText(const std::string& path) {
    return QFile::encodeName(QFile::decodeName(path.c_str())).toStdString() == path;
}

Status ByteNamedFile::openForWriting() {
    if (Status opened = m_writer.open(m_path); !opened) return opened;
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    return {};
}

Status ByteNamedFile::commit() {
    if (m_failure) return *m_failure;
    close();
    return m_writer.commit();
}

qint64 ByteNamedFile::readData(char*, qint64) {
    return -1;
}

qint64 ByteNamedFile::writeData(const char* data, qint64 size) {
    if (m_failure) return -1;
    Status written = m_writer.write(data, static_cast<std::size_t>(size));
    if (!written) {
        m_failure = written.error();
        setErrorString(QString::fromStdString(written.error().reason));
        return -1;
    }
    return size;
}

}  // namespace lm::cli

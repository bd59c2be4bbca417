#pragma once

#include <QIODevice>

#include <optional>
#include <string>

#include "core/atomicfile.h"
#include "core/result.h"

namespace lm::cli {

// A write-only device for a file named by bytes that are no UTF-8 text, such
// as a Latin-1 name on an old disk: Qt's files take their names as text, and
// such a name would come back as another file's. The bytes go through an
// AtomicFileWriter, so the file is created or replaced only by commit().
class ByteNamedFile : public QIODevice {
  public:
    explicit ByteNamedFile(std::string path);

    // Opens the scratch file beside the target, then the device for writing.
    Status openForWriting();
    // The first write that failed, with the path and the system's reason.
    const std::optional<Error>& failure() const { return m_failure; }
    // Puts the file in place once everything was written.
    Status commit();

    // True when Qt gives back `path`'s bytes from the text it makes of them.
    static bool nameIsText(const std::string& path);

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

  private:
    std::string m_path;
    AtomicFileWriter m_writer;
    std::optional<Error> m_failure;
};

}  // namespace lm::cli

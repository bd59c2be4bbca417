#include "core/workingfilecheck.h"

#include "core/readablefile.h"
#include "core/workfolder.h"

namespace lm {

Result<std::int64_t> labelFileLength(const std::string& path) {
    ReadableFile file;
    Status opened = file.open(path, ReadableFile::Missing::CreateEmpty);
    if (!opened) return opened.error();
    return file.length();
}

Result<std::int64_t> workingFileLength() {
    return labelFileLength(workFilePath(kWorkingLabelFile));
}

}  // namespace lm

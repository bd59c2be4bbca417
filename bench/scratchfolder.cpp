#include "scratchfolder.h"

#include <unistd.h>

#include <cstdlib>

ScratchFolder::ScratchFolder(const char* prefix) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (mkdtemp(&pattern[0])) m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    for (const std::string& file : m_files) unlink(file.c_str());
    if (!m_path.empty()) rmdir(m_path.c_str());
}

std::string ScratchFolder::file(const std::string& name) {
    m_files.push_back(m_path + "/" + name);
    return m_files.back();
}

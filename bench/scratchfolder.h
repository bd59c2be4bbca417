#pragma once

#include <string>
#include <vector>

// A scratch folder for the inputs a benchmark makes up at run time, removed
// with everything in it when the benchmark ends.
class ScratchFolder {
  public:
    // Created under $TMPDIR (else /tmp) as <prefix>-XXXXXX.
    explicit ScratchFolder(const char* prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The path of `name` in the folder; the file is removed with it.
    std::string file(const std::string& name);
    bool ok() const { return !m_path.empty(); }

  private:
    std::string m_path;
    std::vector<std::string> m_files;
};

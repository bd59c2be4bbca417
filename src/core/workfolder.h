#pragma once

#include <string>

namespace lm {

// The working folder that holds the settings file, the working label file and
// the fixed scratch and counter files: $QORTEX_DIR, else ~/qortex. It is
// created when missing; an empty string means it could not be created.
std::string workFolder();

// A fixed file of the working folder, e.g. workFilePath("$$label.dat").
std::string workFilePath(const std::string& fileName);

// The fixed file names kept from the Windows program.
inline constexpr const char* kWorkingLabelFile = "$$label.dat";
inline constexpr const char* kSettingsFile = "$$$set.val";
inline constexpr const char* kCounterFile = "$$$num.val";
inline constexpr const char* kImportResultFile = "$$$aaaa.dat";

}  // namespace lm

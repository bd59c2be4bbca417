#include "cli/sheetsettings.h"

#include <filesystem>

#include "core/labeltypes.h"

namespace lm::cli {
namespace {

bool sameSheet(int a, int b) {
    auto sp1OrSp2 = [](int type) { return type == kSp1 || type == kSp2; };
    return a == b || (sp1OrSp2(a) && sp1OrSp2(b));
}

}  // namespace

Result<Settings> operatorSettings() {
    const std::string path = settingsFilePath();
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found)
        return defaultSettings();
    return readSettingsFile(path);
}

Settings settingsForSheet(Settings settings, int labelType) {
    if (sameSheet(settings.LabelType, labelType)) return settings;
    const LabelTypeInfo* info = labelTypeInfo(labelType);
    settings.PageTopMargin = info->defaultTopMargin;
    settings.PageLeftMargin = info->defaultLeftMargin;
    settings.LabelType = labelType;
    return settings;
}

}  // namespace lm::cli

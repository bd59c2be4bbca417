#include "cli/measuredsheet.h"

#include "cli/clioutput.h"
#include "cli/commandoptions.h"
#include "cli/sheetsettings.h"
#include "core/labeltypes.h"
#include "paint/calibrationsheet.h"

namespace lm::cli {

std::optional<LabelSheet> measuredSheet(const ParsedArguments& parsed, CliStreams& streams,
                                        const std::string& command, int* exitStatus) {
    Result<Settings> settings = operatorSettings();
    if (!settings) {
        *exitStatus = fileError(streams, settings.error());
        return std::nullopt;
    }
    int labelType = settings->LabelType;
    if (parsed.has("--type")) {
        std::optional<int> chosen = labelTypeOption(parsed, streams, command);
        if (!chosen) {
            *exitStatus = kExitRefused;
            return std::nullopt;
        }
        labelType = *chosen;
    } else if (!labelTypeInfo(labelType)) {
        *exitStatus = usageError(streams, command,
                                 "the settings file names label type " + std::to_string(labelType) +
                                     ", which is not 1 to 10; give --type");
        return std::nullopt;
    }
    return calibrationSheet(settingsForSheet(*settings, labelType), labelType);
}

}  // namespace lm::cli

#include "app/startupload.h"

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "core/workfolder.h"
#include "platform/dialogs.h"
#include "platform/windowevents.h"

namespace lm {

void loadWorkingFile(WindowContext& window) {
    AppState& state = window.state();
    std::string path = workFilePath(kWorkingLabelFile);
    Status loaded;
    {
        BusyCursor busy;
        loaded = loadFirstPage(state, window.page(), state.LabelType(), path);
    }
    if (!loaded) {
        QString reason = QString::fromStdString(loaded.error().reason);
        if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
        window.dialogs().message(QStringLiteral("The working label file %1 cannot be opened: %2")
                                     .arg(QString::fromStdString(path), reason),
                                 MessageButtons::Ok, MessageIcon::Critical);
        return;
    }
    state.PageChanged = false;
    window.setPageTitle(TitleSpacing::OneSpace);
}

}  // namespace lm

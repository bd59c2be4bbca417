#include "app/zoommenu.h"

#include <QAction>

#include "app/windowcontext.h"
#include "core/numbers.h"

namespace lm {
namespace {

constexpr const char* kZoomArray = "mnuView_ZoomItem";

}  // namespace

void mnuView_ZoomItem_Click(WindowContext& window, int index) {
    QAction* item = nullptr;
    for (QAction* action : window.menuArray(QString::fromUtf8(kZoomArray)))
        if (action->data().toInt() == index) item = action;
    if (!item) return;
    // "&30%" gives 30: the caption names the zoom, the index only the item.
    const std::string caption = item->text().mid(1).toStdString();
    window.state().ZoomValue = static_cast<int>(roundHalfEven(leadingNumber(caption)));
    window.ViewZoom(window.state().ZoomValue);
    window.setMenuArrayCheck(QString::fromUtf8(kZoomArray), index);
}

}  // namespace lm

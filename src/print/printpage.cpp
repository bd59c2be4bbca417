#include "print/printpage.h"

#include "app/windowcontext.h"
#include "platform/dialogs.h"
#include "print/printcheck.h"
#include "print/printfailure.h"
#include "print/printingpro.h"
#include "print/printjob.h"

namespace lm {

void restoreZoom(WindowContext& window) {
    const int zoom = window.state().ZoomValue;
    if (zoom != 100) window.ViewZoom(zoom);
}

std::optional<int> printCurrentPage(WindowContext& window, QPrinter& printer) {
    if (window.dialogs().message(kPrintPageQuestion, MessageButtons::YesNo,
                                 MessageIcon::Question) != MessageAnswer::Yes)
        return std::nullopt;
    if (!checkPageBeforePrinting(window)) return std::nullopt;
    // A failed layout has already run its recovery, which says so.
    if (!window.ViewZoom(100)) return std::nullopt;
    std::unique_ptr<PrintJob> job = PrintJob::start(printer, window.title());
    Status printed = PrintingPro(window, *job);
    if (printed) printed = job->finish();
    restoreZoom(window);
    if (!printed) {
        reportFailure(window, kPrintFailed, printed.error());
        return std::nullopt;
    }
    return job->sheetCount();
}

}  // namespace lm

#include "print/printpage.h"

#include "app/windowcontext.h"
#include "platform/dialogs.h"
#include "print/printcheck.h"
#include "print/printfailure.h"
#include "print/printingpro.h"
#include "print/printjob.h"
#include "print/startpositionjob.h"
#include "print/startpositionquestion.h"

namespace lm {

void restoreZoom(WindowContext& window) {
    const int zoom = window.state().ZoomValue;
    if (zoom != 100) window.ViewZoom(zoom);
}

std::optional<int> printCurrentPage(WindowContext& window, QPrinter& printer,
                                    PrintOptions& options, const SheetPaintOptions& paint) {
    if (window.dialogs().message(kPrintPageQuestion, MessageButtons::YesNo,
                                 MessageIcon::Question) != MessageAnswer::Yes)
        return std::nullopt;
    const std::optional<int> start =
        askStartPosition(window.dialogs(), options, window.state().LabelType());
    if (!start) return std::nullopt;
    if (!checkPageBeforePrinting(window)) return std::nullopt;
    // A failed layout has already run its recovery, which says so.
    if (!window.ViewZoom(100)) return std::nullopt;
    std::unique_ptr<PrintJob> job =
        startingAt(PrintJob::start(printer, window.title(), paint), *start);
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

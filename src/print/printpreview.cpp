#include "print/printpreview.h"

#include <QAction>
#include <QComboBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QToolBar>

#include <vector>

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "core/startposition.h"
#include "paint/sheetcheck.h"
#include "paint/shiftedsheets.h"
#include "paint/sheetpainter.h"
#include "platform/dialogs.h"
#include "platform/labelcontrol.h"
#include "platform/printoptions.h"
#include "platform/windowevents.h"
#include "print/printall.h"
#include "print/printcheck.h"
#include "print/printingpro.h"
#include "print/printpage.h"

namespace lm {
namespace {

constexpr double kTwipsPerInch = 1440.0;
// The outline of a flagged label: screen only, in the overflow mark's colour.
const QColor kFlaggedOutline(0xE0, 0x10, 0x80);

// The page on display as Print Current Page prints it: the labels' texts and
// formats, at the positions of zoom 100 whatever the zoom on screen.
LabelSheet shownSheet(WindowContext& window) {
    LabelSheet sheet = controlSheet(window);
    const double zoom = window.state().ZoomValue / 100.0;
    if (zoom > 0 && zoom != 1)
        for (SheetLabel& label : sheet.labels)
            label.box.moveTopLeft(label.box.topLeft() / zoom);
    return sheet;
}

void outlineFlaggedLabels(QPainter& painter, const LabelSheet& sheet) {
    std::vector<const SheetLabel*> flagged;
    for (const SheetLabel& label : sheet.labels)
        if (!checkLabel(sheet.labelType, label).empty()) flagged.push_back(&label);
    if (flagged.empty()) return;
    const QPaintDevice* device = painter.device();
    painter.save();
    painter.scale(device->logicalDpiX() / kTwipsPerInch, device->logicalDpiY() / kTwipsPerInch);
    painter.translate(0, -sheet.verticalCorrection);
    QPen pen(kFlaggedOutline);
    pen.setCosmetic(true);
    pen.setWidth(2);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const SheetLabel* label : flagged) painter.drawRect(label->box);
    painter.restore();
}

// The preview's pages, as the print lays the pages it is given onto sheets:
// from a later start position, their sets move on across the sheets.
class PreviewSheets {
  public:
    PreviewSheets(QPrinter& printer, QPainter& painter, int startPosition,
                  const SheetPaintOptions& paint)
        : m_printer(printer), m_painter(painter), m_shifted(startPosition),
          m_shifting(startPosition > 1), m_paint(paint) {
        // What is drawn is where the labels are meant; a printer's
        // calibration belongs to the paper only.
        m_paint.calibration = {};
    }

    void add(const LabelSheet& page) {
        if (!m_shifting) return paint(page);
        for (const LabelSheet& sheet : m_shifted.add(page)) paint(sheet);
    }

    void finish() {
        if (m_shifting)
            if (std::optional<LabelSheet> last = m_shifted.finish()) paint(*last);
    }

  private:
    void paint(const LabelSheet& sheet) {
        if (!m_first) m_printer.newPage();
        m_first = false;
        paintSheet(m_painter, sheet, m_paint);
        outlineFlaggedLabels(m_painter, sheet);
    }

    QPrinter& m_printer;
    QPainter& m_painter;
    ShiftedSheets m_shifted;
    bool m_shifting;
    SheetPaintOptions m_paint;
    bool m_first = true;
};

// The start position the preview shows: the one chosen last, when the print
// asks for one and the sheet has it.
int previewStartPosition(const PrintOptions& options, int labelType) {
    if (!options.askStartPosition) return 1;
    return startPositionProblem(labelType, options.startPosition).empty() ? options.startPosition
                                                                          : 1;
}

// Every page of the file, read aside, one sheet each.
void paintFile(WindowContext& window, PreviewSheets& sheets) {
    const AppState& state = window.state();
    PageState walk;
    walk.CurrentFileName = state.CurrentFileName;
    Result<std::int64_t> end = endOfLastLabel(walk, state.LabelType());
    if (!end) return;
    MemoryPage page = MemoryPage::forLabelType(state.LabelType());
    std::int64_t start = 1;
    while (start <= *end) {
        page.clear();
        walk.PageStarts.forget();
        walk.PageStartPosition = static_cast<std::int32_t>(start);
        if (!ReadLabelFile(walk, page, state.LabelType(), walk.CurrentFileName,
                           walk.PageStartPosition))
            return;
        sheets.add(fileSheet(window, page));
        if (walk.PageEndPosition < start) return;
        start = std::int64_t(walk.PageEndPosition) + 1;
    }
}

}  // namespace

void printPreview(WindowContext& window, QPrinter& printer, PrintOptions& options,
                  const SheetPaintOptions& paint) {
    // Positions count from the printable area's corner, as on paper.
    QPageLayout layout = printer.pageLayout();
    if (layout.margins() != layout.minimumMargins())
        printer.setPageMargins(layout.minimumMargins(), layout.units());

    QPrintPreviewDialog preview(&printer, window.window());
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(kMessageTitle);
    auto* range = new QComboBox(&preview);
    range->setObjectName(QStringLiteral("PreviewRange"));
    range->addItem(kPreviewCurrentPage);
    // Without a file only the page on display can be printed.
    if (!window.state().CurrentFileName.empty()) range->addItem(kPreviewAllPages);
    if (QToolBar* bar = preview.findChild<QToolBar*>()) {
        bar->addSeparator();
        bar->addWidget(range);
    }
    QObject::connect(range, &QComboBox::currentIndexChanged, &preview, [&preview] {
        if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) widget->updatePreview();
    });
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&window, range, &options, &paint](QPrinter* target) {
                         QPainter painter(target);
                         PreviewSheets sheets(
                             *target, painter,
                             previewStartPosition(options, window.state().LabelType()), paint);
                         if (range->currentText() == kPreviewAllPages)
                             paintFile(window, sheets);
                         else
                             sheets.add(shownSheet(window));
                         sheets.finish();
                     });
    // The preview's own Print would print the outlines too, and skip the
    // questions: it runs the print commands instead.
    bool printRequested = false;
    for (QAction* action : preview.findChildren<QAction*>()) {
        if (action->text() != QLatin1String("Print")) continue;
        QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
        QObject::connect(action, &QAction::triggered, &preview, [&preview, &printRequested] {
            printRequested = true;
            preview.accept();
        });
    }
    window.dialogs().printPreview(preview);
    if (!printRequested) return;
    if (range->currentText() == kPreviewAllPages)
        printAllPages(window, printer, options, paint);
    else
        printCurrentPage(window, printer, options, paint);
}

}  // namespace lm

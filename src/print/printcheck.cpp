#include "print/printcheck.h"

#include <QProgressDialog>
#include <QWidget>

#include <memory>
#include <vector>

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "paint/sheetcheck.h"
#include "platform/dialogs.h"
#include "platform/labelcontrol.h"
#include "platform/windowevents.h"
#include "print/printall.h"
#include "print/printfailure.h"
#include "print/printingpro.h"

namespace lm {
namespace {

const QString kReadFailed = QStringLiteral("The label file could not be read.");

// One problem with the page it is on.
struct PageProblem {
    int page = 0;
    LabelProblem problem;
};

LabelControl* controlOf(WindowContext& window, bool pocket, int element) {
    return pocket ? window.pocketControl(element) : window.spineControl(element);
}

QString labelName(const QString& label) {
    if (label == QLatin1String("spine")) return QStringLiteral("spine label");
    if (label == QLatin1String("spine2")) return QStringLiteral("second spine label");
    if (label == QLatin1String("pocket1")) return QStringLiteral("first pocket label");
    if (label == QLatin1String("pocket2")) return QStringLiteral("second pocket label");
    return QStringLiteral("label");
}

QString problemLine(const PageProblem& found) {
    const LabelProblem& p = found.problem;
    return QStringLiteral("Page %1, row %2, column %3, %4: %5")
        .arg(found.page)
        .arg(p.row)
        .arg(p.column)
        .arg(labelName(p.label), p.description);
}

// Puts the focus on the label and makes it the selected one.
void selectLabel(WindowContext& window, const LabelProblem& problem) {
    LabelControl* control = controlOf(window, problem.pocket, problem.element);
    if (!control) return;
    window.state().SelectedLabel = control->selectedLabelNumber();
    control->setFocus(Qt::OtherFocusReason);
    control->ensureCursorVisible();
}

// Shows the problems; true for Print Anyway. Go to Label runs `goTo` with
// the problem chosen.
template <class GoTo>
bool askAboutProblems(WindowContext& window, const std::vector<PageProblem>& problems,
                      GoTo goTo) {
    if (problems.empty()) return true;
    QStringList lines;
    for (const PageProblem& found : problems) lines << problemLine(found);
    const PrintProblemAnswer answer = window.dialogs().printProblems(kPrintProblemsText, lines);
    if (answer.action == PrintProblemAction::PrintAnyway) return true;
    if (answer.action == PrintProblemAction::GoToLabel && answer.problem >= 0 &&
        answer.problem < int(problems.size()))
        goTo(problems[std::size_t(answer.problem)]);
    return false;
}

// How far the check has come through the file; shown only for a file of
// many pages, judged from the size of its first page, as Print All does.
class CheckProgress {
  public:
    CheckProgress(WindowContext& window, std::int64_t end) : m_window(window), m_end(end) {}

    void atPage(int counter, std::int32_t start, std::int32_t firstPageEnd) {
        if (counter == 1) {
            const std::int64_t pageBytes = std::max<std::int64_t>(1, firstPageEnd);
            if ((m_end + pageBytes - 1) / pageBytes >= kProgressFromPages) open();
        }
        if (!m_dialog) return;
        m_dialog->setLabelText(QStringLiteral("Checking page %1 of %2")
                                   .arg(counter)
                                   .arg(QString::fromStdString(m_window.state().CurrentFileName)));
        m_dialog->setValue(m_end > 0 ? static_cast<int>((start - 1) * kSteps / m_end) : 0);
    }

    bool cancelled() const { return m_dialog && m_dialog->wasCanceled(); }

  private:
    void open() {
        m_dialog = std::make_unique<QProgressDialog>(m_window.window());
        m_dialog->setObjectName(QStringLiteral("CheckProgress"));
        m_dialog->setWindowTitle(kMessageTitle);
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setRange(0, kSteps);
        m_dialog->show();
    }

    static constexpr int kSteps = 1000;
    WindowContext& m_window;
    std::int64_t m_end;
    std::unique_ptr<QProgressDialog> m_dialog;
};

}  // namespace

LabelSheet fileSheet(WindowContext& window, const LabelPage& page) {
    const AppState& state = window.state();
    LabelSheet sheet = labelSheet(state.settings, state.LabelType(), page);
    // Where the labels lie at zoom 100, whatever the zoom on screen.
    const double zoom = state.ZoomValue > 0 ? state.ZoomValue / 100.0 : 1.0;
    for (SheetLabel& label : sheet.labels) {
        const LabelControl* control = controlOf(window, label.pocket, label.number);
        if (!control) continue;
        const LabelFormat format = control->layoutFormat();
        label.box = QRectF(QPointF(control->leftTwips(), control->topTwips()) / zoom,
                           format.boxSize);
        label.font = format.font;
        label.alignment = format.alignment;
        label.innerMargins = format.innerMargins;
    }
    return sheet;
}

bool checkPageBeforePrinting(WindowContext& window) {
    std::vector<PageProblem> problems;
    for (const LabelProblem& problem : checkSheet(controlSheet(window)))
        problems.push_back({window.state().PageNumber, problem});
    return askAboutProblems(window, problems, [&window](const PageProblem& found) {
        selectLabel(window, found.problem);
    });
}

bool checkFileBeforePrinting(WindowContext& window) {
    AppState& state = window.state();
    const int labelType = state.LabelType();
    // The file's own pages, read aside: the page on display stays as it is.
    PageState walk;
    walk.CurrentFileName = state.CurrentFileName;
    Result<std::int64_t> end = endOfLastLabel(walk, labelType);
    if (!end) {
        reportFailure(window, kReadFailed, end.error());
        return false;
    }
    MemoryPage page = MemoryPage::forLabelType(labelType);
    CheckProgress progress(window, *end);
    std::vector<PageProblem> problems;
    std::int64_t start = 1;
    int counter = 0;
    {
        BusyCursor busy;
        while (start <= *end) {
            page.clear();
            walk.PageStarts.forget();
            walk.PageStartPosition = static_cast<std::int32_t>(start);
            Status read = ReadLabelFile(walk, page, labelType, walk.CurrentFileName,
                                        walk.PageStartPosition);
            if (!read) {
                reportFailure(window, kReadFailed, read.error());
                return false;
            }
            ++counter;
            letWindowEventsRun();
            progress.atPage(counter, walk.PageStartPosition, walk.PageEndPosition);
            if (progress.cancelled()) return false;
            for (const LabelProblem& problem : checkSheet(fileSheet(window, page)))
                problems.push_back({counter, problem});
            if (walk.PageEndPosition < start) break;
            start = std::int64_t(walk.PageEndPosition) + 1;
        }
    }
    return askAboutProblems(window, problems, [&window](const PageProblem& found) {
        AppState& shown = window.state();
        if (found.page != shown.PageNumber) {
            Status read = showPage(shown, window.page(), shown.LabelType(), found.page);
            if (!read) {
                reportFailure(window, kReadFailed, read.error());
                return;
            }
            shown.PageChanged = false;
            window.setPageTitle(TitleSpacing::TwoSpaces);
        }
        if (!window.ViewZoom(shown.ZoomValue)) return;
        selectLabel(window, found.problem);
    });
}

}  // namespace lm

#include "print/printall.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPrinter>
#include <QProgressDialog>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/sessionend.h"
#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "core/readablefile.h"
#include "platform/dialogs.h"
#include "platform/labelcontrol.h"
#include "platform/windowevents.h"
#include "print/printersettings.h"
#include "print/printcheck.h"
#include "print/printfailure.h"
#include "print/printingpro.h"
#include "print/printjob.h"
#include "print/printpage.h"
#include "print/startpositionjob.h"
#include "print/startpositionquestion.h"
#include "platform/filereport.h"
#include "store/savecommands.h"

namespace lm {
namespace {

const QString kReadFailed = QStringLiteral("The label file could not be read.");

struct Failure {
    QString what;
    Error error;
};

// How a run through the file ended.
enum class RunEnd { Complete, Cancelled, FileChanged, Failed };

struct Run {
    RunEnd end = RunEnd::Complete;
    std::optional<Failure> failure;  // for Failed
};

// True when CurrentFileName, as the last page read opened it and as it is
// now, is still the file `started` describes: same device, inode, size and
// time of last change.
bool stillTheFile(const PageState& state, const FileIdentity& started) {
    if (state.PageStarts.identity() != started) return false;
    Result<FileIdentity> now = fileIdentityOf(state.CurrentFileName);
    return now && *now == started;
}

// The texts typed into the page's labels and not saved, to put back once
// the page has been read again.
class UnsavedEdits {
  public:
    void take(WindowContext& window) {
        const AppState& state = window.state();
        for (int i = 2; i <= state.LastSpineIndex; ++i) take(window.spineControl(i));
        for (int i = 2; i <= state.LastPocketIndex; ++i) take(window.pocketControl(i));
    }

    void putBack() const {
        for (const auto& [control, text] : m_texts)
            if (control && rawText(*control) != text) control->setPlainText(text);
    }

  private:
    static QString rawText(const LabelControl& control) {
        QString text = control.document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        return text;
    }

    void take(LabelControl* control) {
        if (control && control->isEdited()) m_texts.emplace_back(control, rawText(*control));
    }

    std::vector<std::pair<QPointer<LabelControl>, QString>> m_texts;
};

// How far printing has come through the file, by bytes; shown only for a
// file of many pages, judged from the size of its first page.
class PrintProgress {
  public:
    PrintProgress(WindowContext& window, std::int64_t end, int sheets)
        : m_window(window), m_end(end), m_sheets(sheets) {}

    // Before page `counter`, which starts at `start`.
    void atPage(int counter, std::int32_t start, std::int32_t firstPageEnd) {
        if (counter == 1) {
            const std::int64_t pageBytes = std::max<std::int64_t>(1, firstPageEnd);
            if ((m_end + pageBytes - 1) / pageBytes >= kProgressFromPages) open();
        }
        if (!m_dialog) return;
        m_dialog->setLabelText(
            QStringLiteral("Printing sheet %1 of %2").arg(counter).arg(m_sheets));
        m_dialog->setValue(scaled(start - 1));
        // The dialog is application modal, so the operator's input can only
        // reach its Cancel button (or Escape); setValue() lets events run
        // only when the value moves, which it may not do for many pages.
        QCoreApplication::processEvents();
    }

    bool cancelled() const { return m_dialog && m_dialog->wasCanceled(); }

  private:
    void open() {
        m_dialog = std::make_unique<QProgressDialog>(m_window.window());
        m_dialog->setWindowTitle(kMessageTitle);
        m_dialog->setObjectName(QStringLiteral("PrintProgress"));
        m_dialog->setWindowModality(Qt::ApplicationModal);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        m_dialog->setRange(0, kSteps);
        m_dialog->show();
    }

    int scaled(std::int64_t bytes) const {
        return m_end > 0 ? static_cast<int>(bytes * kSteps / m_end) : 0;
    }

    static constexpr int kSteps = 1000;
    WindowContext& m_window;
    std::int64_t m_end;
    int m_sheets;
    std::unique_ptr<QProgressDialog> m_dialog;
};

// The sheets Print All prints: one for every page that starts at or before
// `end`, the last byte of the last complete label. Finding that end has
// indexed every page start.
int sheetsToPrint(const PageIndex& pages, std::int64_t end) {
    int sheets = 0;
    while (sheets < pages.knownPages() && pages.start(sheets + 1) <= end) ++sheets;
    return sheets;
}

// Prints every page of CurrentFileName from its first byte; leaves the page
// variables at the last page read. The file must stay the file it was at the
// start: every page is read at the position the page before it ended, which
// only the file as it was can vouch for. A file changed since (shorter,
// longer, emptied, replaced) ends the run before the page read from it.
Run printEveryPage(WindowContext& window, PrintJob& job) {
    AppState& state = window.state();
    // Bytes after the last complete label hold no label: no sheet for them.
    Result<std::int64_t> end = endOfLastLabel(state, state.LabelType());
    if (!end) return {RunEnd::Failed, Failure{kReadFailed, end.error()}};
    const FileIdentity started = state.PageStarts.identity();
    PrintProgress progress(window, *end, sheetsToPrint(state.PageStarts, *end));
    state.PageEndPosition = 0;
    state.PageStartPosition = 1;
    int counter = 0;
    while (state.PageStartPosition <= *end) {
        window.page().clear();
        Status read = ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName,
                                    state.PageStartPosition);
        if (!read) return {RunEnd::Failed, Failure{kReadFailed, read.error()}};
        if (!stillTheFile(state, started)) return {RunEnd::FileChanged, std::nullopt};
        // Every page read moves on, so the run ends whatever the file holds.
        if (state.PageEndPosition < state.PageStartPosition) break;
        letWindowEventsRun();
        if (!window.ViewZoom(100))
            return {RunEnd::Failed, std::nullopt};  // its recovery has spoken
        ++counter;
        const QString title = pageTitle(state.CurrentFileName, counter, TitleSpacing::TwoSpaces);
        window.window()->setWindowTitle(title);
        progress.atPage(counter, state.PageStartPosition, state.PageEndPosition);
        if (progress.cancelled()) return {RunEnd::Cancelled, std::nullopt};
        job.setDocumentName(title);
        Status printed = PrintingPro(window, job);
        if (!printed) return {RunEnd::Failed, Failure{kPrintFailed, printed.error()}};
        state.PageStartPosition = state.PageEndPosition + 1;
    }
    return {};
}

// "The label file X has been changed by another program since Print All
// began. Printing stopped after sheet 12." and, into a PDF, that the PDF file
// was left as it was.
QString fileChangedText(const PageState& state, int sheets, const QString& pdfFile) {
    QString text = QStringLiteral(
                       "The label file %1 has been changed by another program since Print All "
                       "began. ")
                       .arg(fromFilePath(state.CurrentFileName));
    if (sheets == 0)
        text += QStringLiteral("No sheet was printed.");
    else
        text += QStringLiteral("Printing stopped after sheet %1.").arg(sheets);
    if (!pdfFile.isEmpty())
        text += QStringLiteral(" The PDF file %1 was not written; it is as it was.").arg(pdfFile);
    return text;
}

// Shows the page that was on display again: read at `start` when the file is
// still the one that position was found in (`shown`), else page PageNumber
// found afresh from the file's first byte, as a remembered position in a
// changed file may fall in the middle of a label.
Status readPageAgain(WindowContext& window, std::int32_t start, const FileIdentity& shown) {
    AppState& state = window.state();
    Result<FileIdentity> now = fileIdentityOf(state.CurrentFileName);
    if (!now || *now != shown)
        return showPage(state, window.page(), state.LabelType(), state.PageNumber);
    state.PageStartPosition = start;
    state.PageEndPosition = start - 1;
    window.page().clear();
    return ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName, start);
}

}  // namespace

std::optional<int> printAllPages(WindowContext& window, QPrinter& printer, PrintOptions& options,
                                 const SheetPaintOptions& paint) {
    AppState& state = window.state();
    if (state.CurrentFileName.empty()) return printCurrentPage(window, printer, options, paint);
    if (!askToSaveChangedPage(window)) return std::nullopt;
    if (window.dialogs().message(kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question) !=
        MessageAnswer::Yes)
        return std::nullopt;
    const std::optional<int> start =
        askStartPosition(window.dialogs(), options, state.LabelType());
    if (!start) return std::nullopt;
    if (!checkFileBeforePrinting(window)) return std::nullopt;
    if (!window.ViewZoom(100)) return std::nullopt;

    const bool pageChanged = state.PageChanged;
    const std::int32_t shownStart = state.PageStartPosition;
    UnsavedEdits edits;
    if (pageChanged) edits.take(window);
    // The labels show the pages printed; a logout meanwhile keeps this page.
    TypedPageStandIn typedPage(typedPageOf(window));

    // The file as the page on display was found in it.
    const FileIdentity shownIn = state.PageStarts.identity();
    const QString pdfFile = writesToFile(printer) ? printer.outputFileName() : QString();

    Run run;
    int sheets = 0;
    {
        BusyCursor busy;
        std::unique_ptr<PrintJob> job = startingAt(
            PrintJob::start(printer, QString::fromStdString(state.CurrentFileName), paint),
            *start);
        run = printEveryPage(window, *job);
        // Only a complete run finishes the job: a PDF is written aside and
        // put in place here, so a cancelled or failed one leaves the file
        // that was there before. From a later start position the last sheet
        // is printed here too.
        if (run.end == RunEnd::Complete) {
            Status finished = job->finish();
            if (!finished) run = {RunEnd::Failed, Failure{kPrintFailed, finished.error()}};
        }
        sheets = job->sheetCount();
        job.reset();
        Status read = readPageAgain(window, shownStart, shownIn);
        if (read) edits.putBack();
        if (!read && !run.failure) run.failure = Failure{kReadFailed, read.error()};
    }
    state.PageChanged = pageChanged;
    window.setPageTitle(TitleSpacing::TwoSpaces);
    restoreZoom(window);
    if (run.end == RunEnd::FileChanged)
        window.dialogs().message(fileChangedText(state, sheets, pdfFile), MessageButtons::Ok,
                                 MessageIcon::Exclamation);
    if (run.failure) {
        reportFailure(window, run.failure->what, run.failure->error);
        return std::nullopt;
    }
    // A stopped run into a PDF left the earlier file: nothing went there.
    if (run.end != RunEnd::Complete && !pdfFile.isEmpty()) return std::nullopt;
    return sheets;
}

}  // namespace lm

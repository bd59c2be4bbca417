#include "print/printall.h"

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/windowcontext.h"
#include "core/labelpage.h"
#include "core/pagereader.h"
#include "platform/dialogs.h"
#include "platform/labelcontrol.h"
#include "platform/windowevents.h"
#include "print/printcheck.h"
#include "print/printfailure.h"
#include "print/printingpro.h"
#include "print/printjob.h"
#include "print/printpage.h"
#include "store/savecommands.h"

namespace lm {
namespace {

const QString kReadFailed = QStringLiteral("The label file could not be read.");

struct Failure {
    QString what;
    Error error;
};

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
    PrintProgress(WindowContext& window, std::int64_t end) : m_window(window), m_end(end) {}

    // Before page `counter`, which starts at `start`.
    void atPage(int counter, std::int32_t start, std::int32_t firstPageEnd) {
        if (counter == 1) {
            const std::int64_t pageBytes = std::max<std::int64_t>(1, firstPageEnd);
            if ((m_end + pageBytes - 1) / pageBytes >= kProgressFromPages) open();
        }
        if (!m_dialog) return;
        m_dialog->setLabelText(QStringLiteral("Printing page %1 of %2")
                                   .arg(counter)
                                   .arg(QString::fromStdString(m_window.state().CurrentFileName)));
        // Shown and modal, the dialog lets its own Cancel button be pressed.
        m_dialog->setValue(scaled(start - 1));
    }

    bool cancelled() const { return m_dialog && m_dialog->wasCanceled(); }

  private:
    void open() {
        m_dialog = std::make_unique<QProgressDialog>(m_window.window());
        m_dialog->setWindowTitle(kMessageTitle);
        m_dialog->setWindowModality(Qt::WindowModal);
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
    std::unique_ptr<QProgressDialog> m_dialog;
};

// Prints every page of CurrentFileName from its first byte; leaves the page
// variables at the last page printed.
std::optional<Failure> printEveryPage(WindowContext& window, PrintJob& job) {
    AppState& state = window.state();
    // Bytes after the last complete label hold no label: no sheet for them.
    Result<std::int64_t> end = endOfLastLabel(state, state.LabelType());
    if (!end) return Failure{kReadFailed, end.error()};
    PrintProgress progress(window, *end);
    state.PageEndPosition = 0;
    state.PageStartPosition = 1;
    int counter = 0;
    while (state.PageStartPosition <= *end) {
        window.page().clear();
        Status read = ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName,
                                    state.PageStartPosition);
        if (!read) return Failure{kReadFailed, read.error()};
        letWindowEventsRun();
        if (!window.ViewZoom(100)) return std::nullopt;  // its recovery has spoken
        ++counter;
        const QString title = pageTitle(state.CurrentFileName, counter, TitleSpacing::TwoSpaces);
        window.window()->setWindowTitle(title);
        progress.atPage(counter, state.PageStartPosition, state.PageEndPosition);
        if (progress.cancelled()) break;
        job.setDocumentName(title);
        Status printed = PrintingPro(window, job);
        if (!printed) return Failure{kPrintFailed, printed.error()};
        state.PageStartPosition = state.PageEndPosition + 1;
    }
    return std::nullopt;
}

// Reads the page that starts at `start` into the emptied page again.
Status readPageAgain(WindowContext& window, std::int32_t start) {
    AppState& state = window.state();
    state.PageStartPosition = start;
    state.PageEndPosition = start - 1;
    window.page().clear();
    return ReadLabelFile(state, window.page(), state.LabelType(), state.CurrentFileName, start);
}

}  // namespace

void printAllPages(WindowContext& window, QPrinter& printer) {
    AppState& state = window.state();
    if (state.CurrentFileName.empty()) {
        printCurrentPage(window, printer);
        return;
    }
    if (!askToSaveChangedPage(window)) return;
    if (window.dialogs().message(kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question) !=
        MessageAnswer::Yes)
        return;
    if (!checkFileBeforePrinting(window)) return;
    if (!window.ViewZoom(100)) return;

    const bool pageChanged = state.PageChanged;
    const std::int32_t shownStart = state.PageStartPosition;
    UnsavedEdits edits;
    if (pageChanged) edits.take(window);

    std::optional<Failure> failure;
    {
        BusyCursor busy;
        std::unique_ptr<PrintJob> job =
            PrintJob::start(printer, QString::fromStdString(state.CurrentFileName));
        failure = printEveryPage(window, *job);
        Status finished = job->finish();
        if (!failure && !finished) failure = Failure{kPrintFailed, finished.error()};
        Status read = readPageAgain(window, shownStart);
        if (read) edits.putBack();
        if (!read && !failure) failure = Failure{kReadFailed, read.error()};
    }
    state.PageChanged = pageChanged;
    window.setPageTitle(TitleSpacing::TwoSpaces);
    restoreZoom(window);
    if (failure) reportFailure(window, failure->what, failure->error);
}

}  // namespace lm

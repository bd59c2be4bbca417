// Printing from the window: Select Printer, Print Current Page and Print All.
// The printer is always a PDF file (no print server is reachable from these
// tests), read back with pdftotext -bbox. Positions are twips
// from the page's top-left corner; a text's first line starts at its label's
// position plus the inner margins, minus the type's vertical correction.

#include <QMap>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <functional>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "print/printall.h"
#include "print/printcommands.h"
#include "print/printersettings.h"
#include "print/printfailure.h"
#include "print/printpage.h"
#include "print/printreport.h"
#include "print/startpositionquestion.h"
#include "scripteddialogs.h"
#include "store/savecommands.h"

using lm::Forms1;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

constexpr double kTolerance = 0.5;  // twips; the PDF holds one unit per twip

// The script, and an operator who picks in the print dialog what `choose` does.
class PrintScript : public ScriptedDialogs {
  public:
    std::function<void(QPrinter&)> choose;
    QList<lm::PrinterSettings> presets;    // what each print dialog opened with
    std::optional<bool> askStartPosition;  // ticked or not on the Labels page

    bool printDialog(QPrinter& printer, lm::PrintOptions& options) override {
        const bool accepted = printDialog(printer);
        if (accepted && askStartPosition) options.askStartPosition = *askStartPosition;
        return accepted;
    }

    bool printDialog(QPrinter& printer) override {
        presets << lm::PrinterSettings::of(printer);
        const bool accepted = ScriptedDialogs::printDialog(printer);
        if (accepted && choose) choose(printer);
        return accepted;
    }
};

using PdfPages = QList<QMap<QString, QPointF>>;

// The words of each page of `path`, by text, in twips.
PdfPages readPdf(const QString& path) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0) return {};
    static const QRegularExpression tag(
        QStringLiteral(R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    PdfPages pages;
    for (auto it = tag.globalMatch(QString::fromUtf8(tool.readAllStandardOutput()));
         it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength(1) == 0)
            pages.append(QMap<QString, QPointF>());
        else if (!pages.isEmpty())
            pages.last()[m.captured(3)] =
                QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) * 20;
    }
    return pages;
}

// `word` is on the page, its top-left corner at `at`.
bool near(const QMap<QString, QPointF>& page, const QString& word, QPointF at) {
    return page.contains(word) && qAbs(page[word].x() - at.x()) < kTolerance &&
           qAbs(page[word].y() - at.y()) < kTolerance;
}

// "save:No" answers the save question with No; "page" and "all" are the
// questions of Print Current Page and Print All.
void expect(PrintScript& dialogs, const QStringList& steps) {
    for (const QString& step : steps) {
        const QString question = step.section(u':', 0, 0), answer = step.section(u':', 1);
        const MessageAnswer given = answer == u"Yes"  ? MessageAnswer::Yes
                                    : answer == u"No" ? MessageAnswer::No
                                                      : MessageAnswer::Cancel;
        if (question == u"save")
            dialogs.expectMessage(lm::kPageChangedQuestion, MessageButtons::YesNoCancel,
                                  MessageIcon::Question, given);
        else
            dialogs.expectMessage(
                question == u"page" ? lm::kPrintPageQuestion : lm::kPrintAllQuestion,
                MessageButtons::YesNo, MessageIcon::Question, given);
    }
}

}  // namespace

class TestPrint : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        // Never a real printer: libcups finds no server at this socket.
        qputenv("CUPS_SERVER", "/nonexistent/labelmaker-test-cups.sock");
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }
    void init() {
        m_folder = std::make_unique<TempWorkFolder>();
        m_pdf = m_folder->path() + QStringLiteral("/printed.pdf");
    }
    // One working folder at a time: each restores QORTEX_DIR when it goes.
    void cleanup() { m_folder.reset(); }
    // Sheets at full size from the page's corner, whatever the zoom; the window
    // shows the same page at the same zoom afterwards. Where each type's labels
    // fall on paper is the painter's business; one type shows the window's part.
    void printsAtFullSizeAndLeavesTheView_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("words");  // one on each sheet
        auto words = [](const char* list) {
            return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
        };
        const QString all = QStringLiteral("mnuFile_PrintAll");
        const QString page = QStringLiteral("mnuFile_PrintPage");
        QTest::newRow("all, three pages")
            << int(lm::kSp1) << numberedLabels(1, 81) << all << words("L1 L41 L81");
        QTest::newRow("page") << int(lm::kSp1) << numberedLabels(1, 1) << page << words("L1");
    }
    void printsAtFullSizeAndLeavesTheView() {
        QFETCH(int, type);
        QFETCH(QByteArray, file);
        QFETCH(QString, item);
        QFETCH(QStringList, words);
        // The first sp1 label at (640, 920) with the inner margins 35 left and 144 top.
        const QPointF at(675, 1064);
        PrintScript dialogs;
        auto window = start(type, file, dialogs);
        QVERIFY(window);
        const lm::AppState& state = window->state();
        if (words.size() > 1) trigger(*window, "mnuPage_NextPage");
        trigger(*window, "mnuView_ZoomItem_3");
        lm::LabelControl* first = window->spineControl(2);
        auto view = [&] {
            return QStringLiteral("page %1 from %2 to %3 at %4 %5: %6")
                .arg(state.PageNumber)
                .arg(state.PageStartPosition)
                .arg(state.PageEndPosition)
                .arg(first->leftTwips())
                .arg(first->topTwips())
                .arg(first->toPlainText());
        };
        const QString before = view();
        expect(dialogs,
               {item.endsWith(u"All") ? QStringLiteral("all:Yes") : QStringLiteral("page:Yes")});
        trigger(*window, item);
        LM_VERIFY_DIALOGS(dialogs);

        const PdfPages pages = readPdf(m_pdf);
        QCOMPARE(pages.size(), words.size());
        for (int i = 0; i < pages.size(); ++i)
            QVERIFY2(near(pages[i], words[i], at),
                     qPrintable(QStringList(pages[i].keys()).join(u' ')));
        QCOMPARE(view(), before);
        QCOMPARE(statusMessage(*window), lm::printedMessage(true, m_pdf, int(words.size())));
        // Print All shows the page again.
        const bool all = item.endsWith(u"All");
        QCOMPARE(window->title(),
                 lm::pageTitle(state.CurrentFileName, state.PageNumber,
                               all || words.size() > 1 ? lm::TitleSpacing::TwoSpaces
                                                       : lm::TitleSpacing::OneSpace));
        QCOMPARE(first->zoomFactor(), 75);
        QVERIFY(!state.PageChanged);
    }
    // The questions decide what is printed. A label typed and not saved stays on
    // the page in every case; Print All prints the file as it is (the answer No
    // to the save question), or the page on display when no file is open.
    void questionsDecide_data() {
        QTest::addColumn<int>("printing");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("printed");  // the second pocket label's text; empty: no PDF
        const int interactive = lm::kInteractivePrinting, batch = lm::kBatchPrinting;
        const QString page = QStringLiteral("mnuFile_PrintPage"),
                      all = QStringLiteral("mnuFile_PrintAll");
        auto steps = [](const char* list) { return QString::fromLatin1(list).split(u' '); };
        QTest::newRow("Print Current Page, No")
            << interactive << false << page << steps("page:No") << QString();
        QTest::newRow("Print Current Page, typed")
            << interactive << true << page << steps("page:Yes") << "TYPED";
        QTest::newRow("Print All, No")
            << interactive << false << all << steps("all:No") << QString();
        QTest::newRow("Print All, typed, Cancel")
            << interactive << true << all << steps("save:Cancel") << QString();
        QTest::newRow("Print All, typed, not saved")
            << interactive << true << all << steps("save:No all:Yes") << "L2";
        QTest::newRow("Print All without a file")
            << batch << true << all << steps("page:Yes") << "TYPED";
    }
    void questionsDecide() {
        QFETCH(int, printing);
        QFETCH(bool, typed);
        QFETCH(QString, item);
        QFETCH(QStringList, steps);
        QFETCH(QString, printed);
        PrintScript dialogs;
        auto window = start(lm::kSlb, numberedLabels(1, 24), dialogs, printing);
        QVERIFY(window);
        lm::LabelControl* pocket = window->pocketControl(2);
        if (typed) pocket->setPlainText(QStringLiteral("TYPED"));
        const QString shown = pocket->toPlainText();
        expect(dialogs, steps);
        trigger(*window, item);
        LM_VERIFY_DIALOGS(dialogs);
        const PdfPages pages = readPdf(m_pdf);
        QCOMPARE(pages.isEmpty(), printed.isEmpty());
        if (!pages.isEmpty()) QVERIFY(pages[0].contains(printed));
        QCOMPARE(pocket->toPlainText(), shown);
        QCOMPARE(window->state().PageChanged, typed);
        QCOMPARE(m_folder->readFile("$$label.dat"), numberedLabels(1, 24));
    }
    void printerFailureIsReported() {
        m_pdf = m_folder->path() + QStringLiteral("/missing folder/printed.pdf");
        PrintScript dialogs;
        auto window = start(lm::kSp1, numberedLabels(1, 41), dialogs);
        QVERIFY(window);
        expect(dialogs, {QStringLiteral("all:Yes")});
        dialogs.expectMessage(
            lm::failureText(lm::kPrintFailed, {m_pdf.toStdString(), "No such file or directory"}),
            MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
        trigger(*window, "mnuFile_PrintAll");
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(window->state().PageStartPosition, 1);
        QCOMPARE(window->page().spineText(2), std::string("L1"));
    }
    // Cancel changes nothing; a confirmed dialog's settings preset the next one.
    void selectPrinterStartsFromTheLastConfirmedChoice() {
        PrintScript dialogs;
        auto window =
            start(lm::kSp1, numberedLabels(1, 1), dialogs);  // the first dialog, confirmed
        QVERIFY(window);
        lm::PrinterSelection& printers = window->findChild<lm::PrintCommands*>()->printers();
        auto select = [&](bool accept, std::function<void(QPrinter&)> choose) {
            dialogs.choose = std::move(choose);
            dialogs.expectPrint(accept);
            trigger(*window, "mnuFile_PrintSetup");
        };
        select(true, [](QPrinter& printer) {
            printer.setCopyCount(3);
            printer.setPageOrientation(QPageLayout::Landscape);
            printer.setPageSize(QPageSize(QPageSize::A4));
        });
        select(false, [](QPrinter& printer) { printer.setCopyCount(9); });
        select(true, nullptr);
        LM_VERIFY_DIALOGS(dialogs);

        auto summary = [](const lm::PrinterSettings& s) {
            return QStringLiteral("%1 copies %2 orientation %3 %4")
                .arg(s.outputFileName)
                .arg(s.copies)
                .arg(int(s.orientation))
                .arg(s.pageSize.name());
        };
        QCOMPARE(dialogs.presets.size(), 4);
        QVERIFY(dialogs.presets[0].outputFileName.endsWith(lm::kNoPrinterPdfName));
        QCOMPARE(dialogs.presets[1].copies, 1);
        const QString chosen = m_pdf + QStringLiteral(" copies 3 orientation 1 A4");
        QCOMPARE(summary(dialogs.presets[2]), chosen);
        QCOMPARE(summary(dialogs.presets[3]), chosen);
        QVERIFY(printers.HasSavedDevMode());
        QCOMPARE(printers.printer().copyCount(), 3);
    }
    // "Start at label N": asked after the print question only when the option
    // is ticked (every other print here has it off and expects no question) and
    // the sheet has more than one set; the sets move on from N and what does not
    // fit goes onto the next sheet. The answer is offered again.
    void startPositionOnAPartlyUsedSheet_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("count");  // labels in the file
        QTest::addColumn<QString>("item");
        QTest::addColumn<QStringList>("answers");  // typed into the box in turn; "<Cancel>"
        QTest::addColumn<QList<int>>("perSheet");  // labels on each sheet; none: nothing printed
        QTest::addColumn<int>("firstAt");          // where L1 is
        const QString page = QStringLiteral("mnuFile_PrintPage"),
                      all = QStringLiteral("mnuFile_PrintAll");
        QTest::newRow("page from 38")
            << int(lm::kSp1) << 5 << page << QStringList{QStringLiteral("38")} << QList<int>{3, 2}
            << 38;
        QTest::newRow("beyond the sheet, then 2")
            << int(lm::kSp1) << 5 << page
            << QStringList{QStringLiteral("41"), QStringLiteral("x"), QStringLiteral(" 2 ")}
            << QList<int>{5} << 2;
        QTest::newRow("Cancel prints nothing")
            << int(lm::kSp1) << 5 << page << QStringList{QStringLiteral("<Cancel>")} << QList<int>()
            << 1;
        QTest::newRow("all of 85 from 10")
            << int(lm::kSp1) << 85 << all << QStringList{QStringLiteral("10")}
            << QList<int>{31, 40, 14} << 10;
        QTest::newRow("Mailer-1 is never asked")
            << int(lm::kMailer1) << 1 << page << QStringList() << QList<int>{1} << 1;
    }
    void startPositionOnAPartlyUsedSheet() {
        QFETCH(int, type);
        QFETCH(int, count);
        QFETCH(QString, item);
        QFETCH(QStringList, answers);
        QFETCH(QList<int>, perSheet);
        QFETCH(int, firstAt);
        PrintScript dialogs;
        dialogs.askStartPosition = true;
        auto window = start(type, numberedLabels(1, count), dialogs);
        QVERIFY(window);
        const bool printAll = item.endsWith(u"All");
        expect(dialogs, {printAll ? QStringLiteral("all:Yes") : QStringLiteral("page:Yes")});
        const QString prompt = QStringLiteral(
            "Start at label (1 to 40) on the first sheet, counted row by row from the top left:");
        QString offered = QStringLiteral("1");
        for (const QString& typed : answers) {
            const bool cancel = typed == u"<Cancel>";
            dialogs.expectInput(prompt, lm::kStartPositionTitle, offered,
                                cancel ? std::nullopt : std::optional<QString>(typed));
            const QString trimmed = typed.trimmed();
            if (trimmed == u"41")
                dialogs.expectMessage(
                    QStringLiteral("Start at label 41: a sheet of sp1 holds labels 1 to 40."),
                    MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
            if (trimmed == u"x")
                dialogs.expectMessage(QStringLiteral("Start at label x: that is not a number."),
                                      MessageButtons::Ok, MessageIcon::Exclamation,
                                      MessageAnswer::Ok);
            offered = trimmed;
        }
        trigger(*window, item);
        LM_VERIFY_DIALOGS(dialogs);

        const PdfPages pages = readPdf(m_pdf);
        QCOMPARE(pages.size(), perSheet.size());
        for (int i = 0; i < pages.size(); ++i) QCOMPARE(pages[i].size(), perSheet[i]);
        if (pages.isEmpty()) return;
        const lm::AppState& state = window->state();
        const lm::PageGeometry geometry =
            lm::pageGeometry(type, state.settings.PageTopMargin, state.settings.PageLeftMargin);
        const lm::LabelPlacement* first = geometry.spine(firstAt + 1);
        QVERIFY(first);
        if (type != lm::kMailer1) {
            const QPointF at(first->left + state.settings.SpineLeftMargin, first->top + 144);
            QVERIFY2(near(pages[0], QStringLiteral("L1"), at),
                     qPrintable(QStringList(pages[0].keys()).join(u' ')));
        }
        // The next print offers the position chosen, and the file is as it was.
        if (firstAt > 1) {
            expect(dialogs, {QStringLiteral("page:Yes")});
            dialogs.expectInput(prompt, lm::kStartPositionTitle, QString::number(firstAt),
                                std::nullopt);
            trigger(*window, "mnuFile_PrintPage");
            LM_VERIFY_DIALOGS(dialogs);
        }
        QCOMPARE(m_folder->readFile("$$label.dat"), numberedLabels(1, count));
    }

  private:
    // Starts on `file` as the working label file, and chooses the PDF file m_pdf
    // as the printer with Select Printer.
    std::unique_ptr<Forms1> start(int type, const QByteArray& file, PrintScript& dialogs,
                                  int printing = lm::kInteractivePrinting) {
        m_folder->writeFile("$$label.dat", file);
        auto window = startWith(*m_folder, settingsForType(type, printing), dialogs);
        if (!window) return window;
        dialogs.choose = [pdf = m_pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        };
        dialogs.expectPrint(true);
        trigger(*window, "mnuFile_PrintSetup");
        return window;
    }
    QString m_pdf;
    std::unique_ptr<TempWorkFolder> m_folder;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
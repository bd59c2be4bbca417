// Labels print as they show: a text that does not fit is marked on its label;
// Print Current Page and Print All check every label first and list what
// would not print as it shows (go to the label, print anyway, cancel); the
// print preview shows the page or the whole file. The printer is a PDF file.

#include <QComboBox>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "paint/labelsheet.h"
#include "platform/labelcontrol.h"
#include "print/printall.h"
#include "print/printcheck.h"
#include "print/printcommands.h"
#include "print/printpage.h"
#include "print/printpreview.h"
#include "testkit.h"

using lm::LabelControl;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;
using lm::PrintProblemAction;

namespace {

const QString kWordBroken =
    QStringLiteral("The text does not fit its label: a word is broken inside itself.");
const QString kPastTheBottom =
    QStringLiteral("The text does not fit its label: it runs past the bottom edge.");

// `count` texts "L1".."Ln", with the texts of `put` (1-based) in their places.
QByteArray labelFile(int count, const QMap<int, QByteArray>& put) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i) bytes += put.value(i, "L" + QByteArray::number(i)) + "~~";
    return bytes;
}

// The script, and a print dialog that chooses a PDF file.
class PdfPrinterScript : public ScriptedDialogs {
  public:
    QString pdf;
    bool printDialog(QPrinter& printer) override {
        const bool accepted = ScriptedDialogs::printDialog(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accepted;
    }
};

struct PrintWindow {
    explicit PrintWindow(const QByteArray& file) {
        folder.writeFile(lm::kWorkingLabelFile, file);
        dialogs.pdf = folder.path() + QStringLiteral("/printed.pdf");
        window = startWith(folder, settingsForType(lm::kSp1, lm::kInteractivePrinting), dialogs);
        dialogs.expectPrint(true);
        trigger(*window, QStringLiteral("mnuFile_PrintSetup"));
    }
    bool printed() const { return QFile::exists(dialogs.pdf); }

    TempWorkFolder folder;
    PdfPrinterScript dialogs;
    std::unique_ptr<lm::Forms1> window;
};

struct OverflowRow {
    const char* name;
    QByteArray text;
    QString problem;  // empty: no mark
};

struct PrintPageRow {
    const char* name;
    QByteArray file;
    QStringList problems;  // empty: no list is shown
    PrintProblemAction answer;
    bool printed;
    int selected;  // SelectedLabel afterwards
};

}  // namespace

LM_TEST_ROW(OverflowRow)
LM_TEST_ROW(PrintPageRow)

class TestPrintCheck : public QObject {
    Q_OBJECT
  private slots:
    void overflowIsMarked_data() {
        lmtest::addRows<OverflowRow>({
            {"fits", "QA76\r\n.C153\r\n2004", QString()},
            {"long class number", "HF5415.1265", kWordBroken},
            {"twelve lines", "A\r\nB\r\nC\r\nD\r\nE\r\nF\r\nG\r\nH\r\nI\r\nJ\r\nK\r\nL",
             kPastTheBottom},
        });
    }
    // An sp1 spine label, 11 points: the mark, its tooltip and its accessible
    // description tell why; the text stays as it was.
    void overflowIsMarked() {
        QFETCH(OverflowRow, row);
        QWidget host;
        LabelControl label(LabelControl::Kind::Spine, 2, &host);
        lm::LabelFont font;
        font.name = QStringLiteral("Times New Roman");
        font.size = 11;
        label.setLabelFont(font);
        label.resizeTwips(1290, 2340);
        label.setInnerMargins({35, 144, 144, 144});
        label.setLabelText("QA76");
        QVERIFY(!label.overflowMarked());
        label.setLabelText(row.text.toStdString());
        QCOMPARE(label.overflowMarked(), !row.problem.isEmpty());
        QCOMPARE(label.toolTip(), row.problem);
        QCOMPARE(label.accessibleDescription(), row.problem);
        QCOMPARE(QByteArray::fromStdString(label.labelText()), row.text);
        QVERIFY(!label.isEdited());
        // Typing more into a label that fits can make it overflow.
        label.setLabelText("HF5415");
        label.moveCursor(QTextCursor::End);
        label.setFocus();
        QTest::keyClicks(&label, QStringLiteral(".1265"));
        QVERIFY(label.overflowMarked());
    }
    // Files written by older imports of Windows exports hold CR CR LF: one line
    // break on screen and on paper; the bytes stay unless the text is edited.
    void crCrLfIsOneLineBreak() {
        const QByteArray bytes = "REF\r\r\nQA76\r\r\n.C153\r\r\n";
        QWidget host;
        LabelControl label(LabelControl::Kind::Spine, 2, &host);
        label.resizeTwips(1290, 2340);
        label.setLabelText(bytes.toStdString());
        const QStringList shown{QStringLiteral("REF"), QStringLiteral("QA76"),
                                QStringLiteral(".C153"), QString()};
        QCOMPARE(label.textLayout().lineTexts(), shown);
        QCOMPARE(QByteArray::fromStdString(label.labelText()), bytes);
        QCOMPARE(lm::labelTextFromBytes(bytes.toStdString()), label.shownText());
        label.moveCursor(QTextCursor::End);
        label.replaceSelection(QStringLiteral("c.2"));
        QCOMPARE(QByteArray::fromStdString(label.labelText()),
                 QByteArray("REF\r\nQA76\r\n.C153\r\nc.2"));
    }
    void printCurrentPageChecksFirst_data() {
        const QStringList broken{QStringLiteral("Page 1, row 1, column 2, spine label: ") +
                                 kWordBroken};
        const QByteArray overflowing = labelFile(3, {{2, "HF5415.1265"}});
        const QStringList blankAndUndrawable{
            QStringLiteral("Page 1, row 1, column 1, spine label: The blank label set "
                           "still holds \"<Blank>\", which prints as text."),
            QStringLiteral("Page 1, row 1, column 6, spine label: The font Liberation "
                           "Serif cannot draw U+007F; another font would stand in.")};
        using Answer = PrintProblemAction;
        lmtest::addRows<PrintPageRow>({
            {"clean", labelFile(3, {}), {}, Answer::Cancel, true, 0},
            {"overflow, cancel", overflowing, broken, Answer::Cancel, false, 0},
            {"overflow, print anyway", overflowing, broken, Answer::PrintAnyway, true, 0},
            {"overflow, go to the label", overflowing, broken, Answer::GoToLabel, false, 3},
            {"blank set and a character no font has", labelFile(6, {{1, "<Blank>"}, {6, "A\x7f"}}),
             blankAndUndrawable, Answer::Cancel, false, 0},
        });
    }
    void printCurrentPageChecksFirst() {
        QFETCH(PrintPageRow, row);
        PrintWindow w(row.file);
        QVERIFY(w.window);
        w.window->state().SelectedLabel = 0;
        w.dialogs.expectMessage(lm::kPrintPageQuestion, MessageButtons::YesNo,
                                MessageIcon::Question, MessageAnswer::Yes);
        if (!row.problems.isEmpty()) w.dialogs.expectPrintProblems(row.problems, {row.answer, 0});
        trigger(*w.window, QStringLiteral("mnuFile_PrintPage"));
        LM_VERIFY_DIALOGS(w.dialogs);
        QCOMPARE(w.printed(), row.printed);
        QCOMPARE(int(w.window->state().SelectedLabel), row.selected);
    }
    // Print All checks the file page by page; going to a label on another page
    // shows that page with the label selected, and prints nothing.
    void printAllChecksEveryPage() {
        PrintWindow w(labelFile(85, {{3, "<Blank>"}, {46, "HF5415.1265"}, {83, "x\x7f"}}));
        QVERIFY(w.window);
        w.dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                                MessageAnswer::Yes);
        const QStringList problems{
            QStringLiteral("Page 1, row 1, column 3, spine label: The blank label set still holds "
                           "\"<Blank>\", which prints as text."),
            QStringLiteral("Page 2, row 1, column 6, spine label: ") + kWordBroken,
            QStringLiteral("Page 3, row 1, column 3, spine label: The font Liberation Serif cannot "
                           "draw U+007F; another font would stand in.")};
        w.dialogs.expectPrintProblems(problems, {PrintProblemAction::GoToLabel, 1});
        trigger(*w.window, QStringLiteral("mnuFile_PrintAll"));
        LM_VERIFY_DIALOGS(w.dialogs);
        QVERIFY(!w.printed());
        const lm::AppState& state = w.window->state();
        QCOMPARE(int(state.PageNumber), 2);
        QCOMPARE(int(state.SelectedLabel), 7);  // set 6 of page 2 is spine element 7
        QCOMPARE(w.window->spineControl(7)->shownText(), QStringLiteral("HF5415.1265"));
        QCOMPARE(w.window->title(),
                 lm::pageTitle(state.CurrentFileName, 2, lm::TitleSpacing::TwoSpaces));

        // Print anyway prints every page.
        w.dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                                MessageAnswer::Yes);
        w.dialogs.expectPrintProblems(problems, {PrintProblemAction::PrintAnyway, -1});
        trigger(*w.window, QStringLiteral("mnuFile_PrintAll"));
        LM_VERIFY_DIALOGS(w.dialogs);
        QVERIFY(w.printed());
    }
    // Cancel in the check's progress ends Print All: nothing is printed, and no
    // problem is listed, though the last page has one.
    void printAllCheckCancelledInItsProgress() {
        const int pages = lm::kProgressFromPages + 1;
        PrintWindow w(labelFile(40 * pages, {{40 * pages, "HF5415.1265"}}));
        QVERIFY(w.window);
        QTimer operatorHand;
        bool cancelled = false;
        connect(&operatorHand, &QTimer::timeout, this, [&] {
            auto* progress = w.window->findChild<QProgressDialog*>(QStringLiteral("CheckProgress"));
            if (cancelled || !progress || !progress->isVisible()) return;
            cancelled = true;
            progress->cancel();
        });
        operatorHand.start(0);
        w.dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                                MessageAnswer::Yes);
        trigger(*w.window, QStringLiteral("mnuFile_PrintAll"));
        operatorHand.stop();
        LM_VERIFY_DIALOGS(w.dialogs);
        QVERIFY(cancelled);
        QVERIFY(!w.printed());
        QCOMPARE(int(w.window->state().PageNumber), 1);
    }
    // The preview opens on the page on display; its choice shows the whole file,
    // a page per sheet as Print All prints it.
    void previewShowsThePageOrTheFile() {
        PrintWindow w(labelFile(81, {{2, "HF5415.1265"}}));
        QVERIFY(w.window);
        int currentPages = -1, allPages = -1;
        w.dialogs.expectPreview([&](QDialog& preview) {
            auto* widget = preview.findChild<QPrintPreviewWidget*>();
            auto* range = preview.findChild<QComboBox*>(QStringLiteral("PreviewRange"));
            QVERIFY(widget && range);
            currentPages = widget->pageCount();
            range->setCurrentText(lm::kPreviewAllPages);
            allPages = widget->pageCount();
        });
        trigger(*w.window, QStringLiteral("mnuFile_PrintPreview"));
        LM_VERIFY_DIALOGS(w.dialogs);
        QCOMPARE(currentPages, 1);
        QCOMPARE(allPages, 3);
        QVERIFY(!w.printed());
        // With the start position asked for, the preview starts where the last
        // print did: the page's 40 sets from label 10 need a second sheet.
        lm::PrintOptions& options = w.window->findChild<lm::PrintCommands*>()->printers().options();
        options.askStartPosition = true;
        options.startPosition = 10;
        w.dialogs.expectPreview([&](QDialog& preview) {
            currentPages = preview.findChild<QPrintPreviewWidget*>()->pageCount();
        });
        trigger(*w.window, QStringLiteral("mnuFile_PrintPreview"));
        LM_VERIFY_DIALOGS(w.dialogs);
        QCOMPARE(currentPages, 2);
        QVERIFY(!w.printed());
        QCOMPARE(w.window->menuItem(QStringLiteral("mnuFile_PrintPreview"))->text(),
                 QStringLiteral("Print Pre&view"));
    }
};

QTEST_MAIN(TestPrintCheck)
#include "tst_printcheck.moc"

// Printing says where it went: the status bar names the printer and the
// sheets sent, or the PDF file written (the chosen PDF's message is the
// print suite's); the PDF the program falls back on
// without a printer is named once in a box; Print All counts its sheets; and
// Select Printer's dialog selects without printing or asking to overwrite.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/qtdialogs.h"
#include "print/printall.h"
#include "print/printerselection.h"
#include "print/printpage.h"
#include "print/printreport.h"
#include "scripteddialogs.h"
#include "testkit.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

// The box of the first print without a printer, with the PDF file written.
const QString kFallbackPdf =
    QStringLiteral("No printer is installed, so the labels were written to the PDF file %1.");

void expectPrintQuestions(ScriptedDialogs& dialogs, bool all) {
    dialogs.expectMessage(all ? lm::kPrintAllQuestion : lm::kPrintPageQuestion,
                          MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes);
}

struct PrintedMessageRow {
    const char* name;
    bool toFile;
    int sheets;
    const char* message;
};

}  // namespace

LM_TEST_ROW(PrintedMessageRow)

class TestPrintReport : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        // Never a real printer: libcups finds no server at this socket.
        qputenv("CUPS_SERVER", "/nonexistent/labelmaker-test-cups.sock");
    }
    void messageNamesTheDestination_data() {
        lmtest::addRows<PrintedMessageRow>({
            {"printer, one sheet", false, 1, "1 sheet sent to the printer \"office\""},
            {"printer, many", false, 40, "40 sheets sent to the printer \"office\""},
            {"nothing to print", true, 0, "No sheet was printed: the label file holds no labels"},
        });
    }
    void messageNamesTheDestination() {
        QFETCH(PrintedMessageRow, row);
        const QString destination =
            row.toFile ? QStringLiteral("/home/lib/labels.pdf") : QStringLiteral("office");
        QCOMPARE(lm::printedMessage(row.toFile, destination, row.sheets),
                 QString::fromUtf8(row.message));
    }
    // With no printer installed the labels go into labels.pdf in the working
    // folder; the first print of the run says where that is.
    void fallbackPdfIsNamedOnceInABox() {
        StartedWindow s(settingsForType(lm::kSp1, lm::kInteractivePrinting), numberedLabels(1, 3));
        QVERIFY(s.window);
        const QString pdf = s.folder.path() + QStringLiteral("/labels.pdf");
        expectPrintQuestions(s.dialogs, false);
        s.dialogs.expectOk(kFallbackPdf.arg(pdf), MessageIcon::Information);
        trigger(*s.window, QStringLiteral("mnuFile_PrintPage"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(statusMessage(*s.window), lm::printedMessage(true, pdf, 1));

        // Once is enough.
        expectPrintQuestions(s.dialogs, true);
        trigger(*s.window, QStringLiteral("mnuFile_PrintAll"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(statusMessage(*s.window), lm::printedMessage(true, pdf, 1));
    }
    void printAllCountsItsSheets() {
        const int sheets = lm::kProgressFromPages + 1;
        StartedWindow s(settingsForType(lm::kSp1, lm::kInteractivePrinting),
                        numberedLabels(1, 40 * (sheets - 1) + 1));
        QVERIFY(s.window);
        // Each step of the progress, with the text it shows.
        QStringList shown;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
            auto* progress = s.window->findChild<QProgressDialog*>(QStringLiteral("PrintProgress"));
            if (!progress || !shown.isEmpty()) return;
            watch.stop();
            auto* label = progress->findChild<QLabel*>();
            shown << label->text();
            QObject::connect(progress->findChild<QProgressBar*>(), &QProgressBar::valueChanged,
                             progress, [&shown, label] {
                                 if (shown.last() != label->text()) shown << label->text();
                             });
        });
        watch.start(0);
        expectPrintQuestions(s.dialogs, true);
        s.dialogs.expectOk(kFallbackPdf.arg(s.folder.path() + QStringLiteral("/labels.pdf")),
                           MessageIcon::Information);
        trigger(*s.window, QStringLiteral("mnuFile_PrintAll"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QStringList expected;
        for (int i = 1; i <= sheets; ++i)
            expected << QStringLiteral("Printing sheet %1 of %2").arg(i).arg(sheets);
        QCOMPARE(shown, expected);
    }
    // The print dialog of Select Printer only selects: its button says so, and
    // an existing output file is no reason to ask anything yet.
    void selectPrinterSelectsWithoutAskingToOverwrite() {
        TempWorkFolder folder;
        const QString pdf = folder.path() + QStringLiteral("/labels.pdf");
        folder.writeFile("labels.pdf", "%PDF-1.4\n");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);

        QString acceptCaption;
        QStringList questions;
        QTimer hand;
        QObject::connect(&hand, &QTimer::timeout, &hand, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                // A question is a failure: answer No, and the print dialog is
                // then cancelled below, so the test ends.
                questions << box->text();
                box->reject();
            } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
                if (!acceptCaption.isNull()) {
                    dialog->reject();
                    return;
                }
                QPushButton* ok =
                    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                acceptCaption = ok->text();
                ok->click();
            }
        });
        hand.start(0);
        lm::QtDialogs dialogs;
        const bool selected = dialogs.printDialog(printer);
        hand.stop();
        QVERIFY(selected);
        QCOMPARE(acceptCaption.remove(QLatin1Char('&')), QStringLiteral("Select"));
        QCOMPARE(questions, QStringList());
        QCOMPARE(printer.outputFileName(), pdf);
    }
};

QTEST_MAIN(TestPrintReport)
#include "tst_printreport.moc"

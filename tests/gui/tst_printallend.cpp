// Print All while another program changes the label file, and its Cancel:
// the run always ends, says where it stopped, and a PDF it did not finish
// leaves the PDF that was there before byte for byte.

#include <QFile>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "app/forms1.h"
#include "app/sessionend.h"
#include "core/labeltypes.h"
#include "core/typedpage.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "print/printall.h"
#include "scripteddialogs.h"
#include "store/savecommands.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

constexpr int kPages = 8;  // enough for the progress dialog
const QByteArray kOldPdf = "%PDF-1.4 the sheets of an earlier Print All\n%%EOF\n";

void write(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode) {
    QFile file(path);
    QVERIFY(file.open(mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Prints into a PDF file; nothing reaches a printer.
class PdfScript : public ScriptedDialogs {
  public:
    QString pdf;
    bool printDialog(QPrinter& printer) override {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return ScriptedDialogs::printDialog(printer);
    }
};

// Watches the run from a timer, as another program or the operator would:
// `act` runs once, when the progress dialog shows and the title counts page
// `page`. A run past 3 x kPages pages is stopped with Cancel.
class RunWatch : public QObject {
  public:
    RunWatch(lm::Forms1& window, int page, std::function<void(QProgressDialog&)> act) {
        connect(&m_timer, &QTimer::timeout, this, [&window, page, act, this] {
            auto* progress = window.findChild<QProgressDialog*>(QStringLiteral("PrintProgress"));
            static const QRegularExpression counted(QStringLiteral(R"(\(Page +(\d+)\)$)"));
            const QRegularExpressionMatch m = counted.match(window.title());
            if (!progress || !progress->isVisible() || !m.hasMatch()) return;
            highest = std::max(highest, m.captured(1).toInt());
            if (highest == page && !m_acted) {
                m_acted = true;
                act(*progress);
            }
            if (highest > 3 * kPages) progress->cancel();
        });
        m_timer.start(0);
    }
    int highest = 0;

  private:
    bool m_acted = false;
    QTimer m_timer;
};

}  // namespace

class TestPrintAllEnd : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        qputenv("CUPS_SERVER", "/nonexistent/labelmaker-test-cups.sock");
        m_folder = std::make_unique<TempWorkFolder>();
        m_pdf = m_folder->path() + QStringLiteral("/labels.pdf");
        write(m_pdf, kOldPdf, QIODevice::WriteOnly);
    }
    void cleanup() { m_folder.reset(); }
    // Page 2 is on display. A file changed while page 3 prints is noticed at
    // page 4: the run stops after sheet 3 and says so, and page 2 is found afresh
    // (its old first byte falls inside a label once a label before it is gone).
    // Cancel and Escape stop the run at the page they come at, without a word.
    void stopsWhereItMust_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("firstLabel");  // of page 2 afterwards
        QTest::newRow("file made shorter")
            << QStringLiteral("shorter") << 3 << QStringLiteral("L42");
        QTest::newRow("file made longer") << QStringLiteral("longer") << 3 << QStringLiteral("L41");
        QTest::newRow("file emptied") << QStringLiteral("emptied") << 3 << QString();
        QTest::newRow("file replaced by a copy of itself")
            << QStringLiteral("replaced") << 3 << QStringLiteral("L41");
        QTest::newRow("Cancel, first page")
            << QStringLiteral("cancel") << 1 << QStringLiteral("L41");
        QTest::newRow("Cancel, page 5") << QStringLiteral("cancel") << 5 << QStringLiteral("L41");
        QTest::newRow("Escape, last page")
            << QStringLiteral("escape") << kPages << QStringLiteral("L41");
    }
    void stopsWhereItMust() {
        QFETCH(QString, action);
        QFETCH(int, page);
        QFETCH(QString, firstLabel);
        PdfScript dialogs;
        auto window = start(dialogs);
        QVERIFY(window);
        trigger(*window, QStringLiteral("mnuPage_NextPage"));
        const QString path = m_folder->path() + QStringLiteral("/$$label.dat");
        RunWatch watch(*window, page, [&](QProgressDialog& progress) {
            if (action == u"shorter")
                write(path, numberedLabels(2, 40 * kPages),
                      QIODevice::WriteOnly | QIODevice::Truncate);
            else if (action == u"longer")
                write(path, numberedLabels(1, 40), QIODevice::Append);
            else if (action == u"emptied")
                write(path, QByteArray(), QIODevice::WriteOnly | QIODevice::Truncate);
            else if (action == u"replaced") {
                write(path + QStringLiteral(".new"), numberedLabels(1, 40 * kPages),
                      QIODevice::WriteOnly);
                // Replaced by rename, as a save replaces it.
                QCOMPARE(std::rename(qPrintable(path + QStringLiteral(".new")), qPrintable(path)),
                         0);
            } else if (action == u"escape")
                QTest::keyClick(&progress, Qt::Key_Escape);
            else
                QTest::mouseClick(progress.findChild<QPushButton*>(), Qt::LeftButton);
        });
        dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                              MessageAnswer::Yes);
        if (action != u"cancel" && action != u"escape")
            dialogs.expectOk(
                QStringLiteral("The label file %1 has been changed by another program "
                               "since Print All began. Printing stopped after sheet 3. "
                               "The PDF file %2 was not written; it is as it was.")
                    .arg(path, m_pdf),
                MessageIcon::Exclamation);
        trigger(*window, QStringLiteral("mnuFile_PrintAll"));
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(watch.highest, page);
        QCOMPARE(m_folder->readFile("labels.pdf"), kOldPdf);
        const lm::AppState& state = window->state();
        QCOMPARE(state.PageNumber, 2);
        QCOMPARE(QString::fromStdString(window->page().spineText(2)), firstLabel);
        QVERIFY(!state.PageChanged);
        QCOMPARE(window->title(),
                 lm::pageTitle(state.CurrentFileName, 2, lm::TitleSpacing::TwoSpaces));
    }
    // A logout during Print All keeps the page the operator typed on, not the
    // page being printed.
    void typedPageOutlivesTheRun() {
        PdfScript dialogs;
        auto window = start(dialogs);
        QVERIFY(window);
        window->spineControl(3)->setPlainText(QStringLiteral("TYPED"));
        RunWatch watch(*window, 4,
                       [&](QProgressDialog&) { QVERIFY(lm::keepTypedPage(*window).ok()); });
        dialogs.expectMessage(lm::kPageChangedQuestion, MessageButtons::YesNoCancel,
                              MessageIcon::Question, MessageAnswer::No);
        dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                              MessageAnswer::Yes);
        trigger(*window, QStringLiteral("mnuFile_PrintAll"));
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(watch.highest, kPages);
        lm::Result<std::optional<lm::TypedPage>> kept =
            lm::readTypedPageFile(lm::typedPageFilePath());
        QVERIFY(kept.ok() && kept.value());
        QCOMPARE(kept.value()->pageNumber, 1);
        const std::vector<std::string> first = {"L1", "TYPED", "L3"};
        QVERIFY(std::equal(first.begin(), first.end(), kept.value()->spineTexts.begin()));
        QVERIFY(m_folder->readFile("labels.pdf") != kOldPdf);  // a complete run writes the PDF
    }

  private:
    std::unique_ptr<lm::Forms1> start(PdfScript& dialogs) {
        m_folder->writeFile(lm::kWorkingLabelFile, numberedLabels(1, 40 * kPages));
        auto window =
            startWith(*m_folder, settingsForType(lm::kSp1, lm::kInteractivePrinting), dialogs);
        if (!window) return window;
        dialogs.pdf = m_pdf;
        dialogs.expectPrint(true);
        trigger(*window, QStringLiteral("mnuFile_PrintSetup"));
        return window;
    }
    std::unique_ptr<TempWorkFolder> m_folder;
    QString m_pdf;
};

QTEST_MAIN(TestPrintAllEnd)
#include "tst_printallend.moc"
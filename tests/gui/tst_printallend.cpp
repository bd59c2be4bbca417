// Print All while another program changes the label file, and its Cancel:
// the run always ends, says where it stopped, and a PDF it did not finish
// leaves the PDF that was there before byte for byte.

#include <QAction>
#include <QFile>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/forms1.h"
#include "app/sessionend.h"
#include "core/labeltypes.h"
#include "core/typedpage.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
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

QByteArray labels(int from, int to) {
    QByteArray bytes;
    for (int i = from; i <= to; ++i) bytes += "L" + QByteArray::number(i) + "~~";
    return bytes;
}

// Prints into a PDF file of the working folder; nothing reaches a printer.
class PdfScript : public ScriptedDialogs {
  public:
    QString pdf;
    bool printDialog(QPrinter& printer) override {
        const bool accepted = ScriptedDialogs::printDialog(printer);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return accepted;
    }
};

// Watches the run from its timers: `atPage` is called once, when the title
// first counts page `page` while the progress dialog shows; a run that goes past `limit` pages is
// stopped with Cancel and noted.
class RunWatch : public QObject {
  public:
    RunWatch(lm::Forms1& window, int page, std::function<void()> atPage, int limit = 3 * kPages)
        : m_window(window), m_page(page), m_atPage(std::move(atPage)), m_limit(limit) {
        connect(&m_timer, &QTimer::timeout, this, [this] { look(); });
        m_timer.start(0);
    }
    int highestPage() const { return m_highest; }
    bool ranAway() const { return m_ranAway; }

  private:
    void look() {
        // The run's own count, not the title the page had before it.
        auto* progress = m_window.findChild<QProgressDialog*>();
        if (!progress || !progress->isVisible()) return;
        static const QRegularExpression counted(QStringLiteral(R"(\(Page +(\d+)\)$)"));
        const QRegularExpressionMatch m = counted.match(m_window.title());
        if (!m.hasMatch()) return;
        const int page = m.captured(1).toInt();
        m_highest = std::max(m_highest, page);
        if (page == m_page && !m_done) {
            m_done = true;
            m_atPage();
        }
        if (page > m_limit && !m_ranAway) {
            m_ranAway = true;
            progress->cancel();
        }
    }

    lm::Forms1& m_window;
    int m_page;
    std::function<void()> m_atPage;
    int m_limit;
    int m_highest = 0;
    bool m_done = false;
    bool m_ranAway = false;
    QTimer m_timer;
};

void rewrite(const QString& path, const QByteArray& bytes, QIODevice::OpenMode mode) {
    QFile file(path);
    QVERIFY(file.open(mode));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class TestPrintAllEnd : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void fileChangedMidRunEndsIt_data();
    void fileChangedMidRunEndsIt();
    void cancelledAtAnyPage_data();
    void cancelledAtAnyPage();
    void typedPageOutlivesTheRun();

  private:
    std::unique_ptr<lm::Forms1> start(PdfScript& dialogs);
    QString workingFile() const { return m_folder->path() + QStringLiteral("/$$label.dat"); }
    std::unique_ptr<TempWorkFolder> m_folder;
    QString m_pdf;
};

void TestPrintAllEnd::initTestCase() {
    qputenv("CUPS_SERVER", "/nonexistent/labelmaker-test-cups.sock");
}

void TestPrintAllEnd::init() {
    m_folder = std::make_unique<TempWorkFolder>();
    m_pdf = m_folder->path() + QStringLiteral("/labels.pdf");
    rewrite(m_pdf, kOldPdf, QIODevice::WriteOnly);
}

void TestPrintAllEnd::cleanup() {
    m_folder.reset();
}

std::unique_ptr<lm::Forms1> TestPrintAllEnd::start(PdfScript& dialogs) {
    m_folder->writeFile(lm::kWorkingLabelFile, labels(1, 40 * kPages));
    auto window =
        startWith(*m_folder, settingsForType(lm::kSp1, lm::kInteractivePrinting), dialogs);
    if (!window) return window;
    dialogs.pdf = m_pdf;
    dialogs.expectPrint(true);
    trigger(*window, QStringLiteral("mnuFile_PrintSetup"));
    return window;
}

// The file changes while page 3 is being printed: sheets 1 to 3 are out when
// the run notices at page 4, stops, says so, and shows page 2, on display
// before, as the file now has it (not from its old first byte, which now
// falls elsewhere). Each kind of change shows in the file's identity.
void TestPrintAllEnd::fileChangedMidRunEndsIt_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("firstLabel");  // of page 2 afterwards
    QTest::newRow("shorter: a label deleted") << QStringLiteral("shorter") << QStringLiteral("L42");
    QTest::newRow("longer: labels added") << QStringLiteral("longer") << QStringLiteral("L41");
    QTest::newRow("emptied by Clear") << QStringLiteral("emptied") << QString();
    QTest::newRow("replaced by a copy of itself")
        << QStringLiteral("replaced") << QStringLiteral("L41");
}

void TestPrintAllEnd::fileChangedMidRunEndsIt() {
    QFETCH(QString, change);
    QFETCH(QString, firstLabel);
    PdfScript dialogs;
    auto window = start(dialogs);
    QVERIFY(window);
    trigger(*window, QStringLiteral("mnuPage_NextPage"));
    const QString path = workingFile();
    const QByteArray all = labels(1, 40 * kPages);
    RunWatch watch(*window, 3, [&] {
        if (change == u"shorter")
            rewrite(path, labels(2, 40 * kPages), QIODevice::WriteOnly | QIODevice::Truncate);
        else if (change == u"longer")
            rewrite(path, labels(40 * kPages + 1, 40 * kPages + 40), QIODevice::Append);
        else if (change == u"emptied")
            rewrite(path, QByteArray(), QIODevice::WriteOnly | QIODevice::Truncate);
        else {
            rewrite(path + QStringLiteral(".new"), all, QIODevice::WriteOnly);
            QFile::remove(path);
            QVERIFY(QFile::rename(path + QStringLiteral(".new"), path));
        }
    });
    dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                          MessageAnswer::Yes);
    dialogs.expectMessage(
        QStringLiteral("The label file %1 has been changed by another program since Print All "
                       "began. Printing stopped after sheet 3. The PDF file %2 was not written; "
                       "it is as it was.")
            .arg(path, m_pdf),
        MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
    trigger(*window, QStringLiteral("mnuFile_PrintAll"));
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(!watch.ranAway());
    QCOMPARE(watch.highestPage(), 3);
    QCOMPARE(m_folder->readFile("labels.pdf"), kOldPdf);
    const lm::AppState& state = window->state();
    QCOMPARE(state.PageNumber, 2);
    QCOMPARE(QString::fromStdString(window->page().spineText(2)), firstLabel);
    QVERIFY(!state.PageChanged);
    QCOMPARE(window->title(), lm::pageTitle(state.CurrentFileName, 2, lm::TitleSpacing::TwoSpaces));
}

// Cancel and Escape stop the run at the page they come at, and the PDF that
// was there stays.
void TestPrintAllEnd::cancelledAtAnyPage_data() {
    QTest::addColumn<bool>("escape");
    QTest::addColumn<int>("page");
    QTest::newRow("Cancel, first page") << false << 1;
    QTest::newRow("Cancel, page 5") << false << 5;
    QTest::newRow("Escape, page 2") << true << 2;
    QTest::newRow("Escape, last page") << true << kPages;
}

void TestPrintAllEnd::cancelledAtAnyPage() {
    QFETCH(bool, escape);
    QFETCH(int, page);
    PdfScript dialogs;
    auto window = start(dialogs);
    QVERIFY(window);
    bool pressed = false;
    RunWatch watch(*window, page, [&] {
        auto* progress = window->findChild<QProgressDialog*>();
        QVERIFY(progress && progress->isVisible());
        if (escape) {
            QTest::keyClick(progress, Qt::Key_Escape);
        } else {
            auto* cancel = progress->findChild<QPushButton*>();
            QVERIFY(cancel);
            QTest::mouseClick(cancel, Qt::LeftButton);
        }
        pressed = true;
    });
    dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                          MessageAnswer::Yes);
    trigger(*window, QStringLiteral("mnuFile_PrintAll"));
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(pressed);
    QVERIFY(!watch.ranAway());
    QCOMPARE(watch.highestPage(), page);
    QCOMPARE(m_folder->readFile("labels.pdf"), kOldPdf);
    QCOMPARE(window->state().PageStartPosition, 1);
    QCOMPARE(window->page().spineText(2), std::string("L1"));
}

// A logout during Print All keeps the page the operator typed on, not the
// page being printed.
void TestPrintAllEnd::typedPageOutlivesTheRun() {
    PdfScript dialogs;
    auto window = start(dialogs);
    QVERIFY(window);
    window->spineControl(3)->setPlainText(QStringLiteral("TYPED"));
    QVERIFY(window->state().PageChanged);
    RunWatch watch(*window, 4, [&] { QVERIFY(lm::keepTypedPage(*window).ok()); });
    dialogs.expectMessage(lm::kPageChangedQuestion, MessageButtons::YesNoCancel,
                          MessageIcon::Question, MessageAnswer::No);
    dialogs.expectMessage(lm::kPrintAllQuestion, MessageButtons::YesNo, MessageIcon::Question,
                          MessageAnswer::Yes);
    trigger(*window, QStringLiteral("mnuFile_PrintAll"));
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(watch.highestPage(), kPages);
    lm::Result<std::optional<lm::TypedPage>> kept = lm::readTypedPageFile(lm::typedPageFilePath());
    QVERIFY(kept.ok() && kept.value());
    QCOMPARE(kept.value()->pageNumber, 1);
    QCOMPARE(kept.value()->spineTexts.at(0), std::string("L1"));
    QCOMPARE(kept.value()->spineTexts.at(1), std::string("TYPED"));
    QCOMPARE(kept.value()->spineTexts.at(2), std::string("L3"));
    // The run itself was complete: the PDF is the new one.
    QVERIFY(m_folder->readFile("labels.pdf") != kOldPdf);
}

QTEST_MAIN(TestPrintAllEnd)
#include "tst_printallend.moc"

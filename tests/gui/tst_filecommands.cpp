#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTest>

#include <tuple>

#include "app/forms1.h"
#include "core/editrequest.h"
#include "core/labeltypes.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "store/programend.h"

using lm::Forms1;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

Q_DECLARE_METATYPE(lm::MessageAnswer)

namespace {

const QString kQuestion =
    QStringLiteral("This page has been changed. Do you want to save the change(s)?");
const QString kSaveTitle = QStringLiteral("Save Label File");
const QString kSaveFilter = QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*");
const QString kOpenTitle = QStringLiteral("Open Label File");
const QString kOpenFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*");
const QString kPlainTitle = QStringLiteral("Kelvarine Label Maker");

void nextPage(Forms1& window) {
    window.button(QStringLiteral("Command1"))->click();
}

QString workingPath(const TempWorkFolder& folder) {
    return QString::fromStdString(folder.filePath(lm::kWorkingLabelFile));
}

// A window on a working file holding `texts`.
struct Started : StartedWindow {
    Started(int type, const QList<QByteArray>& texts, int printing = lm::kInteractivePrinting)
        : StartedWindow(settingsForType(type, printing), labelFileBytes(texts)) {}
};

// What the window shows, to tell that a command changed nothing.
using Shown = std::tuple<QString, std::string, int, bool, QList<QByteArray>>;
Shown shown(Forms1& window) {
    const lm::AppState& s = window.state();
    return {window.windowTitle(), s.CurrentFileName, s.PageNumber, s.PageChanged,
            shownTexts(window)};
}

// The commands that leave a changed page, and how its question is answered
// (Unchanged: the page has no edits, so there is no question). A save that
// fails is the fault matrix's.
enum class Command { New, Load, Exit, Close };
enum class Answer { Unchanged, No, Cancel, YesCancelled, YesSaved };

}  // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_ended = 0;
        lm::setProgramEndForTesting([this] { ++m_ended; });
    }
    void cleanup() { lm::setProgramEndForTesting(nullptr); }

    void save_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");  // empty: the page is saved
        QTest::newRow("saved") << QStringLiteral(" v.2") << QString();
        QTest::newRow("not Windows-1252")
            << QStringLiteral("\u4e00")
            << QStringLiteral(
                   "The spine label of label set 2 on this page holds a character that a label "
                   "file cannot store (it stores Windows-1252 characters only). The page was not "
                   "saved.");
    }
    void save() {
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 10);
        Started s(lm::kSp1, texts);
        QVERIFY(s.window);
        typeInto(s.window->spineControl(3), typed);
        const Shown before = shown(*s.window);
        if (!refusal.isEmpty())
            s.dialogs.expectOk(QStringLiteral("The labels could not be saved in %1.\r\n\r\n%2")
                                   .arg(workingPath(s.folder), refusal),
                               MessageIcon::Critical);
        trigger(*s.window, "mnuFile_Save");
        LM_VERIFY_DIALOGS(s.dialogs);
        QList<QByteArray> saved = texts;
        if (refusal.isEmpty()) saved[1] += typed.toLatin1();
        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), labelFileBytes(saved));
        QCOMPARE(s.window->spineControl(3)->toPlainText(), QStringLiteral("S2") + typed);
        QCOMPARE(s.window->state().PageChanged, !refusal.isEmpty());
        QCOMPARE(s.window->windowTitle(), std::get<0>(before));
        if (!refusal.isEmpty()) QVERIFY(shown(*s.window) == before);
    }
    void saveAsMakesTheChosenFileCurrent() {
        const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 85);
        Started s(lm::kSp1, texts);
        QVERIFY(s.window);
        nextPage(*s.window);
        typeInto(s.window->spineControl(2), QStringLiteral("!"));
        const QString path = s.folder.path() + QStringLiteral("/copy.dat");
        s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, path);
        trigger(*s.window, "mnuFile_SaveAs");
        LM_VERIFY_DIALOGS(s.dialogs);
        QList<QByteArray> saved = texts;
        saved[40] += "!";
        QCOMPARE(s.folder.readFile("copy.dat"), labelFileBytes(saved));
        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
        QCOMPARE(s.window->state().CurrentFileName, path.toStdString());
        QCOMPARE(s.window->windowTitle(), titleOf(path, 2, false));
        QVERIFY(!s.window->state().PageChanged);
        // Moves go on in the new file.
        nextPage(*s.window);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(shownTexts(*s.window), pageTexts(lm::kSp1, saved, 3));
        QCOMPARE(s.window->windowTitle(), titleOf(path, 3, true));
    }
    void saveAsRefusesTheWorkingFileWithBatchPrinting_data() {
        QTest::addColumn<int>("printing");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        const int batch = lm::kBatchPrinting;
        QTest::newRow("upper case") << batch << "$$LABEL.DAT" << true;
        QTest::newRow("roundabout path") << batch << "sub/../$$label.dat" << true;
        QTest::newRow("other name") << batch << "$$label2.dat" << false;
        QTest::newRow("interactive") << int(lm::kInteractivePrinting) << "$$LABEL.DAT" << false;
    }
    void saveAsRefusesTheWorkingFileWithBatchPrinting() {
        QFETCH(int, printing);
        QFETCH(QString, name);
        QFETCH(bool, refused);
        StartedWindow s(settingsForType(lm::kSp2, printing));
        QVERIFY(s.window);
        QVERIFY(QDir(s.folder.path()).mkpath(QStringLiteral("sub")));
        typeInto(s.window->spineControl(2), QStringLiteral("A"));
        const QString chosen = s.folder.path() + QLatin1Char('/') + name;
        const QString saved = refused ? s.folder.path() + QStringLiteral("/other.dat") : chosen;
        s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, chosen);
        if (refused) {
            s.dialogs.expectOk(
                chosen + QStringLiteral(" is a reserved file! Please name another file."),
                MessageIcon::Critical);
            s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, saved);
        }
        trigger(*s.window, "mnuFile_SaveAs");
        LM_VERIFY_DIALOGS(s.dialogs);
        if (refused) QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), QByteArray());
        QCOMPARE(s.window->state().CurrentFileName, saved.toStdString());
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("A~~~~"));  // an sp2 pair
    }
    // New, Load and Exit share one question, so Load answers it every way and
    // the others once each way the command goes; closing has a question of its own.
    void leavingAChangedPage_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("answer");
        const char* const commands[] = {"New", "Load", "Exit", "Close"};
        const char* const answers[] = {"unchanged", "No", "Cancel", "Yes, dialog cancelled",
                                       "Yes, saved"};
        auto row = [&](Command c, Answer a) {
            QTest::addRow("%s, %s", commands[int(c)], answers[int(a)]) << int(c) << int(a);
        };
        for (int a = 0; a <= int(Answer::YesSaved); ++a) row(Command::Load, Answer(a));
        for (Answer a : {Answer::Unchanged, Answer::Cancel, Answer::YesSaved})
            row(Command::Close, a);
        row(Command::New, Answer::YesSaved);
        row(Command::Exit, Answer::No);
    }
    void leavingAChangedPage() {
        QFETCH(int, command);
        QFETCH(int, answer);
        const Command c = Command(command);
        const Answer a = Answer(answer);
        const bool goesOn = a == Answer::Unchanged || a == Answer::No || a == Answer::YesSaved;
        const QList<QByteArray> texts = labelSetTexts(lm::kSl6, 9);
        Started s(lm::kSl6, texts);
        QVERIFY(s.window);
        Forms1& window = *s.window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        nextPage(window);
        if (a != Answer::Unchanged) typeInto(window.pocketControl(3), QStringLiteral("+"));
        const Shown before = shown(window);
        const QString saved = s.folder.path() + QStringLiteral("/saved.dat");
        const QString other = s.folder.path() + QStringLiteral("/other.dat");
        const QList<QByteArray> otherTexts = labelSetTexts(lm::kSl6, 8);
        s.folder.writeFile("other.dat", labelFileBytes(otherTexts));

        const MessageAnswer replies[] = {MessageAnswer::Ok, MessageAnswer::No,
                                         MessageAnswer::Cancel, MessageAnswer::Yes,
                                         MessageAnswer::Yes};
        if (a != Answer::Unchanged)
            s.dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                                    replies[answer]);
        if (a == Answer::YesCancelled)
            s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, std::nullopt);
        if (a == Answer::YesSaved) s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, saved);
        if (goesOn && c == Command::Load) s.dialogs.expectOpenFile(kOpenTitle, kOpenFilter, other);
        const char* const items[] = {"mnuFile_NewFile", "mnuFile_Load", "mnuFile_Exit"};
        if (c == Command::Close)
            QCOMPARE(window.close(), goesOn);
        else
            trigger(window, items[command]);
        LM_VERIFY_DIALOGS(s.dialogs);

        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
        if (a == Answer::YesSaved) {
            QList<QByteArray> edited = texts;
            edited[20] += "+";  // the second pocket label of page 2's first set
            QCOMPARE(s.folder.readFile("saved.dat"), labelFileBytes(edited));
        }
        QCOMPARE(m_ended, goesOn && c == Command::Exit ? 1 : 0);
        QCOMPARE(window.isVisible(), !(goesOn && c == Command::Close));
        if (!goesOn) {
            QVERIFY(shown(window) == before);
            return;
        }
        if (c == Command::New) {
            QCOMPARE(window.windowTitle(), kPlainTitle);
            QVERIFY(shownTexts(window).isEmpty());
            QVERIFY(window.state().CurrentFileName.empty());
            QVERIFY(!window.state().PageChanged);
        } else if (c == Command::Load) {
            QCOMPARE(window.windowTitle(), titleOf(other, 1, true));
            QCOMPARE(shownTexts(window), pageTexts(lm::kSl6, otherTexts, 1));
            QVERIFY(!window.state().PageChanged);
        } else if (c == Command::Close && a == Answer::YesSaved) {
            QCOMPARE(window.windowTitle(), titleOf(saved, 2, false));
        }
    }
    void newLeavesAnEmptyPageForANewFile() {
        const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 25);
        Started s(lm::kSl4, texts);
        QVERIFY(s.window);
        nextPage(*s.window);
        nextPage(*s.window);
        trigger(*s.window, "mnuFile_NewFile");
        LM_VERIFY_DIALOGS(s.dialogs);

        // Save with no file open asks for a name; the new file counts its pages from 1.
        typeInto(s.window->spineControl(2), QStringLiteral("N1"));
        const QString path = s.folder.path() + QStringLiteral("/fresh.dat");
        s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, path);
        trigger(*s.window, "mnuFile_Save");
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.folder.readFile("fresh.dat"), QByteArray("N1~~~~~~"));
        QCOMPARE(s.window->windowTitle(), titleOf(path, 1, false));
        QCOMPARE(s.window->state().PageStartPosition, 1);
        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
    }
    // Exit offers to clear a working file the counter says is full, with the
    // label type's own limit; both commands clear the same way.
    void clearAndExit_data() {
        QTest::addColumn<bool>("exit");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("printing");
        QTest::addColumn<QByteArray>("counter");
        QTest::addColumn<MessageAnswer>("full");   // to Exit's offer; Ok: not offered
        QTest::addColumn<MessageAnswer>("clear");  // to Clear's question
        const int I = lm::kInteractivePrinting;
        const int B = lm::kBatchPrinting;
        const int sp1 = lm::kSp1;
        const MessageAnswer Ok = MessageAnswer::Ok, No = MessageAnswer::No,
                            Yes = MessageAnswer::Yes;
        QTest::newRow("Clear, no file open")
            << false << sp1 << B << QByteArray("70\r\n") << Ok << Ok;
        QTest::newRow("Clear, No") << false << sp1 << I << QByteArray("70\r\n") << Ok << No;
        QTest::newRow("Clear, Yes") << false << sp1 << I << QByteArray("70\r\n") << Ok << Yes;
        QTest::newRow("Exit, sp1 40") << true << sp1 << I << QByteArray("40\r\n") << No << Ok;
        QTest::newRow("Exit, batch") << true << sp1 << B << QByteArray("40\r\n") << Ok << Ok;
        QTest::newRow("Exit, Mailer-1 1")
            << true << int(lm::kMailer1) << I << QByteArray("1\r\n") << No << Ok;
        QTest::newRow("Exit, sp1 41, cleared")
            << true << sp1 << I << QByteArray("41\r\n") << Yes << Yes;
    }
    void clearAndExit() {
        QFETCH(bool, exit);
        QFETCH(int, type);
        QFETCH(int, printing);
        QFETCH(QByteArray, counter);
        QFETCH(MessageAnswer, full);
        QFETCH(MessageAnswer, clear);
        const QList<QByteArray> texts = labelSetTexts(type, 50);
        Started s(type, texts, printing);
        QVERIFY(s.window);
        s.folder.writeFile(lm::kCounterFile, counter);
        if (printing == lm::kInteractivePrinting) nextPage(*s.window);
        // Clear asks no save question: what was typed goes with the file, and the
        // emptied page is not a changed one.
        if (!exit) typeInto(s.window->spineControl(3), QStringLiteral(" v.2"));
        const Shown before = shown(*s.window);
        if (full != MessageAnswer::Ok)
            s.dialogs.expectMessage(
                QStringLiteral("The label file is full. Do you want to clear the file?"),
                MessageButtons::YesNo, MessageIcon::Question, full);
        const bool asked = exit ? full == MessageAnswer::Yes : printing == lm::kInteractivePrinting;
        if (!exit && !asked)
            s.dialogs.expectOk(QStringLiteral("No label file to be cleared!"),
                               MessageIcon::Information);
        if (asked)
            s.dialogs.expectMessage(
                QStringLiteral("You will lose all the labels in the file, %1. Do "
                               "you want to continue?")
                    .arg(workingPath(s.folder)),
                MessageButtons::YesNo, MessageIcon::Exclamation, clear);
        const bool cleared = asked && clear == MessageAnswer::Yes;
        if (cleared)
            s.dialogs.expectOk(QStringLiteral("Label file has been cleared!"),
                               MessageIcon::Information);
        trigger(*s.window, exit ? "mnuFile_Exit" : "mnuFile_Clear");
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(m_ended, exit ? 1 : 0);
        QVERIFY(QFile::exists(workingPath(s.folder)));
        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile),
                 cleared ? QByteArray() : labelFileBytes(texts));
        QCOMPARE(s.folder.readFile(lm::kCounterFile), cleared ? QByteArray("0\r\n") : counter);
        QVERIFY(shown(*s.window) ==
                (cleared ? Shown(kPlainTitle, std::string(), 1, false, {}) : before));
    }

  private:
    int m_ended = 0;
};

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"

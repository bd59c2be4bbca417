// Two windows on one working folder, and the end of a desktop session: the
// second window is told about the first (a lock left by a killed window is
// taken over), the session's end asks the save question, and the texts of a
// changed page kept at a logout are offered back at the next start.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

#include <csignal>

#include "app/forms1.h"
#include "app/sessionend.h"
#include "app/startup.h"
#include "app/workfolderlock.h"
#include "core/labeltypes.h"
#include "core/typedpage.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "store/savecommands.h"
#include "testdata.h"
#include "testkit.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

void expectAnotherWindow(ScriptedDialogs& dialogs, const QString& folder, MessageAnswer answer) {
    dialogs.expectMessage(QStringLiteral("Another Label Maker window is working in folder %1. "
                                         "Do you want to continue?")
                              .arg(folder),
                          MessageButtons::YesNo, MessageIcon::Exclamation, answer);
}

QString keptFile(const TempWorkFolder& folder) {
    return QString::fromStdString(folder.filePath(lm::kTypedPageFile));
}

struct GoOnRow {
    const char* name;
    bool goOn;  // Yes to the other window's question
};

struct LockRow {
    const char* name;
    QByteArray contents;
    int ageSeconds;
    bool takenOver;
};

struct RestoreRow {
    const char* name;
    bool restore;
};

struct SessionAnswerRow {
    const char* name;
    MessageAnswer answer;
    lm::SessionAnswer expected;
};

}  // namespace

LM_TEST_ROW(GoOnRow)
LM_TEST_ROW(LockRow)
LM_TEST_ROW(RestoreRow)
LM_TEST_ROW(SessionAnswerRow)

class TestSessionEnd : public QObject {
    Q_OBJECT
  private slots:
    // Yes starts the second window beside the first, and it takes the folder
    // over once the first is gone, so a third window is told about it; No ends
    // start-up with status 0, and once the first window is gone, a window starts
    // without a word.
    void secondWindowIsTold_data() {
        lmtest::addRows<GoOnRow>({
            {"continue", true},
            {"quit", false},
        });
    }
    void secondWindowIsTold() {
        QFETCH(GoOnRow, row);
        StartedWindow first(settingsForType(lm::kSp1, lm::kInteractivePrinting),
                            numberedLabels(1, 3));
        QVERIFY(first.window);
        ScriptedDialogs dialogs;
        expectAnotherWindow(dialogs, first.folder.path(),
                            row.goOn ? MessageAnswer::Yes : MessageAnswer::No);
        lm::StartUpResult second = lm::startUp(dialogs);
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(bool(second.window), row.goOn);
        QCOMPARE(second.exitCode, 0);
        first.window.reset();
        if (row.goOn)
            QTRY_VERIFY_WITH_TIMEOUT(second.window->findChild<lm::WorkFolderLock*>()->held(),
                                     20000);
        ScriptedDialogs later;
        if (row.goOn) expectAnotherWindow(later, first.folder.path(), MessageAnswer::No);
        QCOMPARE(bool(lm::startUp(later).window), !row.goOn);
        LM_VERIFY_DIALOGS(later);
    }
    // The real program holds the folder; killed, it leaves its lock behind, and
    // the next window takes it over.
    void lockOfAKilledWindowIsTakenOver() {
        TempWorkFolder folder;
        folder.writeSettings(settingsForType(lm::kSp1, lm::kBatchPrinting));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QORTEX_DIR"), folder.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(LM_BIN_DIR "/labelmaker"), {});
        QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
        const qint64 programId = program.processId();
        auto lockHolder = [&] {
            qint64 pid = 0;
            QString host, name;
            QLockFile lock(QString::fromStdString(folder.filePath(lm::kWorkFolderLockFile)));
            return lock.getLockInfo(&pid, &host, &name) ? pid : 0;
        };
        QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), programId, 60000);  // it is up

        ScriptedDialogs whileItRuns;
        expectAnotherWindow(whileItRuns, folder.path(), MessageAnswer::No);
        QVERIFY(!lm::startUp(whileItRuns).window);
        LM_VERIFY_DIALOGS(whileItRuns);

        QCOMPARE(::kill(pid_t(programId), SIGKILL), 0);
        QVERIFY(program.waitForFinished());
        QCOMPARE(lockHolder(), programId);  // left behind
        ScriptedDialogs afterwards;
        lm::StartUpResult started = lm::startUp(afterwards);
        LM_VERIFY_DIALOGS(afterwards);
        QVERIFY(started.window);
        QCOMPARE(lockHolder(), QCoreApplication::applicationPid());
    }
    // A lock file found at start-up is taken over only when its window is gone:
    // it names a process that has ended, or it names no one and is not being
    // written just now. A running window keeps its lock however old it is.
    void lockLeftBehindIsJudged_data() {
        const QByteArray host = QSysInfo::machineHostName().toLocal8Bit() + "\n";
        const QByteArray self =
            QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
            QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit() + "\n" +
            host;
        lmtest::addRows<LockRow>({
            {"names a program that has ended", "999999999\nlabelmaker\n" + host, 0, true},
            {"names no one, left a minute ago", QByteArray(), 60, true},
            {"names no one, being written", QByteArray(), 0, false},
            {"names a running window, an hour old", self, 3600, false},
        });
    }
    void lockLeftBehindIsJudged() {
        QFETCH(LockRow, row);
        TempWorkFolder folder;
        folder.writeFile(lm::kWorkFolderLockFile, row.contents);
        QFile lock(QString::fromStdString(folder.filePath(lm::kWorkFolderLockFile)));
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-row.ageSeconds),
                                 QFileDevice::FileModificationTime));
        lock.close();
        ScriptedDialogs dialogs;
        if (!row.takenOver) expectAnotherWindow(dialogs, folder.path(), MessageAnswer::Yes);
        auto window = startWith(folder, settingsForType(lm::kSp1, lm::kBatchPrinting), dialogs);
        QVERIFY(window);
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(window->findChild<lm::WorkFolderLock*>()->held(), row.takenOver);
    }
    // Page 2 of the working file had typed texts when a logout ended the window;
    // the next start asks. Restore shows them on page 2, still to be saved, and
    // Save writes them there; Discard shows page 1 as the file holds it. Either
    // way the kept file goes.
    void keptPageIsOffered_data() {
        lmtest::addRows<RestoreRow>({
            {"Restore", true},
            {"Discard", false},
        });
    }
    void keptPageIsOffered() {
        QFETCH(RestoreRow, row);
        TempWorkFolder folder;
        folder.writeFile(lm::kWorkingLabelFile, numberedLabels(1, 100));
        const std::string working = folder.filePath(lm::kWorkingLabelFile);
        const lm::Settings settings = settingsForType(lm::kSp1, lm::kInteractivePrinting);
        {
            ScriptedDialogs dialogs;
            auto window = startWith(folder, settings, dialogs);
            QVERIFY(window);
            QVERIFY(lm::keepTypedPage(*window).ok());  // nothing typed, nothing kept
            QVERIFY(!QFile::exists(keptFile(folder)));
            trigger(*window, QStringLiteral("mnuPage_NextPage"));
            window->spineControl(2)->setPlainText(QStringLiteral("TYPED\nTWO LINES"));
            window->spineControl(41)->setPlainText(QStringLiteral("LAST~X"));
            QVERIFY(lm::keepTypedPage(*window).ok());
        }
        ScriptedDialogs dialogs;
        dialogs.expectMessage(
            QStringLiteral("Labels typed on page 2 of %1 were not saved. Restore them?")
                .arg(QString::fromStdString(working)),
            MessageButtons::YesNo, MessageIcon::Question,
            row.restore ? MessageAnswer::Yes : MessageAnswer::No);
        auto window = startWith(folder, settings, dialogs);
        QVERIFY(window);
        LM_VERIFY_DIALOGS(dialogs);
        QVERIFY(!QFile::exists(keptFile(folder)));
        const lm::AppState& state = window->state();
        QCOMPARE(state.PageNumber, row.restore ? 2 : 1);
        QCOMPARE(state.PageChanged, row.restore);
        if (!row.restore) {
            QCOMPARE(window->page().spineText(2), std::string("L1"));
            return;
        }
        QCOMPARE(window->page().spineText(2), std::string("TYPED\r\nTWO LINES"));
        QCOMPARE(window->page().spineText(3), std::string("L42"));
        QCOMPARE(window->title(), lm::pageTitle(working, 2, lm::TitleSpacing::TwoSpaces));
        trigger(*window, QStringLiteral("mnuFile_Save"));
        QCOMPARE(folder.readFile(lm::kWorkingLabelFile),
                 numberedLabels(1, 40) + "TYPED\r\nTWO LINES~~" + numberedLabels(42, 79) +
                     "LAST~X~~" + numberedLabels(81, 100));
    }
    // The session's end asks as closing the window does (the save through the
    // Save dialog is closing's own). No lets the session end, and the signal
    // that follows keeps the page only once it is typed on again; Cancel keeps
    // the session, and the signal keeps the page.
    void sessionEndAsksTheSaveQuestion_data() {
        lmtest::addRows<SessionAnswerRow>({
            {"No", MessageAnswer::No, lm::SessionAnswer::Declined},
            {"Cancel", MessageAnswer::Cancel, lm::SessionAnswer::Stay},
        });
    }
    void sessionEndAsksTheSaveQuestion() {
        QFETCH(SessionAnswerRow, row);
        StartedWindow started(settingsForType(lm::kSp1, lm::kBatchPrinting));
        QVERIFY(started.window);
        lm::Forms1& window = *started.window;
        window.spineControl(2)->setPlainText(QStringLiteral("TYPED"));
        started.dialogs.expectMessage(lm::kPageChangedQuestion, MessageButtons::YesNoCancel,
                                      MessageIcon::Question, row.answer);
        const lm::SessionAnswer given = lm::answerSessionEnd(window);
        LM_VERIFY_DIALOGS(started.dialogs);
        QCOMPARE(int(given), int(row.expected));

        const std::optional<lm::TypedPage> declined =
            given == lm::SessionAnswer::Declined ? lm::typedPageOf(window) : std::nullopt;
        QVERIFY(lm::keepTypedPage(window, declined).ok());
        QCOMPARE(QFile::exists(keptFile(started.folder)), given == lm::SessionAnswer::Stay);
        window.spineControl(3)->setPlainText(QStringLiteral("MORE"));
        QVERIFY(lm::keepTypedPage(window, declined).ok());
        QVERIFY(QFile::exists(keptFile(started.folder)));
    }
};

QTEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"

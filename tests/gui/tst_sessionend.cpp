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
#include "app/typedpagerestore.h"
#include "app/workfolderlock.h"
#include "core/labeltypes.h"
#include "core/typedpage.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "store/savecommands.h"
#include "testdata.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

QByteArray labels(int from, int to) {
    QByteArray bytes;
    for (int i = from; i <= to; ++i) bytes += "L" + QByteArray::number(i) + "~~";
    return bytes;
}

void expectAnotherWindow(ScriptedDialogs& dialogs, const QString& folder, MessageAnswer answer) {
    dialogs.expectMessage(lm::anotherWindowQuestion(folder), MessageButtons::YesNo,
                          MessageIcon::Exclamation, answer);
}

QString keptFile(const TempWorkFolder& folder) {
    return QDir(folder.path()).filePath(QString::fromLatin1(lm::kTypedPageFile));
}

}  // namespace

class TestSessionEnd : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void secondWindowIsTold_data();
    void secondWindowIsTold();
    void lockOfAKilledWindowIsTakenOver();
    void lockLeftBehindIsJudged_data();
    void lockLeftBehindIsJudged();
    void keptPageIsOffered_data();
    void keptPageIsOffered();
    void keptPageThatCannotBeShownStays_data();
    void keptPageThatCannotBeShownStays();
    void sessionEndAsksTheSaveQuestion_data();
    void sessionEndAsksTheSaveQuestion();
};

void TestSessionEnd::initTestCase() {
    QCOMPARE(lm::anotherWindowQuestion(QStringLiteral("/home/ann/qortex")),
             QStringLiteral("Another Label Maker window is working in folder /home/ann/qortex. "
                            "Do you want to continue?"));
}

// Yes starts the second window beside the first; No ends start-up with
// status 0. Once the first window is gone, a window starts without a word.
void TestSessionEnd::secondWindowIsTold_data() {
    QTest::addColumn<bool>("goOn");
    QTest::newRow("continue") << true;
    QTest::newRow("quit") << false;
}

void TestSessionEnd::secondWindowIsTold() {
    QFETCH(bool, goOn);
    StartedWindow first(settingsForType(lm::kSp1, lm::kInteractivePrinting), labels(1, 3));
    QVERIFY(first.window);
    ScriptedDialogs dialogs;
    expectAnotherWindow(dialogs, first.folder.path(),
                        goOn ? MessageAnswer::Yes : MessageAnswer::No);
    lm::StartUpResult second = lm::startUp(dialogs);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(bool(second.window), goOn);
    QCOMPARE(second.exitCode, 0);
    if (goOn) QCOMPARE(second.window->page().spineText(2), std::string("L1"));
    second.window.reset();
    first.window.reset();
    ScriptedDialogs later;
    lm::StartUpResult third = lm::startUp(later);
    LM_VERIFY_DIALOGS(later);
    QVERIFY(third.window);
}

// The real program holds the folder; killed, it leaves its lock behind, and
// the next window takes it over.
void TestSessionEnd::lockOfAKilledWindowIsTakenOver() {
    TempWorkFolder folder;
    folder.writeSettings(settingsForType(lm::kSp1, lm::kBatchPrinting));
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QORTEX_DIR"), folder.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(LM_BIN_DIR "/labelmaker"), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    const QString lockFile =
        QDir(folder.path()).filePath(QString::fromLatin1(lm::kWorkFolderLockFile));
    // Up once its lock names it.
    const qint64 programId = program.processId();
    auto lockHolder = [&] {
        qint64 pid = 0;
        QString host, name;
        return QLockFile(lockFile).getLockInfo(&pid, &host, &name) ? pid : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(), programId, 60000);

    ScriptedDialogs whileItRuns;
    expectAnotherWindow(whileItRuns, folder.path(), MessageAnswer::No);
    QVERIFY(!lm::startUp(whileItRuns).window);
    LM_VERIFY_DIALOGS(whileItRuns);

    QCOMPARE(::kill(pid_t(program.processId()), SIGKILL), 0);
    QVERIFY(program.waitForFinished());
    QCOMPARE(lockHolder(), programId);  // left behind
    ScriptedDialogs afterwards;
    lm::StartUpResult started = lm::startUp(afterwards);
    LM_VERIFY_DIALOGS(afterwards);
    QVERIFY(started.window);
    // This window holds the folder now.
    ScriptedDialogs next;
    expectAnotherWindow(next, folder.path(), MessageAnswer::No);
    QVERIFY(!lm::startUp(next).window);
    LM_VERIFY_DIALOGS(next);
}

// A lock file found at start-up is taken over only when its window is gone:
// it names a process that has ended, or it names no one and is not being
// written just now. A running window keeps its lock however old it is.
void TestSessionEnd::lockLeftBehindIsJudged_data() {
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("takenOver");
    const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
    const QByteArray self =
        QByteArray::number(QCoreApplication::applicationPid()) + "\n" +
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit() + "\n" + host +
        "\n";
    QTest::newRow("names a program that has ended") << "999999999\nlabelmaker\n" + host + "\n"
                                                    << 0 << true;
    QTest::newRow("names no one, left a minute ago") << QByteArray() << 60 << true;
    QTest::newRow("names no one, being written") << QByteArray() << 0 << false;
    QTest::newRow("names a running window, an hour old") << self << 3600 << false;
}

void TestSessionEnd::lockLeftBehindIsJudged() {
    QFETCH(QByteArray, contents);
    QFETCH(int, ageSeconds);
    QFETCH(bool, takenOver);
    TempWorkFolder folder;
    folder.writeFile(lm::kWorkFolderLockFile, contents);
    QFile lock(QString::fromStdString(folder.filePath(lm::kWorkFolderLockFile)));
    QVERIFY(lock.open(QIODevice::ReadWrite));
    QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime));
    lock.close();
    ScriptedDialogs dialogs;
    if (!takenOver) expectAnotherWindow(dialogs, folder.path(), MessageAnswer::Yes);
    auto window = startWith(folder, settingsForType(lm::kSp1, lm::kBatchPrinting), dialogs);
    QVERIFY(window);
    LM_VERIFY_DIALOGS(dialogs);
    auto* held = window->findChild<lm::WorkFolderLock*>();
    QVERIFY(held);
    QCOMPARE(held->held(), takenOver);
}

// Page 2 of the working file had typed texts when a logout ended the window;
// the next start asks, and Restore shows them on page 2, still to be saved.
void TestSessionEnd::keptPageIsOffered_data() {
    QTest::addColumn<bool>("restore");
    QTest::addColumn<int>("printing");
    QTest::newRow("Restore") << true << int(lm::kInteractivePrinting);
    QTest::newRow("Restore with Batch printing") << true << int(lm::kBatchPrinting);
    QTest::newRow("Discard") << false << int(lm::kInteractivePrinting);
}

void TestSessionEnd::keptPageIsOffered() {
    QFETCH(bool, restore);
    QFETCH(int, printing);
    TempWorkFolder folder;
    folder.writeFile(lm::kWorkingLabelFile, labels(1, 100));
    const std::string working = folder.filePath(lm::kWorkingLabelFile);
    {
        ScriptedDialogs dialogs;
        auto window =
            startWith(folder, settingsForType(lm::kSp1, lm::kInteractivePrinting), dialogs);
        QVERIFY(window);
        // Nothing typed, nothing kept.
        QVERIFY(lm::keepTypedPage(*window).ok());
        QVERIFY(!QFile::exists(keptFile(folder)));
        trigger(*window, QStringLiteral("mnuPage_NextPage"));
        window->spineControl(2)->setPlainText(QStringLiteral("TYPED\nTWO LINES"));
        window->spineControl(41)->setPlainText(QStringLiteral("LAST~X"));
        QVERIFY(lm::keepTypedPage(*window).ok());
        LM_VERIFY_DIALOGS(dialogs);
    }
    QVERIFY(QFile::exists(keptFile(folder)));

    ScriptedDialogs dialogs;
    dialogs.expectMessage(
        QStringLiteral("Labels typed on page 2 of %1 were not saved. Restore them?")
            .arg(QString::fromStdString(working)),
        MessageButtons::YesNo, MessageIcon::Question,
        restore ? MessageAnswer::Yes : MessageAnswer::No);
    auto window = startWith(folder, settingsForType(lm::kSp1, printing), dialogs);
    QVERIFY(window);
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(!QFile::exists(keptFile(folder)));
    const lm::AppState& state = window->state();
    if (!restore) {
        QCOMPARE(state.PageNumber, 1);
        QCOMPARE(window->page().spineText(2), std::string("L1"));
        QVERIFY(!state.PageChanged);
        return;
    }
    QCOMPARE(state.CurrentFileName, working);
    QCOMPARE(state.PageNumber, 2);
    QCOMPARE(state.PageStartPosition, int(labels(1, 40).size()) + 1);
    QCOMPARE(window->page().spineText(2), std::string("TYPED\r\nTWO LINES"));
    QCOMPARE(window->page().spineText(3), std::string("L42"));
    QCOMPARE(window->page().spineText(41), std::string("LAST~X"));
    QVERIFY(state.PageChanged);
    QCOMPARE(window->title(), lm::pageTitle(working, 2, lm::TitleSpacing::TwoSpaces));
    // Saving writes the typed texts over page 2, and nothing else changes.
    trigger(*window, QStringLiteral("mnuFile_Save"));
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(
        folder.readFile(lm::kWorkingLabelFile),
        labels(1, 40) + "TYPED\r\nTWO LINES~~" + labels(42, 79) + "LAST~X~~" + labels(81, 100));
}

// A kept page that cannot be shown is reported, and stays for another start.
void TestSessionEnd::keptPageThatCannotBeShownStays_data() {
    QTest::addColumn<QByteArray>("kept");
    QTest::addColumn<bool>("asks");
    QTest::addColumn<QString>("report");  // %1 the kept file
    lm::TypedPage sl4;
    sl4.fileName = "a.dat";
    sl4.pageNumber = 1;
    sl4.labelType = lm::kSl4;
    sl4.spineTexts = {"A"};
    QTest::newRow("damaged")
        << QByteArray("QA 76~~") << false
        << "The labels kept from an earlier run in %1 cannot be read.\r\n\r\nIt is not a page of "
           "labels kept by the Label Maker, or it is damaged.";
    QTest::newRow("typed for another label type")
        << QByteArray::fromStdString(lm::encodeTypedPage(sl4)) << true
        << "The labels typed on page 1 of a.dat cannot be shown; they stay kept in %1.\r\n\r\n"
           "The labels were typed on a page of label type 3, and the page shown now is of type 1.";
}

void TestSessionEnd::keptPageThatCannotBeShownStays() {
    QFETCH(QByteArray, kept);
    QFETCH(bool, asks);
    QFETCH(QString, report);
    TempWorkFolder folder;
    folder.writeFile(lm::kTypedPageFile, kept);
    ScriptedDialogs dialogs;
    if (asks)
        dialogs.expectMessage(
            QStringLiteral("Labels typed on page 1 of a.dat were not saved. Restore them?"),
            MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes);
    dialogs.expectOk(report.arg(keptFile(folder)), MessageIcon::Critical);
    auto window = startWith(folder, settingsForType(lm::kSp1, lm::kBatchPrinting), dialogs);
    QVERIFY(window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile(lm::kTypedPageFile), kept);
    QVERIFY(!window->state().PageChanged);
}

// The session's end asks as closing the window does. Yes saves through the
// Save dialog; No lets the session end, and the page is then not kept at
// the signal that follows; Cancel (or a cancelled dialog) keeps the session.
void TestSessionEnd::sessionEndAsksTheSaveQuestion_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("expected");
    QTest::newRow("Yes, saved") << "Yes" << int(lm::SessionAnswer::Saved);
    QTest::newRow("Yes, dialog cancelled") << "Yes, cancelled" << int(lm::SessionAnswer::Stay);
    QTest::newRow("No") << "No" << int(lm::SessionAnswer::Declined);
    QTest::newRow("Cancel") << "Cancel" << int(lm::SessionAnswer::Stay);
}

void TestSessionEnd::sessionEndAsksTheSaveQuestion() {
    QFETCH(QString, answer);
    QFETCH(int, expected);
    StartedWindow started(settingsForType(lm::kSp1, lm::kBatchPrinting));
    QVERIFY(started.window);
    lm::Forms1& window = *started.window;
    window.spineControl(2)->setPlainText(QStringLiteral("TYPED"));
    const QString saved = started.folder.path() + QStringLiteral("/kept.dat");
    started.dialogs.expectMessage(lm::kPageChangedQuestion, MessageButtons::YesNoCancel,
                                  MessageIcon::Question,
                                  answer.startsWith(u"Yes") ? MessageAnswer::Yes
                                  : answer == u"No"         ? MessageAnswer::No
                                                            : MessageAnswer::Cancel);
    if (answer.startsWith(u"Yes"))
        started.dialogs.expectSaveFile(
            lm::kSaveDialogTitle, lm::kSaveDialogFilter,
            answer == u"Yes" ? std::optional<QString>(saved) : std::nullopt);
    const lm::SessionAnswer given = lm::answerSessionEnd(window);
    LM_VERIFY_DIALOGS(started.dialogs);
    QCOMPARE(int(given), expected);
    QCOMPARE(QFile::exists(saved), answer == u"Yes");
    if (answer == u"Yes")
        QCOMPARE(started.folder.readFile("kept.dat").left(7), QByteArray("TYPED~~"));

    // What the signal after the session's end keeps.
    const std::optional<lm::TypedPage> declined =
        given == lm::SessionAnswer::Declined ? lm::typedPageOf(window) : std::nullopt;
    QVERIFY(lm::keepTypedPage(window, declined).ok());
    QCOMPARE(QFile::exists(keptFile(started.folder)), given == lm::SessionAnswer::Stay);
    // Typed on after No, the page is kept again.
    if (given == lm::SessionAnswer::Declined) {
        window.spineControl(3)->setPlainText(QStringLiteral("MORE"));
        QVERIFY(lm::keepTypedPage(window, declined).ok());
        QVERIFY(QFile::exists(keptFile(started.folder)));
    }
}

QTEST_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"

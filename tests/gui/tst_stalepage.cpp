// The page on display when another program changes, replaces or deletes its
// label file, or is writing it at the moment of a save: the window never
// writes or reads at the old positions, asks the operator, and each answer
// leaves exactly the bytes it promises.

#include <QAbstractButton>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "testdata.h"

using lm::Forms1;
using lm::MessageIcon;

namespace {

const QString kSaveTitle = QStringLiteral("Save Label File");
const QString kSaveFilter = QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*");
constexpr int kType = lm::kSp1;
constexpr int kSets = 100;

enum Answer { Replace, Reload, SaveAsNew, Cancel };
// What the operator does after typing: Save, Next Page (which saves first),
// or Save As to another name.
enum Action { Save, NextPage, SaveAs };

// Another program's change to the label file.
enum class Change { Grown, Shrunk, Deleted };

// The first label is a long one, so that deleting it moves the later page
// starts further than any one label of theirs is long.
QList<QByteArray> startTexts() {
    QList<QByteArray> texts = labelSetTexts(kType, kSets);
    texts[0] = "S1 QA76.73\r\n.S77 2013\r\nc.2";
    return texts;
}

QByteArray readWhole(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Runs labelmaker-cli on the file, as a second program would.
void runCli(const QString& arguments, const QString& path) {
    QProcess cli;
    cli.start(QStringLiteral(LM_BIN_DIR "/labelmaker-cli"), arguments.split(QLatin1Char(' '))
                                                                << path);
    QVERIFY(cli.waitForFinished(60000));
    QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
}

// Makes the change; returns the texts the file holds afterwards (none when
// it is gone).
QList<QByteArray> change(Change kind, const QString& path) {
    QList<QByteArray> texts = startTexts();
    switch (kind) {
        case Change::Grown:
            runCli(QStringLiteral("insert-blank --type 1 --page 1 --label 2 --count 2"), path);
            texts.insert(0, 2, QByteArray("<Blank>"));
            break;
        case Change::Shrunk:
            runCli(QStringLiteral("delete --type 1 --page 1 --label 2"), path);
            texts.removeFirst();
            break;
        case Change::Deleted:
            QFile::remove(path);
            return {};
    }
    return texts;
}

// sp1 page 2 on display with S42 typed over to S42x.
struct Session : StartedWindow {
    Session()
        : StartedWindow(settingsForType(kType, lm::kInteractivePrinting),
                        labelFileBytes(startTexts())) {}
    QString path() const { return QString::fromStdString(folder.filePath(lm::kWorkingLabelFile)); }
    QByteArray file() const { return readWhole(path()); }
    void toPage(int page, bool typed) {
        for (int p = 2; p <= page; ++p) window->button(QStringLiteral("Command1"))->click();
        QCOMPARE(window->state().PageNumber, page);
        if (typed) typeInto(window->spineControl(3), QStringLiteral("x"));
    }
    void toPageTwo(bool typed) { toPage(2, typed); }
    QList<QByteArray> typedPage() const {
        QList<QByteArray> page = pageTexts(kType, startTexts(), 2);
        page[1] += "x";
        return page;
    }
    void expectQuestion(bool gone, int answer) {
        const QString text =
            gone ? QStringLiteral(
                       "The label file %1 no longer exists: another program has "
                       "deleted or moved it since page 2 was read.")
                       .arg(path())
                 : QStringLiteral(
                       "The label file %1 has been changed by another program since "
                       "page 2 was read.")
                       .arg(path());
        QStringList choices;
        if (!gone) choices << QStringLiteral("Replace page 2") << QStringLiteral("Reload page 2");
        choices << QStringLiteral("Save this page as a new file\u2026") << QStringLiteral("Cancel");
        dialogs.expectChoice(text, MessageIcon::Exclamation, choices,
                             gone && answer != Cancel ? 0
                             : gone                   ? 1
                                                      : answer);
    }
};

// Holds the lock a writer takes on the file.
class HeldLock {
  public:
    explicit HeldLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~HeldLock() {
        if (m_fd >= 0) ::close(m_fd);
    }
    bool held() const { return m_fd >= 0; }

  private:
    int m_fd;
};

QByteArray ownProgramName() {
    QFile comm(QStringLiteral("/proc/self/comm"));
    comm.open(QIODevice::ReadOnly);
    return comm.readAll().trimmed();
}

}  // namespace

Q_DECLARE_METATYPE(Change)

class TestStalePage : public QObject {
    Q_OBJECT
  private slots:
    void changedFileAsksBeforeTheSave_data() {
        QTest::addColumn<Change>("kind");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("action");
        QTest::newRow("grown, Replace") << Change::Grown << int(Replace) << int(Save);
        QTest::newRow("grown, Reload") << Change::Grown << int(Reload) << int(Save);
        QTest::newRow("grown, Save as new") << Change::Grown << int(SaveAsNew) << int(Save);
        QTest::newRow("grown, Cancel") << Change::Grown << int(Cancel) << int(Save);
        QTest::newRow("shrunk, Replace") << Change::Shrunk << int(Replace) << int(Save);
        QTest::newRow("grown, Next Page, Replace")
            << Change::Grown << int(Replace) << int(NextPage);
        QTest::newRow("shrunk, Next Page, Cancel")
            << Change::Shrunk << int(Cancel) << int(NextPage);
        QTest::newRow("shrunk, Next Page, Reload")
            << Change::Shrunk << int(Reload) << int(NextPage);
        QTest::newRow("grown, Save As, Replace") << Change::Grown << int(Replace) << int(SaveAs);
        QTest::newRow("deleted, Save as new") << Change::Deleted << int(SaveAsNew) << int(Save);
        QTest::newRow("deleted, Cancel") << Change::Deleted << int(Cancel) << int(Save);
        QTest::newRow("deleted, Save As, Cancel") << Change::Deleted << int(Cancel) << int(SaveAs);
    }
    // Page 2 typed on, then another program changes the file, then Save (or
    // Next Page, which saves first, or Save As, which copies the rest of the
    // file too). The question comes; Replace writes the typed page over page 2
    // of the file as it now is; Reload shows that page and writes nothing; Save
    // this page as a new file… writes the typed page alone under a new name;
    // Cancel writes nothing and keeps the typed page.
    void changedFileAsksBeforeTheSave() {
        QFETCH(Change, kind);
        QFETCH(int, answer);
        QFETCH(int, action);
        Session s;
        QVERIFY(s.window);
        s.toPageTwo(true);
        const QList<QByteArray> now = change(kind, s.path());
        const QByteArray nowBytes =
            kind == Change::Deleted ? QByteArray("<missing>") : labelFileBytes(now);
        const bool gone = kind == Change::Deleted;
        const QString newFile = s.folder.path() + QStringLiteral("/page-alone.dat");
        const QString otherName = s.folder.path() + QStringLiteral("/saved-as.dat");
        if (action == SaveAs) s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, otherName);
        s.expectQuestion(gone, answer);
        if (answer == SaveAsNew) s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, newFile);

        if (action == NextPage)
            s.window->button(QStringLiteral("Command1"))->click();
        else
            trigger(*s.window, action == SaveAs ? QStringLiteral("mnuFile_SaveAs")
                                                : QStringLiteral("mnuFile_Save"));
        LM_VERIFY_DIALOGS(s.dialogs);
        const bool byNextPage = action == NextPage;
        // Save As writes the other name; the file itself stays as the other
        // program left it.
        const QString written = action == SaveAs ? otherName : s.path();
        if (action == SaveAs) QCOMPARE(s.file(), nowBytes);

        const lm::AppState& state = s.window->state();
        switch (answer) {
            case Replace: {
                QList<QByteArray> expected = now.mid(0, 40) + s.typedPage() + now.mid(80);
                QCOMPARE(readWhole(written), labelFileBytes(expected));
                QCOMPARE(QString::fromStdString(state.CurrentFileName), written);
                QCOMPARE(state.PageNumber, byNextPage ? 3 : 2);
                QCOMPARE(shownTexts(*s.window),
                         byNextPage ? pageTexts(kType, expected, 3) : s.typedPage());
                QVERIFY(!state.PageChanged);
                break;
            }
            case Reload:
                QCOMPARE(s.file(), nowBytes);
                QCOMPARE(state.PageNumber, 2);
                QCOMPARE(shownTexts(*s.window), pageTexts(kType, now, 2));
                QVERIFY(!state.PageChanged);
                QCOMPARE(s.window->windowTitle(), titleOf(s.path(), 2, true));
                break;
            case SaveAsNew:
                QCOMPARE(s.file(), nowBytes);
                QCOMPARE(readWhole(newFile), labelFileBytes(s.typedPage()));
                QCOMPARE(QString::fromStdString(state.CurrentFileName), newFile);
                QCOMPARE(state.PageNumber, 1);
                QCOMPARE(s.window->windowTitle(), titleOf(newFile, 1, false));
                QCOMPARE(shownTexts(*s.window), s.typedPage());
                QVERIFY(!state.PageChanged);
                break;
            case Cancel:
                QCOMPARE(s.file(), nowBytes);
                QVERIFY(!QFile::exists(otherName));
                QCOMPARE(QString::fromStdString(state.CurrentFileName), s.path());
                QCOMPARE(state.PageNumber, 2);
                QCOMPARE(shownTexts(*s.window), s.typedPage());
                QVERIFY(state.PageChanged);
                break;
        }
    }
    void unchangedPageMovesToThePageAsItIsNow_data() {
        QTest::addColumn<Change>("kind");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("forwards");
        QTest::newRow("grown, Next Page") << Change::Grown << 2 << true;
        QTest::newRow("shrunk, Next Page") << Change::Shrunk << 2 << true;
        QTest::newRow("grown, Previous Page") << Change::Grown << 3 << false;
        QTest::newRow("shrunk, Previous Page") << Change::Shrunk << 3 << false;
    }
    // Nothing typed, the file changed: the page move shows the next (or
    // previous) page as the file now holds it, found from its start, never a
    // page that begins in the middle of a label. Nothing is written.
    void unchangedPageMovesToThePageAsItIsNow() {
        QFETCH(Change, kind);
        QFETCH(int, from);
        QFETCH(bool, forwards);
        Session s;
        QVERIFY(s.window);
        s.toPage(from, false);
        const QList<QByteArray> now = change(kind, s.path());
        s.window->button(forwards ? QStringLiteral("Command1") : QStringLiteral("Command2"))
            ->click();
        LM_VERIFY_DIALOGS(s.dialogs);
        const int page = forwards ? from + 1 : from - 1;
        QCOMPARE(s.window->state().PageNumber, page);
        QCOMPARE(shownTexts(*s.window), pageTexts(kType, now, page));
        QCOMPARE(s.file(), labelFileBytes(now));
        QCOMPARE(s.window->windowTitle(), titleOf(s.path(), page, true));
        // The page starts found afresh: paging back from here agrees with the file.
        if (page > 1) {
            s.window->button(QStringLiteral("Command2"))->click();
            QCOMPARE(shownTexts(*s.window), pageTexts(kType, now, page - 1));
        }
    }
    void busyFileIsReportedAndThePageKept_data() {
        QTest::addColumn<bool>("clear");
        QTest::newRow("Save") << false;
        QTest::newRow("Clear") << true;
    }
    // Another program holds the file while the operator saves or clears it:
    // after the wait the window says the file is busy and who holds it, writes
    // nothing, and the typed page stays on display, changed.
    void busyFileIsReportedAndThePageKept() {
        QFETCH(bool, clear);
        Session s;
        QVERIFY(s.window);
        s.window->state().FileLockWaitMs = 200;
        s.toPageTwo(true);
        HeldLock lock(s.path());
        QVERIFY(lock.held());
        const QString busy = QStringLiteral(
                                 "The file is in use by %1 (process %2), and it was still "
                                 "in use after 1 second.")
                                 .arg(QString::fromLatin1(ownProgramName()))
                                 .arg(QCoreApplication::applicationPid());
        if (clear) {
            s.dialogs.expectMessage(
                QStringLiteral("You will lose all the labels in the file, %1. Do "
                               "you want to continue?")
                    .arg(s.path()),
                lm::MessageButtons::YesNo, MessageIcon::Exclamation, lm::MessageAnswer::Yes);
            s.dialogs.expectOk(
                QStringLiteral("The label file %1 could not be cleared.\r\n\r\n").arg(s.path()) +
                    busy,
                MessageIcon::Critical);
        } else {
            s.dialogs.expectOk(
                QStringLiteral("The labels could not be saved in %1.\r\n\r\n").arg(s.path()) + busy,
                MessageIcon::Critical);
        }
        trigger(*s.window,
                clear ? QStringLiteral("mnuFile_Clear") : QStringLiteral("mnuFile_Save"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.file(), labelFileBytes(startTexts()));
        QCOMPARE(shownTexts(*s.window), s.typedPage());
        QVERIFY(s.window->state().PageChanged);
        QCOMPARE(QString::fromStdString(s.window->state().CurrentFileName), s.path());
    }
    void fileWithSeveralNames_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("write in place") << true;
        QTest::newRow("cancel") << false;
    }
    // The working file has a second name: the save says so first. Writing in
    // place changes the one file under both names; Cancel writes nothing.
    void fileWithSeveralNames() {
        QFETCH(bool, inPlace);
        Session s;
        QVERIFY(s.window);
        const QString other = s.folder.path() + QStringLiteral("/other-name.dat");
        QCOMPARE(
            ::link(QFile::encodeName(s.path()).constData(), QFile::encodeName(other).constData()),
            0);
        s.toPageTwo(true);
        s.dialogs.expectChoice(
            QStringLiteral(
                "The label file %1 has 2 names (hard links). Saving it the safe way would "
                "give this name a new file of its own and leave the labels under the other "
                "names as they are.")
                .arg(s.path()),
            MessageIcon::Exclamation,
            {QStringLiteral("Write in place (the old, unsafe way)"), QStringLiteral("Cancel")},
            inPlace ? 0 : 1);
        trigger(*s.window, QStringLiteral("mnuFile_Save"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QList<QByteArray> expected = startTexts();
        if (inPlace) expected[41] += "x";
        QCOMPARE(s.file(), labelFileBytes(expected));
        QCOMPARE(readWhole(other), labelFileBytes(expected));
        QCOMPARE(s.window->state().PageChanged, !inPlace);
    }
};

QTEST_MAIN(TestStalePage)
#include "tst_stalepage.moc"

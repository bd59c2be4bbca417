// Every command that writes a file, with the disk failing at each stage of
// each of its writes, with read-only folders and files, and with the program
// killed in the middle of a save. Afterwards each file is either exactly as
// it was or exactly what the command meant to write, no scratch file is left,
// and the operator has been told which file failed and why.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <map>
#include <memory>

#include "app/forms1.h"
#include "app/workfolderlock.h"
#include "core/atomicfile.h"
#include "core/labelfilelock.h"
#include "core/labeltypes.h"
#include "core/result.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "testdata.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;
using Writer = lm::AtomicFileWriter;
using Stage = lm::AtomicFileWriter::Stage;

namespace {

enum class Command { Save, Import, Extract, Clear, Setup };
// Injected: the writer seam fails one write at one stage, as a disk that
// fills up there would. FullDisk and NoInodes fill a real small disk.
enum class Fault { Injected, ReadOnlyFile, ReadOnlyFolder, FullDisk, NoInodes };

const char* const kExtractResult = "NewFileMultiple_3.dat";
const QByteArray kEarlier = "earlier~~";

QString reason(int errorNumber) {
    return QString::fromStdString(lm::systemReason(errorNumber)) + QLatin1Char('.');
}

QString dataFile(const char* name) {
    return QStringLiteral(LM_TEST_DATA_DIR "/import/") + QLatin1String(name);
}

int scratchFiles(const QString& folder) {
    int count = 0;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        if (lm::isScratchFileName(QFile::encodeName(name).toStdString())) ++count;
    return count;
}

// A small tmpfs of its own over a folder: a disk that really fills up, runs
// out of file entries, or is read-only. Needs the right to mount (root).
class SmallDisk {
  public:
    ~SmallDisk() {
        if (m_mounted) umount2(m_at.constData(), MNT_DETACH);
    }
    bool mount(const QString& at, const char* options) {
        m_at = QFile::encodeName(at);
        m_mounted = ::mount("tmpfs", m_at.constData(), "tmpfs", 0, options) == 0;
        return m_mounted;
    }
    bool makeReadOnly() {
        return ::mount("tmpfs", m_at.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Fills the data space (entries still free) or the entries.
    void fillData() {
        QFile filler(QString::fromLocal8Bit(m_at) + QStringLiteral("/filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    void fillEntries() {
        for (int i = 0;; ++i) {
            QFile entry(QString::fromLocal8Bit(m_at) + QStringLiteral("/entry%1").arg(i));
            if (!entry.open(QIODevice::WriteOnly)) break;
        }
    }

  private:
    QByteArray m_at;
    bool m_mounted = false;
};

// One command in a working folder of its own: sl4 labels, interactive
// printing, and an earlier result for every file the commands write. The
// working file is larger than the writer's buffer, so that a save can fail
// in the middle of writing as well as at the end.
struct Scene {
    explicit Scene(Fault fault) {
        if (fault == Fault::ReadOnlyFolder && geteuid() == 0)
            mounted = disk.mount(folder.path(), "size=8m");
        if (fault == Fault::FullDisk) mounted = disk.mount(folder.path(), "size=8m");
        if (fault == Fault::NoInodes) mounted = disk.mount(folder.path(), "size=8m,nr_inodes=32");
        folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(labelSetTexts(lm::kSl4, 60000)));
        folder.writeFile(lm::kCounterFile, "12\r\n");
        folder.writeFile(lm::kImportResultFile, kEarlier);
        folder.writeFile(kExtractResult, kEarlier);
        window = startWith(folder, settingsForType(lm::kSl4, lm::kInteractivePrinting), dialogs);
    }
    QString path(const char* name) const { return QString::fromStdString(folder.filePath(name)); }

    TempWorkFolder folder;
    SmallDisk disk;
    bool mounted = false;
    ScriptedDialogs dialogs;
    std::unique_ptr<lm::Forms1> window;
};

// The prompts before the command writes, answered to go on.
void expectPromptsBefore(Command command, ScriptedDialogs& dialogs) {
    const QString filter =
        QStringLiteral("Label Files (*.dat; *.txt)|*.dat;*.txt|All Files (*.*)|*.*");
    switch (command) {
        case Command::Save:
            break;
        case Command::Import:
            dialogs.expectOpenFile(QStringLiteral("Import Connecxion Client Label File"), filter,
                                   dataFile("connexion_client_sl4.txt"));
            break;
        case Command::Extract:
            dialogs.expectOpenFile(
                QStringLiteral("Import Connexion Label File"),
                QStringLiteral("Label Files (*.dat;*.txt)|*.dat;*.txt|All Files (*.*)|*.*"),
                dataFile("connexion_multiple.txt"));
            break;
        case Command::Clear:
            dialogs.expectMessage(
                QStringLiteral("You will lose all the labels in the file, %1. Do "
                               "you want to continue?")
                    .arg(QString::fromStdString(lm::workFilePath(lm::kWorkingLabelFile))),
                MessageButtons::YesNo, MessageIcon::Exclamation, MessageAnswer::Yes);
            break;
        case Command::Setup:
            dialogs.expectMessage(QStringLiteral("Do you want to save the change(s)?"),
                                  MessageButtons::YesNoCancel, MessageIcon::Question,
                                  MessageAnswer::Yes);
            break;
    }
}

// What the command says once its writes are done; `failing` is the write
// that fails, -1 for none.
void expectSuccess(Command command, ScriptedDialogs& dialogs, int failing) {
    if (command == Command::Clear && failing != 0)
        dialogs.expectMessage(QStringLiteral("Label file has been cleared!"), MessageButtons::Ok,
                              MessageIcon::Information, MessageAnswer::Ok);
    if (command == Command::Setup && failing < 0)
        dialogs.expectMessage(QStringLiteral("You need to restart the Label Maker."),
                              MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
}

// The report of writer `writer` failing with `errorNumber`.
void expectFailure(Command command, ScriptedDialogs& dialogs, int writer, const QString& file,
                   int errorNumber) {
    QString text;
    switch (command) {
        case Command::Save:
            text = QStringLiteral("The labels could not be saved in %1.\r\n\r\n%2")
                       .arg(file, reason(errorNumber));
            break;
        case Command::Import:
            text = QStringLiteral("The file %1 could not be imported.\r\n\r\n%2: %3")
                       .arg(dataFile("connexion_client_sl4.txt"), file, reason(errorNumber));
            break;
        case Command::Extract:
            text = QStringLiteral("The labels of the file %1 could not be extracted.\r\n\r\n%2: %3")
                       .arg(dataFile("connexion_multiple.txt"), file, reason(errorNumber));
            break;
        case Command::Clear:
            text = (writer == 0
                        ? QStringLiteral("The label file %1 could not be cleared.\r\n\r\n%2")
                        : QStringLiteral("The counter file %1 could not be written.\r\n\r\n%2"))
                       .arg(file, reason(errorNumber));
            break;
        case Command::Setup:
            text = QStringLiteral(
                       "The settings file %1 cannot be written: %2\r\n\r\nThe settings "
                       "have not been changed.")
                       .arg(file, reason(errorNumber));
            break;
    }
    dialogs.expectMessage(text, MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
}

void run(Command command, lm::Forms1& window) {
    switch (command) {
        case Command::Save:
            typeInto(window.spineControl(2), QStringLiteral(" typed"));
            return trigger(window, "mnuFile_Save");
        case Command::Import:
            return trigger(window, "mnuImportConnexionClient");
        case Command::Extract:
            return trigger(window, "mnuImport_ConnItem2");
        case Command::Clear:
            return trigger(window, "mnuFile_Clear");
        case Command::Setup:
            return trigger(window, "mnuSetup_Alignment_Item_2");
    }
}

// The files a command writes, in the order it writes them, with their bytes
// before and after an undisturbed run.
struct Outcome {
    QStringList names;
    QList<QByteArray> before;
    QList<QByteArray> after;
    QStringList problems;
};

const Outcome& undisturbed(Command command) {
    static std::map<Command, Outcome> outcomes;
    auto found = outcomes.find(command);
    if (found != outcomes.end()) return found->second;
    Outcome& outcome = outcomes[command];
    Scene scene(Fault::Injected);
    if (!scene.window) return outcome;
    expectPromptsBefore(command, scene.dialogs);
    expectSuccess(command, scene.dialogs, -1);
    Writer::injectFaultForTesting({Stage::Create, -1, 0, 0});
    QMap<QString, QByteArray> before;
    for (const QString& name : QDir(scene.folder.path()).entryList(QDir::Files | QDir::Hidden))
        before[name] = scene.folder.readFile(QFile::encodeName(name).constData());
    run(command, *scene.window);
    for (const std::string& target : Writer::openedTargetsForTesting()) {
        const QString name = QFileInfo(QString::fromStdString(target)).fileName();
        outcome.names << name;
        outcome.before << before.value(name);
        outcome.after << scene.folder.readFile(QFile::encodeName(name).constData());
    }
    Writer::clearFaultForTesting();
    outcome.problems = scene.dialogs.takeProblems();
    return outcome;
}

const char* commandName(Command command) {
    static const char* const names[] = {"save", "import", "extract", "clear", "setup"};
    return names[int(command)];
}

}  // namespace

Q_DECLARE_METATYPE(Command)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Stage)

class TestFaultMatrix : public QObject {
    Q_OBJECT
  private slots:
    void everyWriteFailureKeepsOldOrNewAndIsReported_data() {
        QTest::addColumn<Command>("command");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("writer");
        QTest::addColumn<Stage>("stage");
        QTest::addColumn<long long>("afterBytes");
        for (Command command :
             {Command::Save, Command::Import, Command::Extract, Command::Clear, Command::Setup}) {
            const Outcome& outcome = undisturbed(command);
            QVERIFY2(outcome.problems.isEmpty(),
                     qPrintable(outcome.problems.join(QLatin1Char('\n'))));
            QVERIFY2(!outcome.names.isEmpty(), commandName(command));
            for (int w = 0; w < outcome.names.size(); ++w) {
                const long long size = outcome.after[w].size();
                auto row = [&](const char* what, Fault fault, Stage stage, long long afterBytes) {
                    QTest::addRow("%s %s %s", commandName(command), qPrintable(outcome.names[w]),
                                  what)
                        << command << fault << w << stage << afterBytes;
                };
                row("create", Fault::Injected, Stage::Create, 0);
                if (size > 0) row("first byte", Fault::Injected, Stage::Write, 0);
                if (size > 1) row("half written", Fault::Injected, Stage::Write, size / 2);
                if (size > 2) row("all but the last byte", Fault::Injected, Stage::Write, size - 1);
                row("sync", Fault::Injected, Stage::Sync, 0);
                row("rename", Fault::Injected, Stage::Rename, 0);
                row("read-only file", Fault::ReadOnlyFile, Stage::Create, 0);
            }
            auto row = [&](const char* what, Fault fault) {
                QTest::addRow("%s %s", commandName(command), what)
                    << command << fault << 0 << Stage::Create << 0LL;
            };
            row("read-only folder", Fault::ReadOnlyFolder);
            row("full disk", Fault::FullDisk);
            row("no free file entries", Fault::NoInodes);
        }
    }
    void everyWriteFailureKeepsOldOrNewAndIsReported() {
        QFETCH(Command, command);
        QFETCH(Fault, fault);
        QFETCH(int, writer);
        QFETCH(Stage, stage);
        QFETCH(long long, afterBytes);
        const Outcome& outcome = undisturbed(command);
        Scene scene(fault);
        QVERIFY(scene.window);
        const bool needsDisk = fault == Fault::FullDisk || fault == Fault::NoInodes ||
                               (fault == Fault::ReadOnlyFolder && geteuid() == 0);
        if (needsDisk && !scene.mounted) QSKIP("this test may not mount a tmpfs of its own");

        // Which write fails, and why. Clearing on a full disk frees the space
        // the counter needs, so there everything gets written.
        int failing = writer;
        int errorNumber = ENOSPC;
        const QString target = scene.path(QFile::encodeName(outcome.names[writer]).constData());
        switch (fault) {
            case Fault::Injected:
                Writer::injectFaultForTesting({stage, writer, afterBytes, ENOSPC});
                break;
            case Fault::ReadOnlyFile:
                QVERIFY(
                    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
                errorNumber = EACCES;
                break;
            case Fault::ReadOnlyFolder:
                if (geteuid() == 0) {
                    // The window's folder lock keeps its file open for writing,
                    // and a remount read-only refuses a file system so held.
                    delete scene.window->findChild<lm::WorkFolderLock*>();
                    QVERIFY(scene.disk.makeReadOnly());
                    errorNumber = EROFS;
                } else {
                    QVERIFY(QFile::setPermissions(scene.folder.path(),
                                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner));
                    errorNumber = EACCES;
                }
                break;
            case Fault::FullDisk:
                scene.disk.fillData();
                if (command == Command::Clear) failing = -1;
                break;
            case Fault::NoInodes:
                scene.disk.fillEntries();
                break;
        }

        const QString titleBefore = scene.window->windowTitle();
        expectPromptsBefore(command, scene.dialogs);
        expectSuccess(command, scene.dialogs, failing);
        if (failing >= 0)
            expectFailure(command, scene.dialogs, failing,
                          scene.path(QFile::encodeName(outcome.names[failing]).constData()),
                          errorNumber);
        run(command, *scene.window);
        const QList<QByteArray> shownAfterCommand = shownTexts(*scene.window);
        Writer::clearFaultForTesting();
        LM_VERIFY_DIALOGS(scene.dialogs);

        // Files written before the failing one hold their new bytes, the rest
        // their old ones: nothing in between, no label lost.
        for (int w = 0; w < outcome.names.size(); ++w) {
            const bool written = failing < 0 || w < failing;
            QCOMPARE(scene.folder.readFile(QFile::encodeName(outcome.names[w]).constData()),
                     written ? outcome.after[w] : outcome.before[w]);
        }
        QCOMPARE(scratchFiles(scene.folder.path()), 0);
        if (failing == 0) {
            // The window still shows what it showed, typed text included.
            QCOMPARE(scene.window->windowTitle(), titleBefore);
            if (command == Command::Save) {
                QVERIFY(scene.window->state().PageChanged);
                QVERIFY(shownAfterCommand.contains(QByteArray("S1 typed")));
            }
        }
        QFile::setPermissions(scene.folder.path(), QFileDevice::ReadOwner |
                                                       QFileDevice::WriteOwner |
                                                       QFileDevice::ExeOwner);
    }
    // A save killed at any moment leaves the old file or the new one. The
    // scratch file of a save killed half way is removed by the next start-up.
    void killedSaveLeavesOldOrNewFileAndStartUpRemovesItsScratch() {
        TempWorkFolder folder;
        // About 16 MiB, so that the save takes long enough to be caught in it.
        const QByteArray old = QByteArray("QA76.73\r\n.S77 2013~~").repeated(800000);
        const QString file = QString::fromStdString(folder.filePath(lm::kWorkingLabelFile));
        QStringList arguments;
        for (const char* argument :
             {"insert-blank", "--type", "3", "--page", "1", "--label", "2", "--count", "1"})
            arguments << QString::fromLatin1(argument);
        arguments << file;
        const QString cli = QStringLiteral(LM_BIN_DIR "/labelmaker-cli");

        folder.writeFile(lm::kWorkingLabelFile, old);
        QProcess whole;
        whole.start(cli, arguments);
        QVERIFY(whole.waitForFinished(60000));
        QCOMPARE(whole.exitCode(), 0);
        const QByteArray saved = folder.readFile(lm::kWorkingLabelFile);
        QVERIFY(saved != old);

        int caughtHalfWay = 0;
        for (int attempt = 0; attempt < 16; ++attempt) {
            folder.writeFile(lm::kWorkingLabelFile, old);
            const int leftBefore = scratchFiles(folder.path());
            QProcess child;
            child.start(cli, arguments);
            QVERIFY(child.waitForStarted());
            if (attempt % 2 == 0) {
                // As soon as the new file exists: freeze the save there, then kill it.
                QVERIFY(QTest::qWaitFor(
                    [&] {
                        return scratchFiles(folder.path()) > leftBefore ||
                               child.state() == QProcess::NotRunning;
                    },
                    60000));
                // A save that has already ended has no process id any more,
                // and kill(0) would stop this test's whole process group.
                if (const qint64 pid = child.processId(); pid > 0) ::kill(pid_t(pid), SIGSTOP);
                if (scratchFiles(folder.path()) > leftBefore && ++caughtHalfWay == 1) {
                    // Frozen half way, the save still holds the label file and its
                    // scratch file: a second writer would wait for it, and a
                    // start-up's clean-up removes the scratch files of the saves
                    // killed before, but not the one of the save still running.
                    lm::Result<lm::FileIdentity> identity = lm::fileIdentityOf(file.toStdString());
                    QVERIFY(identity.ok());
                    std::optional<lm::LockHolder> holder = lm::findLockHolder(*identity);
                    QVERIFY(holder.has_value());
                    QCOMPARE(holder->pid, long(child.processId()));
                    lm::removeStaleScratchFiles(folder.path().toStdString());
                    QCOMPARE(scratchFiles(folder.path()), 1);
                }
            } else {
                QTest::qSleep(int(QRandomGenerator::global()->bounded(200)));
            }
            child.kill();
            QVERIFY(child.waitForFinished(60000));
            const QByteArray after = folder.readFile(lm::kWorkingLabelFile);
            QVERIFY2(
                after == old || after == saved,
                qPrintable(QStringLiteral("attempt %1: %2 bytes").arg(attempt).arg(after.size())));
        }
        QVERIFY2(caughtHalfWay > 0, "no save was killed half way");
        QVERIFY(scratchFiles(folder.path()) > 0);

        ScriptedDialogs dialogs;
        auto window = startWith(folder, settingsForType(lm::kSl4, lm::kBatchPrinting), dialogs);
        QVERIFY(window);
        QCOMPARE(scratchFiles(folder.path()), 0);
    }
};

QTEST_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"

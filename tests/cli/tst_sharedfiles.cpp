// Label files that other programs and other users share: editors running at
// once wait for each other and lose no edit, a file still busy after --wait
// is reported with who holds it, a file with several names is not split
// without being asked, and a group-shared file keeps its group and mode.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "clirun.h"

using clitest::Args;
using clitest::cliProgram;
using clitest::readBytes;
using clitest::runCli;
using clitest::writeBytes;

namespace {

// sp1 labels as libraries print them, numbered, `count` of them.
QByteArray labelFile(int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "QA P" + QByteArray::number(100000 + i).mid(1) + "\r\nL" +
                 QByteArray::number(i % 40) + "~~";
    return bytes;
}

// Editing commands that each leave their own mark, and move what follows
// them, so that every order of applying them gives another file.
const std::vector<Args> kEdits = {
    {"insert-blank", "--type", "1", "--page", "1", "--label", "3", "--count", "1"},
    {"delete", "--type", "1", "--page", "2", "--label", "5"},
    {"series", "--type", "1", "--page", "3", "--label", "2", "--constant1", "Vol. ", "--numbers1",
     "1-2"},
    {"insert-blank", "--type", "1", "--page", "1", "--label", "10", "--count", "2"},
};

Args withFile(Args args, const QString& path) {
    args.push_back(path.toStdString());
    return args;
}

QStringList toArguments(const Args& args) {
    QStringList list;
    for (const std::string& arg : args) list << QString::fromStdString(arg);
    return list;
}

// Scratch files go to memory where the system has it: the test is about
// the order of writers, not the speed of the disk.
QString scratchParent() {
    return QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                              : QDir::tempPath();
}

// Holds an exclusive lock on a file, as a second writer would.
class HeldLock {
  public:
    explicit HeldLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) release();
    }
    ~HeldLock() { release(); }
    bool held() const { return m_fd >= 0; }
    void release() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }

  private:
    int m_fd;
};

struct FileOwner {
    uid_t uid;
    gid_t gid;
    mode_t mode;
    ino_t inode;
};

FileOwner ownerOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return {st.st_uid, st.st_gid, mode_t(st.st_mode & 07777), st.st_ino};
}

}  // namespace

class TestSharedFiles : public QObject {
    Q_OBJECT
  private slots:
    void concurrentEditsLoseNothing_data() {
        QTest::addColumn<int>("editors");
        QTest::addColumn<int>("labels");
        QTest::addColumn<int>("rounds");
        QTest::newRow("2 editors, 12 KB") << 2 << 700 << 200;
        QTest::newRow("4 editors, 12 KB") << 4 << 700 << 200;
        QTest::newRow("2 editors, 1.2 MB") << 2 << 70000 << 200;
        QTest::newRow("4 editors, 1.2 MB") << 4 << 70000 << 200;
    }
    // Several editing commands started at once on one file, round after round:
    // each ends with 0, and the file is always what applying all of them one
    // after another, in one of the possible orders, gives.
    void concurrentEditsLoseNothing() {
        QFETCH(int, editors);
        QFETCH(int, labels);
        QFETCH(int, rounds);
        QTemporaryDir dir(scratchParent() + QStringLiteral("/lm-shared-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("labels.dat"));
        const QByteArray start = labelFile(labels);

        // Every order of the edits, applied one after another.
        std::vector<int> order(editors);
        for (int i = 0; i < editors; ++i) order[i] = i;
        std::map<QByteArray, QString> expected;
        do {
            QVERIFY(writeBytes(path, start));
            QString name;
            for (int edit : order) {
                QCOMPARE(runCli(withFile(kEdits[edit], path)).status, 0);
                name += QString::number(edit);
            }
            expected.emplace(readBytes(path), name);
        } while (std::next_permutation(order.begin(), order.end()));
        int factorial = 1;
        for (int i = 2; i <= editors; ++i) factorial *= i;
        // Some orders give the same file; the edits still tell most apart.
        QVERIFY(int(expected.size()) > factorial / 2);

        std::set<QString> ordersSeen;
        int waited = 0;
        for (int round = 0; round < rounds; ++round) {
            QVERIFY(writeBytes(path, start));
            std::vector<std::unique_ptr<QProcess>> running;
            for (int e = 0; e < editors; ++e) {
                running.push_back(std::make_unique<QProcess>());
                running.back()->start(cliProgram(), toArguments(withFile(kEdits[e], path)));
            }
            for (auto& process : running) {
                QVERIFY(process->waitForFinished(60000));
                QCOMPARE(process->exitStatus(), QProcess::NormalExit);
                const QByteArray err = process->readAllStandardError();
                QVERIFY2(process->exitCode() == 0, err.constData());
                if (err.contains("is in use by")) ++waited;
            }
            const QByteArray result = readBytes(path);
            auto found = expected.find(result);
            QVERIFY2(found != expected.end(),
                     qPrintable(QStringLiteral("round %1: the file is none of the %2 orders of the "
                                               "edits (%3 bytes)")
                                    .arg(round)
                                    .arg(factorial)
                                    .arg(result.size())));
            ordersSeen.insert(found->second);
            QCOMPARE(clitest::folderEntries(dir.path()), QStringList{QStringLiteral("labels.dat")});
        }
        qInfo(
            "%d editors, %d bytes: %d rounds, %d edits applied, none lost; %d waited for another; "
            "%d of the %d different results of the %d orders seen",
            editors, int(start.size()), rounds, rounds * editors, waited, int(ordersSeen.size()),
            int(expected.size()), factorial);
    }
    void busyFileWaitsUpToTheLimit_data() {
        QTest::addColumn<bool>("releasedWhileWaiting");
        QTest::newRow("released while the editor waits") << true;
        QTest::newRow("held longer than --wait") << false;
    }
    // Another writer holds the file: the editor says that it waits, and for
    // whom; it goes on once the file is free, or gives up after --wait seconds
    // with status 1, naming the holder, and leaves the file as it was.
    void busyFileWaitsUpToTheLimit() {
        QFETCH(bool, releasedWhileWaiting);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("labels.dat"));
        const QByteArray start = labelFile(90);
        const QString alone = dir.filePath(QStringLiteral("alone.dat"));
        QVERIFY(writeBytes(alone, start));
        QCOMPARE(runCli(withFile(kEdits[0], alone)).status, 0);
        const QByteArray edited = readBytes(alone);
        QVERIFY(writeBytes(path, start));
        HeldLock lock(path);
        QVERIFY(lock.held());

        QProcess editor;
        Args args = kEdits[0];
        args.insert(args.begin() + 1, {"--wait", releasedWhileWaiting ? "60" : "1"});
        editor.start(cliProgram(), toArguments(withFile(args, path)));
        QByteArray err;
        const QByteArray holder = "(process " + QByteArray::number(qApp->applicationPid()) + ")";
        QVERIFY(QTest::qWaitFor(
            [&] {
                err += editor.readAllStandardError();
                return err.contains("waiting up to") || editor.state() == QProcess::NotRunning;
            },
            60000));
        QVERIFY2(err.contains("is in use by ") && err.contains(holder), err.constData());
        if (releasedWhileWaiting) lock.release();
        QVERIFY(editor.waitForFinished(60000));
        err += editor.readAllStandardError();
        if (releasedWhileWaiting) {
            QCOMPARE(editor.exitCode(), 0);
            QCOMPARE(readBytes(path), edited);
        } else {
            QCOMPARE(editor.exitCode(), 1);
            QVERIFY2(err.contains("still in use after 1 second") && err.contains(holder),
                     err.constData());
            QCOMPARE(readBytes(path), start);
        }
    }
    void fileWithSeveralNames_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("refused without --in-place") << false;
        QTest::newRow("written in place with --in-place") << true;
    }
    // A file with a second name (a hard link): a save by rename would give one
    // name a file of its own. Without --in-place it is refused and both names
    // keep the file; with it the one file changes under both names.
    void fileWithSeveralNames() {
        QFETCH(bool, inPlace);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("labels.dat"));
        const QString other = dir.filePath(QStringLiteral("shelf-copy.dat"));
        const QByteArray start = labelFile(50);
        QVERIFY(writeBytes(path, start));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()),
                 0);
        const ino_t inode = ownerOf(path).inode;

        Args args = kEdits[1];
        if (inPlace) args.insert(args.begin() + 1, "--in-place");
        clitest::CliRun run = runCli(withFile(args, path));
        if (!inPlace) {
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.find("2 names (hard links)") != std::string::npos, run.err.c_str());
            QCOMPARE(readBytes(path), start);
        } else {
            QCOMPARE(run.status, 0);
            QVERIFY(readBytes(path) != start);
            QCOMPARE(readBytes(path).size(), start.size() - labelFile(1).size());
        }
        QCOMPARE(readBytes(other), readBytes(path));
        QCOMPARE(ownerOf(path).inode, inode);
        QCOMPARE(clitest::folderEntries(dir.path()),
                 (QStringList{QStringLiteral("labels.dat"), QStringLiteral("shelf-copy.dat")}));
    }
    // A label file shared by a group: saved by another member of the group, it
    // keeps its group and mode, so its owner can still open it; saved by root,
    // it keeps its owner as well.
    void groupSharedFileKeepsItsGroupAndMode() {
        if (::geteuid() != 0) QSKIP("needs root, to make the users and their group");
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("setpriv is not installed");
        const uid_t owner = 64001, member = 64002;
        const gid_t shared = 64010, memberOwnGroup = 64011;
        QTemporaryDir dir(QStringLiteral("/tmp/lm-group-XXXXXX"));
        QVERIFY(dir.isValid());
        const QByteArray folder = QFile::encodeName(dir.path());
        QCOMPARE(::chown(folder.constData(), 0, shared), 0);
        QCOMPARE(::chmod(folder.constData(), 02770), 0);
        const QString path = dir.filePath(QStringLiteral("labels.dat"));
        QVERIFY(writeBytes(path, labelFile(60)));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), owner, shared), 0);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0660), 0);

        auto runAs = [&](uid_t uid, gid_t gid, const Args& args) {
            QProcess process;
            QStringList arguments{QStringLiteral("--reuid=%1").arg(uid),
                                  QStringLiteral("--regid=%1").arg(gid),
                                  QStringLiteral("--groups=%1").arg(shared), cliProgram()};
            arguments << toArguments(args);
            process.start(QStringLiteral("setpriv"), arguments);
            process.waitForFinished(60000);
            return std::make_pair(process.exitCode(), process.readAllStandardError());
        };
        // The program must be reachable by the other users at all.
        auto [probe, probeErr] = runAs(member, memberOwnGroup, {"--help"});
        if (probe != 0)
            QSKIP(QByteArray("the other user cannot run the tool: " + probeErr).constData());

        auto [status, err] = runAs(member, memberOwnGroup, withFile(kEdits[0], path));
        QVERIFY2(status == 0, err.constData());
        FileOwner after = ownerOf(path);
        QCOMPARE(after.gid, shared);
        QCOMPARE(after.mode, mode_t(0660));
        QCOMPARE(after.uid, member);  // only root may give a file away
        auto [ownerStatus, ownerErr] = runAs(
            owner, owner, withFile({"delete", "--type", "1", "--page", "1", "--label", "2"}, path));
        QVERIFY2(ownerStatus == 0, ownerErr.constData());
        QCOMPARE(ownerOf(path).gid, shared);

        // Root may keep the owner too.
        QCOMPARE(runCli(withFile(kEdits[1], path)).status, 0);
        after = ownerOf(path);
        QCOMPARE(after.uid, owner);
        QCOMPARE(after.gid, shared);
        QCOMPARE(after.mode, mode_t(0660));
    }
};

QTEST_GUILESS_MAIN(TestSharedFiles)
#include "tst_sharedfiles.moc"

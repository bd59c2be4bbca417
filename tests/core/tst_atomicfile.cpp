#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "core/atomicfile.h"
#include "storefixtures.h"
#include "core/workfolder.h"

using lmtest::readBytes;
using lmtest::writeBytes;

namespace {

int fileCount(const QString& folder) {
    return int(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size());
}

}  // namespace

class TestAtomicFile : public QObject {
    Q_OBJECT
private slots:
    void replacesTheWholeFile();
    void keepsThePermissionsOfTheTarget();
    void readOnlyTargetIsRefusedAndKept();
    void readOnlyFolderIsReported();
    void abandonedWriteLeavesNoScratch();
    void staleScratchOfADeadProcessIsRemoved();
    void workFolderIsCreated();
};

void TestAtomicFile::replacesTheWholeFile() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("a.dat"));
    QFile::remove(path);
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("a much longer old content~~");
    }
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "new~~").ok());
    QCOMPARE(readBytes(path), QByteArray("new~~"));
    QCOMPARE(fileCount(dir.path()), 1);
}

void TestAtomicFile::keepsThePermissionsOfTheTarget() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "x").ok());
    QVERIFY(chmod(path.toLocal8Bit().constData(), 0640) == 0);
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "y").ok());
    struct stat st;
    QVERIFY(stat(path.toLocal8Bit().constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 0777), 0640);
}

void TestAtomicFile::readOnlyTargetIsRefusedAndKept() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "old").ok());
    QVERIFY(chmod(path.toLocal8Bit().constData(), 0444) == 0);
    lm::Status status = lm::writeFileAtomically(path.toStdString(), "new");
    QVERIFY(!status.ok());
    QCOMPARE(status.error().path, path.toStdString());
    QCOMPARE(readBytes(path), QByteArray("old"));
    QCOMPARE(fileCount(dir.path()), 1);
}

void TestAtomicFile::readOnlyFolderIsReported() {
    if (geteuid() == 0) QSKIP("root may write any folder");
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "old").ok());
    QVERIFY(chmod(dir.path().toLocal8Bit().constData(), 0555) == 0);
    lm::Status status = lm::writeFileAtomically(path.toStdString(), "new");
    chmod(dir.path().toLocal8Bit().constData(), 0755);
    QVERIFY(!status.ok());
    QVERIFY(QString::fromStdString(status.error().reason).contains(QStringLiteral("ermission")));
    QCOMPARE(readBytes(path), QByteArray("old"));
}

void TestAtomicFile::abandonedWriteLeavesNoScratch() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "old").ok());
    {
        lm::AtomicFileWriter writer;
        QVERIFY(writer.open(path.toStdString()).ok());
        QVERIFY(writer.write("half").ok());
        QCOMPARE(fileCount(dir.path()), 2);
    }
    QCOMPARE(fileCount(dir.path()), 1);
    QCOMPARE(readBytes(path), QByteArray("old"));
}

void TestAtomicFile::staleScratchOfADeadProcessIsRemoved() {
    QTemporaryDir dir;
    // A pid far above any pid_max in use stands for a process that has ended.
    QString stale = dir.filePath(QStringLiteral(".a.dat.lm-save-999999999-abcdef"));
    QString live = dir.filePath(QStringLiteral(".a.dat.lm-save-1-abcdef"));  // init never ends
    QString other = dir.filePath(QStringLiteral("a.dat"));
    for (const QString& path : {stale, live, other}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    lm::removeStaleScratchFiles(dir.path().toStdString());
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(live));
    QVERIFY(QFile::exists(other));
}

void TestAtomicFile::workFolderIsCreated() {
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("deep/qortex"));
    qputenv("QORTEX_DIR", folder.toLocal8Bit() + "/");
    QCOMPARE(QString::fromStdString(lm::workFolder()), folder);
    QVERIFY(QDir(folder).exists());
    QCOMPARE(QString::fromStdString(lm::workFilePath(lm::kWorkingLabelFile)),
             folder + QStringLiteral("/$$label.dat"));
    qunsetenv("QORTEX_DIR");
}

QTEST_APPLESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"

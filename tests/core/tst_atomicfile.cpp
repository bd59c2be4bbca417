#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <cstdlib>

#include "core/atomicfile.h"
#include "core/workfolder.h"
#include "storefixtures.h"

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

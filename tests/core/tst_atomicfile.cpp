#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "core/atomicfile.h"
#include "core/workfolder.h"
#include "storefixtures.h"

using lmtest::entriesIn;
using lmtest::readBytes;

class TestAtomicFile : public QObject {
    Q_OBJECT
  private slots:
    void replacesWholeFileKeepingItsMode();
    void abandonedWriteLeavesNoScratch();
    void staleScratchOfADeadProcessIsRemoved();
    void workFolderIsCreated();
};

void TestAtomicFile::replacesWholeFileKeepingItsMode() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "a much longer old content~~").ok());
    QVERIFY(chmod(path.toLocal8Bit().constData(), 0640) == 0);
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "new~~").ok());
    QCOMPARE(readBytes(path), QByteArray("new~~"));
    QCOMPARE(entriesIn(dir.path()), 1);
    struct stat st;
    QVERIFY(stat(path.toLocal8Bit().constData(), &st) == 0);
    QCOMPARE(int(st.st_mode & 0777), 0640);
}

void TestAtomicFile::abandonedWriteLeavesNoScratch() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(lm::writeFileAtomically(path.toStdString(), "old").ok());
    {
        lm::AtomicFileWriter writer;
        QVERIFY(writer.open(path.toStdString()).ok());
        QVERIFY(writer.write("half").ok());
        QCOMPARE(entriesIn(dir.path()), 2);
    }
    QCOMPARE(entriesIn(dir.path()), 1);
    QCOMPARE(readBytes(path), QByteArray("old"));
}

void TestAtomicFile::staleScratchOfADeadProcessIsRemoved() {
    QTemporaryDir dir;
    // A pid far above any pid_max in use stands for a process that has ended.
    const QString stale = dir.filePath(QStringLiteral(".a.dat.lm-save-999999999-abcdef"));
    const QString live = dir.filePath(QStringLiteral(".a.dat.lm-save-1-abcdef"));  // init lives
    const QString other = dir.filePath(QStringLiteral("a.dat"));
    for (const QString& path : {stale, live, other})
        QVERIFY(QFile(path).open(QIODevice::WriteOnly));
    lm::removeStaleScratchFiles(dir.path().toStdString());
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(live));
    QVERIFY(QFile::exists(other));
}

void TestAtomicFile::workFolderIsCreated() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("deep/qortex"));
    qputenv("QORTEX_DIR", folder.toLocal8Bit() + "/");
    QCOMPARE(QString::fromStdString(lm::workFolder()), folder);
    QVERIFY(QDir(folder).exists());
    QCOMPARE(QString::fromStdString(lm::workFilePath(lm::kWorkingLabelFile)),
             folder + QStringLiteral("/$$label.dat"));
    qunsetenv("QORTEX_DIR");
}

QTEST_APPLESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"

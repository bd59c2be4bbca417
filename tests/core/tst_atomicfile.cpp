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
    void onlyScratchFilesNoWriterHoldsAreRemoved_data();
    void onlyScratchFilesNoWriterHoldsAreRemoved();
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

void TestAtomicFile::onlyScratchFilesNoWriterHoldsAreRemoved_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("writerRuns");
    QTest::addColumn<bool>("removed");
    // A pid far above any pid_max in use stands for a process that has ended.
    QTest::newRow("left by an ended process") << ".a.dat.lm-save-999999999-abcdef" << false << true;
    // The process number of a killed save may be in use again by another
    // program (here init): the name alone does not keep the file.
    QTest::newRow("its process number reused") << ".a.dat.lm-save-1-abcdef" << false << true;
    QTest::newRow("a save still writing it") << "" << true << false;
    QTest::newRow("not a scratch file") << "a.dat" << false << false;
}

// Start-up removes the scratch files of saves that were killed, and only
// those: a save still running (here in this process) holds the lock on its
// scratch file, and keeps it.
void TestAtomicFile::onlyScratchFilesNoWriterHoldsAreRemoved() {
    QFETCH(QString, name);
    QFETCH(bool, writerRuns);
    QFETCH(bool, removed);
    QTemporaryDir dir;
    lm::AtomicFileWriter writer;
    if (writerRuns) {
        QVERIFY(writer.open(dir.filePath(QStringLiteral("a.dat")).toStdString()).ok());
        QVERIFY(writer.write("half way").ok());
        const QStringList entries = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(entries.size(), 1);
        name = entries.first();
    } else {
        QVERIFY(QFile(dir.filePath(name)).open(QIODevice::WriteOnly));
    }
    lm::removeStaleScratchFiles(dir.path().toStdString());
    QCOMPARE(QFile::exists(dir.filePath(name)), !removed);
    if (writerRuns) {
        QVERIFY(writer.commit().ok());
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("a.dat"))), QByteArray("half way"));
    }
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

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "core/atomicfile.h"
#include "core/workfolder.h"
#include "storefixtures.h"

using lmtest::entriesIn;
using lmtest::readBytes;

class TestAtomicFile : public QObject {
    Q_OBJECT
  private slots:
    void replacesWholeFileKeepingItsMode_data() {
        // The name saved to, and the link (if any) that leads from it to "a.dat":
        // a link is written through, so it keeps pointing at the file it named.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pointsAt");  // what the link holds; empty: no link
        QTest::newRow("a plain file") << "a.dat" << QString();
        QTest::newRow("a link beside it") << "link.dat"
                                          << "a.dat";
        QTest::newRow("a link from another folder") << "other/link.dat"
                                                    << "../a.dat";
        QTest::newRow("a link to a link") << "twice.dat"
                                          << "link.dat";
    }
    void replacesWholeFileKeepingItsMode() {
        QFETCH(QString, name);
        QFETCH(QString, pointsAt);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("other")));
        const QString file = dir.filePath(QStringLiteral("a.dat"));
        const QString path = dir.filePath(name);
        QVERIFY(lm::writeFileAtomically(file.toStdString(), "a much longer old content~~").ok());
        QVERIFY(chmod(file.toLocal8Bit().constData(), 0640) == 0);
        if (!pointsAt.isEmpty()) {
            if (pointsAt != QStringLiteral("a.dat") && pointsAt != QStringLiteral("../a.dat"))
                QCOMPARE(symlink("a.dat", QFile::encodeName(dir.filePath(pointsAt)).constData()),
                         0);
            QCOMPARE(symlink(QFile::encodeName(pointsAt).constData(),
                             QFile::encodeName(path).constData()),
                     0);
        }
        const int entries = entriesIn(dir.path());
        QVERIFY(lm::writeFileAtomically(path.toStdString(), "new~~").ok());
        QCOMPARE(readBytes(file), QByteArray("new~~"));
        QCOMPARE(entriesIn(dir.path()), entries);
        const bool linkInOther = name.startsWith(QStringLiteral("other/"));
        QCOMPARE(entriesIn(dir.filePath(QStringLiteral("other"))), linkInOther ? 1 : 0);
        if (!pointsAt.isEmpty()) {
            QVERIFY(QFileInfo(path).isSymLink());
            char held[256] = {};
            QVERIFY(readlink(QFile::encodeName(path).constData(), held, sizeof held - 1) > 0);
            QCOMPARE(QString::fromLocal8Bit(held), pointsAt);
        }
        struct stat st;
        QVERIFY(stat(file.toLocal8Bit().constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0640);
    }
    void abandonedWriteLeavesNoScratch() {
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
    void onlyScratchFilesNoWriterHoldsAreRemoved_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("writerRuns");
        QTest::addColumn<bool>("removed");
        // A pid far above any pid_max in use stands for a process that has ended.
        QTest::newRow("left by an ended process")
            << ".a.dat.lm-save-999999999-abcdef" << false << true;
        // The process number of a killed save may be in use again by another
        // program (here init): the name alone does not keep the file.
        QTest::newRow("its process number reused") << ".a.dat.lm-save-1-abcdef" << false << true;
        QTest::newRow("a save still writing it") << "" << true << false;
        QTest::newRow("not a scratch file") << "a.dat" << false << false;
    }
    // Start-up removes the scratch files of saves that were killed, and only
    // those: a save still running (here in this process) holds the lock on its
    // scratch file, and keeps it.
    void onlyScratchFilesNoWriterHoldsAreRemoved() {
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
    void workFolderIsCreated() {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("deep/qortex"));
        qputenv("QORTEX_DIR", folder.toLocal8Bit() + "/");
        QCOMPARE(QString::fromStdString(lm::workFolder()), folder);
        QVERIFY(QDir(folder).exists());
        QCOMPARE(QString::fromStdString(lm::workFilePath(lm::kWorkingLabelFile)),
                 folder + QStringLiteral("/$$label.dat"));
        qunsetenv("QORTEX_DIR");
    }
};

QTEST_APPLESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"

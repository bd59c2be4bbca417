// A label file shared with other programs: the writers' lock on the file a
// path names, how the page's file is recognised as changed, and the kernel
// copy of the bytes around the page.

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "core/atomicfile.h"
#include "core/editrequest.h"
#include "core/labelfilelock.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"
#include "storefixtures.h"

using lmtest::entriesIn;
using lmtest::readBytes;
using lmtest::writeBytes;

namespace {

std::string bytesOf(const QString& path) {
    return path.toStdString();
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st;
}

lm::LockWait noWait() {
    lm::LockWait wait;
    wait.waitMs = 0;
    return wait;
}

// Replaces `path` by a new file, as a save does: written beside, renamed over.
void replaceByRename(const QString& path, const QByteArray& bytes) {
    const QString beside = path + QStringLiteral(".new");
    writeBytes(beside, bytes);
    QCOMPARE(
        std::rename(QFile::encodeName(beside).constData(), QFile::encodeName(path).constData()), 0);
}

}  // namespace

class TestFileSharing : public QObject {
    Q_OBJECT
  private slots:
    // A second lock on a locked file is refused once its time is up, with the
    // holder named; once released, it is granted.
    void oneWriterAtATime() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("l.dat"));
        writeBytes(path, "A~~");
        lm::Result<lm::LabelFileLock> first = lm::LabelFileLock::acquire(bytesOf(path), noWait());
        QVERIFY(first.ok());
        QVERIFY(first->holdsFile());
        QCOMPARE(first->identity().inode, std::uint64_t(statOf(path).st_ino));

        int busyCalls = 0;
        std::optional<lm::LockHolder> told;
        lm::LockWait wait;
        wait.waitMs = 30;
        wait.onBusy = [&](const std::optional<lm::LockHolder>& holder) {
            ++busyCalls;
            told = holder;
        };
        lm::Result<lm::LabelFileLock> second = lm::LabelFileLock::acquire(bytesOf(path), wait);
        QVERIFY(!second.ok());
        QCOMPARE(busyCalls, 1);
        QVERIFY(told.has_value());
        QCOMPARE(told->pid, long(getpid()));
        const std::string reason = second.error().reason;
        QVERIFY2(reason.find("in use by " + lm::describeLockHolder(*told)) != std::string::npos,
                 reason.c_str());
        QVERIFY2(reason.find("(process " + std::to_string(getpid()) + ")") != std::string::npos,
                 reason.c_str());
        QCOMPARE(second.error().path, bytesOf(path));

        first.value().release();
        QVERIFY(lm::LabelFileLock::acquire(bytesOf(path), noWait()).ok());
        QCOMPARE(entriesIn(dir.path()), 1);  // no lock file beside it
    }
    // While a writer waits, the holder's save renames a new file over the path
    // and ends: the waiter ends up holding the new file, not the old one that no
    // name leads to any more.
    void waiterTakesTheFileRenamedOverThePath() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("l.dat"));
        writeBytes(path, "OLD~~");
        lm::Result<lm::LabelFileLock> holder = lm::LabelFileLock::acquire(bytesOf(path), noWait());
        QVERIFY(holder.ok());
        lm::LockWait wait;
        wait.waitMs = 60000;
        wait.betweenTries = [&] {
            if (!holder->holdsFile()) return;
            replaceByRename(path, "NEW~~");
            holder.value().release();
        };
        lm::Result<lm::LabelFileLock> waiter = lm::LabelFileLock::acquire(bytesOf(path), wait);
        QVERIFY(waiter.ok());
        QCOMPARE(waiter->identity().inode, std::uint64_t(statOf(path).st_ino));
        QVERIFY(!lm::LabelFileLock::acquire(bytesOf(path), noWait()).ok());
    }
    void pageFileRecognisedAsChanged_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("source");
        QTest::newRow("untouched") << "none" << int(lm::PageSource::Unchanged);
        QTest::newRow("same size, written in place later")
            << "same size" << int(lm::PageSource::Changed);
        QTest::newRow("same bytes, replaced by another file")
            << "replaced" << int(lm::PageSource::Changed);
        QTest::newRow("deleted") << "deleted" << int(lm::PageSource::Gone);
    }
    // The page's file is another one once its size, its time of change or its
    // inode differ; a file that is gone is told apart. A save refuses to copy
    // around the page then, and writes nothing.
    void pageFileRecognisedAsChanged() {
        QFETCH(QString, change);
        QFETCH(int, source);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("l.dat"));
        const QByteArray old = QByteArray(lmtest::numberedLabels("L", 1, 60).c_str());
        writeBytes(path, old);
        lm::PageState state;
        state.CurrentFileName = bytesOf(path);
        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
        QVERIFY(lm::showPage(state, page, lm::kSp1, 2).ok());
        QCOMPARE(int(lm::pageSourceNow(state)), int(lm::PageSource::Unchanged));

        QByteArray now = old;
        if (change == QLatin1String("same size")) {
            now.replace("L45~~", "X45~~");
            writeBytes(path, now);
            // Two writes within one tick of the clock may share a time: set one.
            struct timespec times[2] = {{0, UTIME_OMIT}, {1000000000, 0}};
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        } else if (change == QLatin1String("replaced")) {
            replaceByRename(path, old);
            struct timespec times[2] = {{0, UTIME_OMIT}, {0, 0}};
            times[1].tv_sec = state.PageFileIdentity.modifiedNs / 1000000000;
            times[1].tv_nsec = state.PageFileIdentity.modifiedNs % 1000000000;
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        } else if (change == QLatin1String("deleted")) {
            QVERIFY(QFile::remove(path));
        }
        QCOMPARE(int(lm::pageSourceNow(state)), source);

        page.setSpineText(2, "TYPED");
        const lm::PageState before = state;
        lm::Result<lm::SaveOutcome> saved =
            lm::SaveLabelFile(state, page, lm::kSp1, lm::EditRequest{}, state.CurrentFileName);
        if (source == int(lm::PageSource::Unchanged)) {
            QVERIFY(saved.ok());
            QVERIFY(readBytes(path).contains("TYPED~~"));
            return;
        }
        QVERIFY(!saved.ok());
        QCOMPARE(QString::fromStdString(saved.error().reason),
                 QString::fromLatin1(source == int(lm::PageSource::Gone) ? lm::kFileGoneReason
                                                                         : lm::kFileChangedReason));
        QCOMPARE(source == int(lm::PageSource::Gone) ? QByteArray("<missing>") : now,
                 readBytes(path));
        QCOMPARE(state.PageStartPosition, before.PageStartPosition);
        QCOMPARE(state.PageEndPosition, before.PageEndPosition);
        QCOMPARE(entriesIn(dir.path()), source == int(lm::PageSource::Gone) ? 0 : 1);
    }
    // Ranges of another file copied in the kernel land exactly where written
    // bytes would; a source shorter than the range fails, and nothing is left.
    void kernelCopyOfRanges() {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("source.dat"));
        QByteArray bytes;
        for (int i = 0; i < 300000; ++i) bytes += char('a' + i % 26);
        writeBytes(source, bytes);
        lm::ReadableFile in;
        QVERIFY(in.open(bytesOf(source)).ok());
        const QString target = dir.filePath(QStringLiteral("target.dat"));
        lm::AtomicFileWriter writer;
        QVERIFY(writer.open(bytesOf(target)).ok());
        // From the start; then at offsets alike within a block (the kernel's
        // copy) and unlike (through memory).
        QVERIFY(writer.copyFrom(in.descriptor(), 0, 1000, bytesOf(source)).ok());
        QVERIFY(writer.write("|PAGE|").ok());
        QVERIFY(writer.copyFrom(in.descriptor(), 4096 + 1006, 200000, bytesOf(source)).ok());
        QVERIFY(writer.copyFrom(in.descriptor(), 7, 90000, bytesOf(source)).ok());
        QCOMPARE(writer.written(), 1000LL + 6 + 200000 + 90000);
        QVERIFY(writer.commit().ok());
        const QByteArray expected =
            bytes.left(1000) + "|PAGE|" + bytes.mid(4096 + 1006, 200000) + bytes.mid(7, 90000);
        QCOMPARE(readBytes(target), expected);

        lm::AtomicFileWriter shortWriter;
        QVERIFY(shortWriter.open(bytesOf(target)).ok());
        lm::Status past = shortWriter.copyFrom(in.descriptor(), 299000, 5000, bytesOf(source));
        QVERIFY(!past.ok());
        QCOMPARE(QString::fromStdString(past.error().reason),
                 QStringLiteral("the file became shorter while it was saved"));
        QCOMPARE(past.error().path, bytesOf(source));
        QCOMPARE(entriesIn(dir.path()), 2);
        QCOMPARE(readBytes(target), expected);
    }
};

QTEST_APPLESS_MAIN(TestFileSharing)
#include "tst_filesharing.moc"

#include "app/workfolderlock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QTimer>

#include "platform/dialogs.h"

namespace lm {

namespace {

constexpr int kNamelessLockSeconds = 5;
constexpr int kRetryMs = 2000;

}  // namespace

WorkFolderLock::WorkFolderLock(const QString& folder, QObject* parent)
    : QObject(parent),
      m_path(QDir(folder).filePath(QString::fromLatin1(kWorkFolderLockFile))),
      m_lock(std::make_unique<QLockFile>(m_path)) {
    // By default QLockFile calls a lock older than 30 seconds stale, even
    // when its window still runs; only a window that is gone may lose it.
    m_lock->setStaleLockTime(0);
}

WorkFolderLock::~WorkFolderLock() = default;

bool WorkFolderLock::take() {
    // tryLock() removes a lock whose process is gone and takes it.
    if (m_lock->tryLock(0)) return true;
    if (m_lock->error() != QLockFile::LockFailedError) return true;
    // A window killed between making the lock file and writing its process
    // id into it leaves a file that names no one, which tryLock() never
    // calls stale. A live window writes its id at once: a nameless lock
    // some seconds old was left by a window that is gone.
    qint64 pid = 0;
    QString host, program;
    const QFileInfo file(m_path);
    if (!m_lock->getLockInfo(&pid, &host, &program) &&
        file.lastModified().secsTo(QDateTime::currentDateTime()) > kNamelessLockSeconds &&
        m_lock->removeStaleLockFile())
        return m_lock->tryLock(0) || m_lock->error() != QLockFile::LockFailedError;
    return false;
}

void WorkFolderLock::takeWhenFree() {
    if (m_retry || held()) return;
    m_retry = new QTimer(this);
    connect(m_retry, &QTimer::timeout, this, [this] {
        if (take()) m_retry->stop();
    });
    m_retry->start(kRetryMs);
}

bool WorkFolderLock::held() const {
    return m_lock->isLocked();
}

QString anotherWindowQuestion(const QString& folder) {
    return QStringLiteral(
               "Another Label Maker window is working in folder %1. Do you want to continue?")
        .arg(QDir::toNativeSeparators(folder));
}

bool goOnBesideAnotherWindow(const QString& folder, Dialogs& dialogs) {
    return dialogs.message(anotherWindowQuestion(folder), MessageButtons::YesNo,
                           MessageIcon::Exclamation) == MessageAnswer::Yes;
}

}  // namespace lm

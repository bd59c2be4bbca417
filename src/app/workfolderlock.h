#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLockFile;
class QTimer;

namespace lm {

class Dialogs;

// Marks a working folder as worked in by one Label Maker window, for as long
// as the object lives: a lock file in the folder, hidden from the label file
// manager and from Load's listing. A lock left behind by a window that no
// longer runs (a crash, a kill) is taken over; one held by a running window
// is never taken away from it, however long it has run.
class WorkFolderLock : public QObject {
    Q_OBJECT
  public:
    explicit WorkFolderLock(const QString& folder, QObject* parent = nullptr);
    ~WorkFolderLock() override;

    // False when another running window holds the folder. True when this
    // window now holds it, or when no lock file can be made there at all (a
    // read-only folder is no reason to keep the operator from working).
    bool take();
    bool held() const;
    // For a window started beside another: takes the lock as soon as the
    // other window lets it go, so that a window started after that is told.
    void takeWhenFree();

  private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QTimer* m_retry = nullptr;
};

// The lock file's name in the working folder.
inline constexpr const char* kWorkFolderLockFile = ".labelmaker-window.lock";

// "Another Label Maker window is working in folder X." and the question
// whether this one should start all the same.
QString anotherWindowQuestion(const QString& folder);

// Asks, when another window holds the folder's lock, whether this one should
// start all the same; false when the operator chose to quit.
bool goOnBesideAnotherWindow(const QString& folder, Dialogs& dialogs);

}  // namespace lm

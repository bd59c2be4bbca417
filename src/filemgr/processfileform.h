#pragma once

#include <QDialog>
#include <QStringList>

#include "core/filemanager.h"

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;

namespace lm {

class Dialogs;

// "Process Label File(s)": a small file manager in which the operator deletes
// the selected files, deletes the folder on display with everything in it, or
// renames one file in its folder. Drive1 lists the mounted volumes, Dir1 is
// the folder tree (its current folder is the folder the dialog works in) and
// File1 that folder's files, several of which can be selected.
//
// Every question and refusal goes through Dialogs. Besides the program's own
// folder, folder deletion refuses the root and every mount point, the home
// folder, the working folder and any folder holding one of them; a rename
// takes a plain name in the same folder and never replaces anything. A
// deletion or rename that fails is reported with its reason and the dialog
// stays open.
class ProcessFileForm : public QDialog {
    Q_OBJECT
  public:
    explicit ProcessFileForm(Dialogs& dialogs, QWidget* parent = nullptr);

    // The folders Delete refuses; by default those of this run, with the
    // folder the program runs from.
    void setProtectedFolders(const ProtectedFolders& folders) { m_protected = folders; }
    const ProtectedFolders& protectedFolders() const { return m_protected; }

    // Dir1's path. Setting it selects the folder in the tree, as a click
    // would; false, changing nothing, when the folder cannot be shown.
    QString folderPath() const { return m_folderPath; }
    bool setFolderPath(const QString& path);

    // File1: the names listed, in order, and those selected.
    QStringList fileNames() const;
    QStringList selectedFileNames() const;
    int selectedFileCount() const;
    void selectFiles(const QStringList& names);

    // The root of the volume Drive1 shows.
    QString driveRoot() const;

    void Drive1_Change();
    void Dir1_Change();
    void btnDelete_Click();
    void btnRename_Click();
    void btnCancel_Click();

  private:
    void buildControls();
    void refreshDrives();
    void showDriveOf(const QString& folder);
    void refreshFiles();
    void deleteSelectedFiles(const QString& folder);
    void deleteFolder(const QString& folder);
    void refuse(const QString& text);

    Dialogs& m_dialogs;
    ProtectedFolders m_protected;
    QString m_folderPath;

    QComboBox* m_drives = nullptr;
    QFileSystemModel* m_folderModel = nullptr;
    QTreeView* m_folders = nullptr;
    QLabel* m_folderLabel = nullptr;
    QListWidget* m_files = nullptr;
    QLabel* m_listProblem = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_rename = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace lm

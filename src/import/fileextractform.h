#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QComboBox;
class QFileSystemModel;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;

namespace lm {

class WindowContext;

// "Select Label File Folder": the operator picks a folder of Connexion
// one-record exports with a drive list of the mounted volumes (Drive1), a
// folder tree (Dir1) and the chosen folder's files, for looking only (File1).
// The folder's path can also be typed (Enter goes there, it does not apply).
// Apply (btnExtract) extracts the folder for the call index, and the dialog
// closes with OutFileName() naming the label file written. A failed or
// cancelled extract keeps the dialog open, to choose again or close.
class FileExtractForm : public QDialog {
    Q_OBJECT
  public:
    FileExtractForm(WindowContext& window, QWidget* parent);
    ~FileExtractForm() override;

    // The label type to extract for.
    void setCallIndex(int index) { m_callIndex = index; }
    // The label file Apply wrote; empty when nothing was extracted.
    const std::string& OutFileName() const { return m_outFileName; }

    // The folder the lists show and Apply extracts; the drive list follows.
    void setFolder(const QString& path);
    QString folder() const { return m_folder; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Drive1_Change();
    void Dir1_Change();
    void btnExtract_Click();
    void showFolder(const QString& path);
    void revealFolder();
    void selectDriveOf(const QString& path);

    WindowContext& m_window;
    int m_callIndex = 0;
    std::string m_outFileName;
    QString m_folder;

    QComboBox* m_drives;
    QFileSystemModel* m_folderModel;
    QTreeView* m_folders;
    QFileSystemModel* m_fileModel;
    QListView* m_files;
    QLineEdit* m_path;  // the folder's path, which can also be typed
    QPushButton* m_apply;
};

}  // namespace lm

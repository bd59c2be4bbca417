#include "filemgr/processfileform.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "filemgr/folderrefusal.h"
#include "platform/dialogs.h"

namespace lm {
namespace {

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString displayPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// "/home/ann/labels/a.dat": the folder, one "/", the name. The root gives
// "/a.dat", never "//a.dat".
QString filePathIn(const QString& folder, const QString& name) {
    return displayPath(joinPath(nativePath(folder), nativePath(name)));
}

QString describe(const Error& error) {
    return QString::fromStdString(error.message());
}

}  // namespace

ProcessFileForm::ProcessFileForm(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent),
      m_dialogs(dialogs),
      m_protected(protectedFoldersOfThisRun(nativePath(QCoreApplication::applicationDirPath()))) {
    setObjectName(QStringLiteral("ProcessFileForm"));
    setWindowTitle(QStringLiteral("Process Label File(s)"));
    setModal(true);
    buildControls();
    refreshDrives();
    // The drive and folder the program was started in.
    if (!setFolderPath(QDir::currentPath())) setFolderPath(QDir::rootPath());
}

void ProcessFileForm::buildControls() {
    m_drives = new QComboBox;
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_drives->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_drives->setMinimumContentsLength(16);
    connect(m_drives, &QComboBox::activated, this, [this] { Drive1_Change(); });

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folderModel->setReadOnly(true);
    m_folderModel->setRootPath(QDir::rootPath());
    m_folders = new QTreeView;
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setModel(m_folderModel);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);
    m_folders->setHeaderHidden(true);
    m_folders->setSelectionMode(QAbstractItemView::SingleSelection);
    m_folders->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_folders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { Dir1_Change(); });
    // The model reads folders in the background; once the folders on the way
    // to the current one are in, bring it into view again.
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (m_folderPath == loaded || m_folderPath.startsWith(loaded + QLatin1Char('/')) ||
            loaded == QDir::rootPath())
            m_folders->scrollTo(m_folders->currentIndex(), QAbstractItemView::PositionAtCenter);
    });

    m_folderLabel = new QLabel;
    m_folderLabel->setObjectName(QStringLiteral("lblFolder"));
    m_folderLabel->setTextFormat(Qt::PlainText);
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_files = new QListWidget;
    m_files->setObjectName(QStringLiteral("File1"));
    m_files->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_files->setSortingEnabled(false);

    m_listProblem = new QLabel;
    m_listProblem->setObjectName(QStringLiteral("lblListProblem"));
    m_listProblem->setTextFormat(Qt::PlainText);
    m_listProblem->setWordWrap(true);
    m_listProblem->hide();

    m_delete = new QPushButton(QStringLiteral("Delete"));
    m_delete->setObjectName(QStringLiteral("btnDelete"));
    m_rename = new QPushButton(QStringLiteral("Rename"));
    m_rename->setObjectName(QStringLiteral("btnRename"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter must never start a deletion.
    m_delete->setAutoDefault(false);
    m_rename->setAutoDefault(false);
    m_cancel->setDefault(true);
    connect(m_delete, &QPushButton::clicked, this, [this] { btnDelete_Click(); });
    connect(m_rename, &QPushButton::clicked, this, [this] { btnRename_Click(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });

    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"));
    driveLabel->setBuddy(m_drives);
    auto* folderTitle = new QLabel(QStringLiteral("F&older:"));
    folderTitle->setBuddy(m_folders);
    auto* filesTitle = new QLabel(QStringLiteral("&Files:"));
    filesTitle->setBuddy(m_files);

    auto* grid = new QGridLayout;
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(m_drives, 1, 0);
    grid->addWidget(folderTitle, 2, 0);
    grid->addWidget(m_folders, 3, 0);
    grid->addWidget(filesTitle, 2, 1);
    grid->addWidget(m_files, 3, 1);
    grid->addWidget(m_listProblem, 4, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_delete);
    buttons->addWidget(m_rename);
    buttons->addWidget(m_cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_folderLabel);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    resize(680, 440);
}

bool ProcessFileForm::setFolderPath(const QString& path) {
    // The tree's model may still hold a folder that was removed a moment ago.
    if (path.isEmpty() || !folderExists(nativePath(path))) return false;
    const QModelIndex index = m_folderModel->index(QDir::cleanPath(path));
    if (!index.isValid()) return false;
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_folders->expand(parent);
    m_folders->setCurrentIndex(index);
    m_folders->expand(index);
    m_folders->scrollTo(index, QAbstractItemView::PositionAtCenter);
    // Setting the same folder again still refreshes the list, as a click does.
    if (m_folderModel->filePath(index) == m_folderPath) Dir1_Change();
    return true;
}

void ProcessFileForm::Dir1_Change() {
    const QModelIndex current = m_folders->currentIndex();
    m_folderPath = current.isValid() ? m_folderModel->filePath(current) : QString();
    m_folderLabel->setText(m_folderPath);
    showDriveOf(m_folderPath);
    refreshFiles();
}

void ProcessFileForm::Drive1_Change() {
    const QString root = m_drives->currentData().toString();
    if (!root.isEmpty()) setFolderPath(root);
}

QString ProcessFileForm::driveRoot() const {
    return m_drives->currentData().toString();
}

void ProcessFileForm::refreshDrives() {
    QList<QStorageInfo> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) volumes << volume;
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    const QSignalBlocker quiet(m_drives);
    m_drives->clear();
    for (const QStorageInfo& volume : volumes) {
        QString text = volume.rootPath();
        const QString name = volume.displayName();
        if (!name.isEmpty() && name != volume.rootPath())
            text += QStringLiteral("  [%1]").arg(name);
        m_drives->addItem(text, volume.rootPath());
    }
    showDriveOf(m_folderPath);
}

// Drive1 follows the folder, also when the tree leads onto another volume.
void ProcessFileForm::showDriveOf(const QString& folder) {
    if (folder.isEmpty()) return;
    const QString root = QStorageInfo(folder).rootPath();
    const int item = m_drives->findData(root);
    if (item < 0) return;
    const QSignalBlocker quiet(m_drives);
    m_drives->setCurrentIndex(item);
}

void ProcessFileForm::refreshFiles() {
    m_files->clear();
    m_listProblem->hide();
    if (m_folderPath.isEmpty()) return;
    Result<std::vector<std::string>> names = listFiles(nativePath(m_folderPath));
    if (!names) {
        m_listProblem->setText(QStringLiteral("The files cannot be listed: ") +
                               describe(names.error()));
        m_listProblem->show();
        return;
    }
    QStringList shown;
    for (const std::string& name : names.value()) shown << displayPath(name);
    std::sort(shown.begin(), shown.end(), [](const QString& a, const QString& b) {
        int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    m_files->addItems(shown);
}

QStringList ProcessFileForm::fileNames() const {
    QStringList names;
    for (int row = 0; row < m_files->count(); ++row) names << m_files->item(row)->text();
    return names;
}

QStringList ProcessFileForm::selectedFileNames() const {
    QStringList names;
    for (int row = 0; row < m_files->count(); ++row)
        if (m_files->item(row)->isSelected()) names << m_files->item(row)->text();
    return names;
}

int ProcessFileForm::selectedFileCount() const {
    return int(selectedFileNames().size());
}

void ProcessFileForm::selectFiles(const QStringList& names) {
    m_files->clearSelection();
    for (int row = 0; row < m_files->count(); ++row) {
        QListWidgetItem* item = m_files->item(row);
        if (names.contains(item->text())) item->setSelected(true);
    }
}

void ProcessFileForm::btnDelete_Click() {
    const QString folder = m_folderPath;
    if (selectedFileCount() > 0) {
        deleteSelectedFiles(folder);
    } else if (!folder.isEmpty()) {
        deleteFolder(folder);
    }
}

void ProcessFileForm::deleteSelectedFiles(const QString& folder) {
    const QString question =
        QStringLiteral("Do you want to delete the selected file(s) in the folder %1 ?").arg(folder);
    if (m_dialogs.message(question, MessageButtons::YesNo, MessageIcon::Question,
                          QStringLiteral("Delete File(s)")) != MessageAnswer::Yes)
        return;
    QStringList failures;
    for (const QString& name : selectedFileNames()) {
        Status deleted = deleteFile(nativePath(filePathIn(folder, name)));
        if (!deleted) failures << describe(deleted.error());
    }
    refreshFiles();
    if (!failures.isEmpty())
        m_dialogs.message(QStringLiteral("These file(s) could not be deleted:\r\n") +
                              failures.join(QStringLiteral("\r\n")),
                          MessageButtons::Ok, MessageIcon::Critical);
}

void ProcessFileForm::deleteFolder(const QString& folder) {
    const QString refusal =
        folderRefusalText(checkFolderDeletion(nativePath(folder), m_protected), folder);
    if (!refusal.isEmpty()) {
        refuse(refusal);
        return;
    }
    const QString question =
        QStringLiteral("Do you want to delete the selected folder: %1 ?").arg(folder);
    if (m_dialogs.message(question, MessageButtons::YesNo, MessageIcon::Question,
                          QStringLiteral("Delete Folder")) != MessageAnswer::Yes)
        return;
    Status deleted = deleteFolderTree(nativePath(folder));
    refreshDrives();
    // The tree shows what is left: the parent when the folder is gone.
    const QString parent = QDir::cleanPath(folder + QStringLiteral("/.."));
    if (deleted || !setFolderPath(folder)) setFolderPath(parent);
    if (!deleted)
        m_dialogs.message(QStringLiteral("The folder %1 could not be deleted completely:\r\n%2")
                              .arg(folder, describe(deleted.error())),
                          MessageButtons::Ok, MessageIcon::Critical);
}

void ProcessFileForm::btnRename_Click() {
    if (selectedFileCount() != 1) {
        refuse(QStringLiteral("You can select only one file to rename"));
        return;
    }
    const QString folder = m_folderPath;
    const QString current = selectedFileNames().constFirst();
    std::optional<QString> answer =
        m_dialogs.inputBox(QStringLiteral("Please enter the new file name:"),
                           QStringLiteral("New File Name"), current);
    if (!answer || answer->isEmpty()) return;
    const QString newName = *answer;
    switch (checkRename(nativePath(folder), nativePath(newName))) {
        case RenameRefusal::NotAPlainName:
            refuse(QStringLiteral(
                "The new file name can not contain \"/\" or be \".\" or \"..\". You can't "
                "rename."));
            return;
        case RenameRefusal::DestinationFileExists:
            refuse(QStringLiteral("The destination file already exists. You can't rename."));
            return;
        case RenameRefusal::DestinationIsFolder:
            refuse(QStringLiteral("The destination file is a folder, You can't rename it."));
            return;
        case RenameRefusal::None:
            break;
    }
    const QString oldPath = filePathIn(folder, current);
    const QString newPath = filePathIn(folder, newName);
    Status renamed = renameFile(nativePath(oldPath), nativePath(newPath));
    refreshFiles();
    if (renamed) {
        selectFiles({newName});
        return;
    }
    m_dialogs.message(QStringLiteral("The file %1 could not be renamed to %2:\r\n%3")
                          .arg(oldPath, newName, describe(renamed.error())),
                      MessageButtons::Ok, MessageIcon::Critical);
}

void ProcessFileForm::btnCancel_Click() {
    reject();
}

// The refusals are plain OK boxes under the program's title.
void ProcessFileForm::refuse(const QString& text) {
    m_dialogs.message(text, MessageButtons::Ok, MessageIcon::None);
}

}  // namespace lm

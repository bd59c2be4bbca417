#include "import/fileextractform.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QTreeView>

#include <algorithm>

#include "import/connexionweb.h"
#include "platform/filereport.h"

namespace lm {
namespace {

// The folder the form opens on: the last one extracted in this run, since
// the next batch of records usually arrives in the same place.
QString& lastExtractedFolder() {
    static QString folder;
    return folder;
}

bool isInside(const QString& path, const QString& root) {
    if (root == QStringLiteral("/")) return path.startsWith(root);
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

QString volumeText(const QStorageInfo& volume) {
    const QString root = volume.rootPath();
    const QString name = volume.displayName();
    return name.isEmpty() || name == root ? root : QStringLiteral("%1  [%2]").arg(root, name);
}

}  // namespace

FileExtractForm::FileExtractForm(WindowContext& window, QWidget* parent)
    : QDialog(parent), m_window(window) {
    setObjectName(QStringLiteral("FileExtractForm"));
    setWindowTitle(QStringLiteral("Select Label File Folder"));

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Drive1"));
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    for (const QStorageInfo& volume : volumes) {
        if (volume.isValid() && volume.isReady())
            m_drives->addItem(volumeText(volume), volume.rootPath());
    }

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folderModel->setReadOnly(true);
    m_folders = new QTreeView(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setModel(m_folderModel);
    m_folders->setHeaderHidden(true);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    m_fileModel->setReadOnly(true);
    m_files = new QListView(this);
    m_files->setObjectName(QStringLiteral("File1"));
    m_files->setModel(m_fileModel);
    m_files->setSelectionMode(QAbstractItemView::NoSelection);
    m_files->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("FolderPath"));
    m_path->installEventFilter(this);

    m_apply = new QPushButton(QStringLiteral("Apply"), this);
    m_apply->setObjectName(QStringLiteral("btnExtract"));
    m_apply->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));

    auto* driveLabel = new QLabel(QStringLiteral("&Drive:"), this);
    driveLabel->setBuddy(m_drives);
    auto* folderLabel = new QLabel(QStringLiteral("F&olders:"), this);
    folderLabel->setBuddy(m_folders);
    auto* fileLabel = new QLabel(QStringLiteral("&Files in the folder:"), this);
    fileLabel->setBuddy(m_files);
    auto* pathLabel = new QLabel(QStringLiteral("&Path:"), this);
    pathLabel->setBuddy(m_path);

    auto* grid = new QGridLayout;
    grid->addWidget(driveLabel, 0, 0);
    grid->addWidget(m_drives, 1, 0);
    grid->addWidget(folderLabel, 2, 0);
    grid->addWidget(m_folders, 3, 0);
    grid->addWidget(fileLabel, 2, 1);
    grid->addWidget(m_files, 3, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pathLabel);
    buttons->addWidget(m_path, 1);
    buttons->addWidget(m_apply);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    resize(720, 480);

    connect(m_drives, &QComboBox::currentIndexChanged, this, &FileExtractForm::Drive1_Change);
    connect(m_folders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &FileExtractForm::Dir1_Change);
    // The tree fills in the background: show the chosen folder again once
    // the folders on its way have been read, or it stays scrolled out of view.
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (isInside(m_folder, loaded)) revealFolder();
    });
    connect(m_apply, &QPushButton::clicked, this, &FileExtractForm::btnExtract_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const QString start = lastExtractedFolder();
    setFolder(!start.isEmpty() && QFileInfo(start).isDir() ? start : QDir::homePath());
    m_folders->setFocus();
}

FileExtractForm::~FileExtractForm() = default;

void FileExtractForm::setFolder(const QString& path) {
    const QString folder = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    selectDriveOf(folder);
    showFolder(folder);
    revealFolder();
}

void FileExtractForm::revealFolder() {
    const QModelIndex index = m_folderModel->index(m_folder);
    if (!index.isValid()) return;
    QSignalBlocker quiet(m_folders->selectionModel());
    m_folders->setCurrentIndex(index);
    m_folders->scrollTo(index);
}

void FileExtractForm::selectDriveOf(const QString& path) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < m_drives->count(); ++i) {
        const QString root = m_drives->itemData(i).toString();
        if (isInside(path, root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    const QString root = best >= 0 ? m_drives->itemData(best).toString() : QStringLiteral("/");
    {
        QSignalBlocker quiet(m_drives);
        m_drives->setCurrentIndex(best);
    }
    m_folderModel->setRootPath(root);
    m_folders->setRootIndex(m_folderModel->index(root));
}

void FileExtractForm::Drive1_Change() {
    const QString root = m_drives->currentData().toString();
    if (!root.isEmpty()) setFolder(root);
}

void FileExtractForm::Dir1_Change() {
    const QModelIndex current = m_folders->currentIndex();
    if (current.isValid()) showFolder(m_folderModel->filePath(current));
}

void FileExtractForm::showFolder(const QString& path) {
    m_folder = path;
    m_path->setText(path);
    m_fileModel->setRootPath(path);
    m_files->setRootIndex(m_fileModel->index(path));
}

bool FileExtractForm::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the path field goes to the folder typed; only Apply extracts.
    if (watched == m_path && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (QFileInfo(m_path->text()).isDir()) {
                setFolder(m_path->text());
            } else {
                QApplication::beep();
                m_path->setText(m_folder);
            }
            m_folders->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void FileExtractForm::btnExtract_Click() {
    if (m_folder.isEmpty()) return;
    std::optional<std::string> written =
        extractFolder(m_window, this, toFilePath(m_folder), m_callIndex);
    if (!written) return;
    m_outFileName = *written;
    lastExtractedFolder() = m_folder;
    accept();
}

}  // namespace lm

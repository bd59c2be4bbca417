#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "filemgr/processfileform.h"
#include "guitestsupport.h"
#include "scripteddialogs.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;
using lm::ProcessFileForm;

namespace {

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void writeFile(const QString& path, const QByteArray& bytes = "label~~") {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QStringList names(const char* const* list, int count) {
    QStringList result;
    for (int i = 0; i < count; ++i) result << QString::fromUtf8(list[i]);
    return result;
}

// A folder of five label files, a hidden one and two subfolders, and the
// dialog showing it. Every protected folder is a folder of its own inside
// the temporary one, so nothing outside it can be reached.
struct Scene {
    QTemporaryDir dir;
    QString labels;
    ScriptedDialogs dialogs;
    std::unique_ptr<ProcessFileForm> form;

    Scene() {
        labels = dir.filePath(QStringLiteral("labels"));
        QDir().mkpath(labels + QStringLiteral("/sub/deeper"));
        QDir().mkpath(labels + QStringLiteral("/old"));
        for (const char* name : {"a.dat", "b.dat", "C.dat", "d.dat", "e.dat", ".hidden"})
            writeFile(labels + QLatin1Char('/') + QString::fromUtf8(name));
        writeFile(labels + QStringLiteral("/sub/deeper/f.dat"));
        for (const char* name : {"program", "home", "home/qortex"})
            QDir(dir.path()).mkpath(QString::fromUtf8(name));
        form = std::make_unique<ProcessFileForm>(dialogs);
        lm::ProtectedFolders protectedFolders;
        protectedFolders.applicationFolder = native(dir.filePath(QStringLiteral("program")));
        protectedFolders.homeFolder = native(dir.filePath(QStringLiteral("home")));
        protectedFolders.workingFolder = native(dir.filePath(QStringLiteral("home/qortex")));
        form->setProtectedFolders(protectedFolders);
        form->setFolderPath(labels);
    }

    QString path(const char* name) const {
        return labels + QLatin1Char('/') + QString::fromUtf8(name);
    }
    bool exists(const char* name) const { return QFileInfo::exists(path(name)); }
    void click(const char* button) {
        form->findChild<QPushButton*>(QString::fromUtf8(button))->click();
    }
};

}  // namespace

class TestFileManagerForm : public QObject {
    Q_OBJECT
  private slots:
    void menuOpensTheModalForm();
    void startsInTheCurrentFolder();
    void protectsTheProgramsOwnFolderByDefault();
    void listsMountedVolumesAndFilesOnly();
    void choosingADriveShowsItsRoot();
    void deleteSelectedFiles_data();
    void deleteSelectedFiles();
    void deleteWithNothingSelectedDeletesTheFolder_data();
    void deleteWithNothingSelectedDeletesTheFolder();
    void protectedFoldersAreRefused_data();
    void protectedFoldersAreRefused();
    void failedDeletionsAreReportedAndTheFormStaysUsable();
    void vanishedFolderIsReported();
    void renameNeedsExactlyOneFile_data();
    void renameNeedsExactlyOneFile();
    void renameRefusals_data();
    void renameRefusals();
    void renameEmptyAnswerOrCancelDoesNothing_data();
    void renameEmptyAnswerOrCancelDoesNothing();
    void renameRenamesInTheSameFolder();
    void renameOfAVanishedFileIsReported();
    void cancelClosesTheForm();
};

void TestFileManagerForm::menuOpensTheModalForm() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    QString title;
    bool modal = false;
    QString start;
    QTimer::singleShot(0, this, [&] {
        auto* form = qobject_cast<ProcessFileForm*>(QApplication::activeModalWidget());
        if (!form) return;
        title = form->windowTitle();
        modal = form->isModal();
        start = form->folderPath();
        form->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
    });
    s.window->menuItem(QStringLiteral("mnuProcessFile"))->trigger();
    QCOMPARE(title, QStringLiteral("Process Label File(s)"));
    QVERIFY(modal);
    QCOMPARE(start, QDir::currentPath());
    // Unloaded when it returns.
    QVERIFY(s.window->findChildren<ProcessFileForm*>().isEmpty());
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestFileManagerForm::startsInTheCurrentFolder() {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    ScriptedDialogs dialogs;
    ProcessFileForm form(dialogs);
    QDir::setCurrent(previous);
    QCOMPARE(form.folderPath(), dir.path());
    QCOMPARE(form.findChild<QTreeView*>(QStringLiteral("Dir1"))->currentIndex().data().toString(),
             QFileInfo(dir.path()).fileName());
}

void TestFileManagerForm::protectsTheProgramsOwnFolderByDefault() {
    ScriptedDialogs dialogs;
    ProcessFileForm form(dialogs);
    QCOMPARE(QString::fromStdString(form.protectedFolders().applicationFolder),
             QCoreApplication::applicationDirPath());
    QCOMPARE(QString::fromStdString(form.protectedFolders().homeFolder), QDir::homePath());
    // Refused before any question: answering the script's OK cannot delete it.
    QVERIFY(form.setFolderPath(QCoreApplication::applicationDirPath()));
    dialogs.expectMessage(QStringLiteral("You are not allowed to delete the current application "
                                         "folder: ") +
                              QCoreApplication::applicationDirPath(),
                          MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    form.findChild<QPushButton*>(QStringLiteral("btnDelete"))->click();
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(QFileInfo(QCoreApplication::applicationFilePath()).exists());
}

void TestFileManagerForm::listsMountedVolumesAndFilesOnly() {
    Scene scene;
    auto* drives = scene.form->findChild<QComboBox*>(QStringLiteral("Drive1"));
    QVERIFY(drives);
    QStringList roots;
    for (int i = 0; i < drives->count(); ++i) roots << drives->itemData(i).toString();
    QVERIFY(roots.contains(QStringLiteral("/")));
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady()) QVERIFY(roots.contains(volume.rootPath()));
    QCOMPARE(scene.form->driveRoot(), QStorageInfo(scene.labels).rootPath());
    const char* const files[] = {"a.dat", "b.dat", "C.dat", "d.dat", "e.dat"};
    QCOMPARE(scene.form->fileNames(), names(files, 5));
    QCOMPARE(scene.form->findChild<QListWidget*>(QStringLiteral("File1"))->selectionMode(),
             QAbstractItemView::ExtendedSelection);
}

void TestFileManagerForm::choosingADriveShowsItsRoot() {
    Scene scene;
    auto* drives = scene.form->findChild<QComboBox*>(QStringLiteral("Drive1"));
    const int root = drives->findData(QStringLiteral("/"));
    QVERIFY(root >= 0);
    drives->setCurrentIndex(root);
    scene.form->Drive1_Change();
    QCOMPARE(scene.form->folderPath(), QStringLiteral("/"));
    // The file list follows the folder.
    QVERIFY(!scene.form->fileNames().contains(QStringLiteral("a.dat")));
    QVERIFY(scene.form->setFolderPath(scene.labels));
    QCOMPARE(scene.form->fileNames().size(), 5);
}

void TestFileManagerForm::deleteSelectedFiles_data() {
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("Yes") << MessageAnswer::Yes;
    QTest::newRow("No") << MessageAnswer::No;
}

void TestFileManagerForm::deleteSelectedFiles() {
    QFETCH(MessageAnswer, answer);
    Scene scene;
    scene.form->selectFiles(
        {QStringLiteral("a.dat"), QStringLiteral("C.dat"), QStringLiteral("e.dat")});
    QCOMPARE(scene.form->selectedFileCount(), 3);
    scene.dialogs.expectMessage(
        QStringLiteral("Do you want to delete the selected file(s) in the folder %1 ?")
            .arg(scene.labels),
        MessageButtons::YesNo, MessageIcon::Question, answer, QStringLiteral("Delete File(s)"));
    scene.click("btnDelete");
    LM_VERIFY_DIALOGS(scene.dialogs);
    const bool deleted = answer == MessageAnswer::Yes;
    QCOMPARE(scene.exists("a.dat"), !deleted);
    QCOMPARE(scene.exists("C.dat"), !deleted);
    QCOMPARE(scene.exists("e.dat"), !deleted);
    QVERIFY(scene.exists("b.dat"));
    QVERIFY(scene.exists("d.dat"));
    QVERIFY(scene.exists("sub/deeper/f.dat"));
    const char* const left[] = {"b.dat", "d.dat"};
    const char* const all[] = {"a.dat", "b.dat", "C.dat", "d.dat", "e.dat"};
    QCOMPARE(scene.form->fileNames(), deleted ? names(left, 2) : names(all, 5));
}

void TestFileManagerForm::deleteWithNothingSelectedDeletesTheFolder_data() {
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("Yes") << MessageAnswer::Yes;
    QTest::newRow("No") << MessageAnswer::No;
}

void TestFileManagerForm::deleteWithNothingSelectedDeletesTheFolder() {
    QFETCH(MessageAnswer, answer);
    Scene scene;
    QVERIFY(scene.form->setFolderPath(scene.path("sub")));
    QCOMPARE(scene.form->selectedFileCount(), 0);
    scene.dialogs.expectMessage(
        QStringLiteral("Do you want to delete the selected folder: %1 ?").arg(scene.path("sub")),
        MessageButtons::YesNo, MessageIcon::Question, answer, QStringLiteral("Delete Folder"));
    scene.click("btnDelete");
    LM_VERIFY_DIALOGS(scene.dialogs);
    if (answer == MessageAnswer::Yes) {
        QVERIFY(!scene.exists("sub"));
        // The form moves to what is left: the parent folder.
        QCOMPARE(scene.form->folderPath(), scene.labels);
        QCOMPARE(scene.form->fileNames().size(), 5);
    } else {
        QVERIFY(scene.exists("sub/deeper/f.dat"));
        QCOMPARE(scene.form->folderPath(), scene.path("sub"));
    }
    QVERIFY(scene.exists("a.dat"));
}

void TestFileManagerForm::protectedFoldersAreRefused_data() {
    QTest::addColumn<QString>("folder");  // inside the temporary folder; "/" the root
    QTest::addColumn<QString>("refusal");
    QTest::newRow("the program's folder")
        << "program"
        << "You are not allowed to delete the current application folder: ";
    QTest::newRow("the home folder") << "home"
                                     << "You are not allowed to delete your home folder: ";
    QTest::newRow("the working folder")
        << "home/qortex"
        << "You are not allowed to delete the Label Maker's working folder: ";
    QTest::newRow("a folder holding them")
        << ""
        << "You are not allowed to delete a folder that holds the current application "
           "folder: ";
    QTest::newRow("the root") << "/"
                              << "You are not allowed to delete the root folder of a drive: ";
}

void TestFileManagerForm::protectedFoldersAreRefused() {
    QFETCH(QString, folder);
    QFETCH(QString, refusal);
    Scene scene;
    const QString path = folder == QStringLiteral("/")
                             ? folder
                             : QDir::cleanPath(scene.dir.path() + QLatin1Char('/') + folder);
    QVERIFY(scene.form->setFolderPath(path));
    QCOMPARE(scene.form->folderPath(), path);
    // An OK box with the program's title, asked instead of the question.
    scene.dialogs.expectMessage(refusal + path, MessageButtons::Ok, MessageIcon::None,
                                MessageAnswer::Ok);
    scene.click("btnDelete");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QVERIFY(QFileInfo(path).isDir());
    QVERIFY(scene.exists("a.dat"));
    QVERIFY(QFileInfo(scene.dir.filePath(QStringLiteral("home/qortex"))).isDir());
}

void TestFileManagerForm::failedDeletionsAreReportedAndTheFormStaysUsable() {
    Scene scene;
    scene.form->selectFiles(
        {QStringLiteral("a.dat"), QStringLiteral("b.dat"), QStringLiteral("d.dat")});
    // Gone before the operator answers.
    QVERIFY(QFile::remove(scene.path("b.dat")));
    scene.dialogs.expectMessage(
        QStringLiteral("Do you want to delete the selected file(s) in the folder %1 ?")
            .arg(scene.labels),
        MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes,
        QStringLiteral("Delete File(s)"));
    scene.dialogs.expectMessage(QStringLiteral("These file(s) could not be deleted:\r\n%1: No "
                                               "such file or directory")
                                    .arg(scene.path("b.dat")),
                                MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    scene.click("btnDelete");
    LM_VERIFY_DIALOGS(scene.dialogs);
    // The others went all the same, and the list shows what is left.
    QVERIFY(!scene.exists("a.dat"));
    QVERIFY(!scene.exists("d.dat"));
    const char* const left[] = {"C.dat", "e.dat"};
    QCOMPARE(scene.form->fileNames(), names(left, 2));

    // Still usable.
    scene.form->selectFiles({QStringLiteral("e.dat")});
    scene.dialogs.expectMessage(
        QStringLiteral("Do you want to delete the selected file(s) in the folder %1 ?")
            .arg(scene.labels),
        MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes,
        QStringLiteral("Delete File(s)"));
    scene.click("btnDelete");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QVERIFY(!scene.exists("e.dat"));
}

void TestFileManagerForm::vanishedFolderIsReported() {
    Scene scene;
    QVERIFY(scene.form->setFolderPath(scene.path("old")));
    QVERIFY(QDir(scene.path("old")).removeRecursively());
    scene.dialogs.expectMessage(
        QStringLiteral("Do you want to delete the selected folder: %1 ?").arg(scene.path("old")),
        MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes,
        QStringLiteral("Delete Folder"));
    scene.dialogs.expectMessage(
        QStringLiteral("The folder %1 could not be deleted completely:\r\n%1: No such file or "
                       "directory")
            .arg(scene.path("old")),
        MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    scene.click("btnDelete");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QCOMPARE(scene.form->folderPath(), scene.labels);
    QVERIFY(scene.form->isEnabled());
}

void TestFileManagerForm::renameNeedsExactlyOneFile_data() {
    QTest::addColumn<QStringList>("selected");
    QTest::newRow("two") << QStringList{QStringLiteral("a.dat"), QStringLiteral("b.dat")};
    QTest::newRow("none") << QStringList{};
}

void TestFileManagerForm::renameNeedsExactlyOneFile() {
    QFETCH(QStringList, selected);
    Scene scene;
    scene.form->selectFiles(selected);
    scene.dialogs.expectMessage(QStringLiteral("You can select only one file to rename"),
                                MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    scene.click("btnRename");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QCOMPARE(scene.form->fileNames().size(), 5);
}

void TestFileManagerForm::renameRefusals_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("refusal");
    const QString notPlain = QStringLiteral(
        "The new file name can not contain \"/\" or be \".\" or \"..\". You can't rename.");
    const QString fileExists =
        QStringLiteral("The destination file already exists. You can't rename.");
    const QString isFolder =
        QStringLiteral("The destination file is a folder, You can't rename it.");
    QTest::newRow("existing file") << "b.dat" << fileExists;
    QTest::newRow("existing folder") << "sub" << isFolder;
    QTest::newRow("into a subfolder") << "sub/a.dat" << notPlain;
    QTest::newRow("upwards") << "../a.dat" << notPlain;
    QTest::newRow("dot dot") << ".." << notPlain;
}

void TestFileManagerForm::renameRefusals() {
    QFETCH(QString, answer);
    QFETCH(QString, refusal);
    Scene scene;
    scene.form->selectFiles({QStringLiteral("a.dat")});
    scene.dialogs.expectInput(QStringLiteral("Please enter the new file name:"),
                              QStringLiteral("New File Name"), QStringLiteral("a.dat"), answer);
    scene.dialogs.expectMessage(refusal, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    scene.click("btnRename");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QVERIFY(scene.exists("a.dat"));
    QVERIFY(!scene.exists("sub/a.dat"));
    QVERIFY(!QFileInfo::exists(scene.dir.filePath(QStringLiteral("a.dat"))));
    QCOMPARE(scene.form->fileNames().size(), 5);
}

void TestFileManagerForm::renameEmptyAnswerOrCancelDoesNothing_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("empty") << std::optional<QString>(QString());
    QTest::newRow("Cancel") << std::optional<QString>();
}

void TestFileManagerForm::renameEmptyAnswerOrCancelDoesNothing() {
    using Answer = std::optional<QString>;
    QFETCH(Answer, answer);
    Scene scene;
    scene.form->selectFiles({QStringLiteral("d.dat")});
    scene.dialogs.expectInput(QStringLiteral("Please enter the new file name:"),
                              QStringLiteral("New File Name"), QStringLiteral("d.dat"), answer);
    scene.click("btnRename");
    LM_VERIFY_DIALOGS(scene.dialogs);  // no message either
    QVERIFY(scene.exists("d.dat"));
    QCOMPARE(scene.form->fileNames().size(), 5);
}

void TestFileManagerForm::renameRenamesInTheSameFolder() {
    Scene scene;
    writeFile(scene.path("C.dat"), "C's labels~~");
    scene.form->selectFiles({QStringLiteral("C.dat")});
    scene.dialogs.expectInput(QStringLiteral("Please enter the new file name:"),
                              QStringLiteral("New File Name"), QStringLiteral("C.dat"),
                              QStringLiteral("kept copy.dat"));
    scene.click("btnRename");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QVERIFY(!scene.exists("C.dat"));
    QFile renamed(scene.path("kept copy.dat"));
    QVERIFY(renamed.open(QIODevice::ReadOnly));
    QCOMPARE(renamed.readAll(), QByteArray("C's labels~~"));
    const char* const files[] = {"a.dat", "b.dat", "d.dat", "e.dat", "kept copy.dat"};
    QCOMPARE(scene.form->fileNames(), names(files, 5));
    QCOMPARE(scene.form->selectedFileNames(), QStringList{QStringLiteral("kept copy.dat")});
}

void TestFileManagerForm::renameOfAVanishedFileIsReported() {
    Scene scene;
    scene.form->selectFiles({QStringLiteral("b.dat")});
    QVERIFY(QFile::remove(scene.path("b.dat")));
    scene.dialogs.expectInput(QStringLiteral("Please enter the new file name:"),
                              QStringLiteral("New File Name"), QStringLiteral("b.dat"),
                              QStringLiteral("z.dat"));
    scene.dialogs.expectMessage(
        QStringLiteral("The file %1 could not be renamed to z.dat:\r\n%1: No such file or "
                       "directory")
            .arg(scene.path("b.dat")),
        MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    scene.click("btnRename");
    LM_VERIFY_DIALOGS(scene.dialogs);
    QVERIFY(!scene.exists("z.dat"));
    const char* const left[] = {"a.dat", "C.dat", "d.dat", "e.dat"};
    QCOMPARE(scene.form->fileNames(), names(left, 4));
}

void TestFileManagerForm::cancelClosesTheForm() {
    Scene scene;
    scene.form->show();
    QVERIFY(scene.form->isVisible());
    scene.click("btnCancel");
    QVERIFY(!scene.form->isVisible());
    QCOMPARE(scene.form->result(), int(QDialog::Rejected));
    QVERIFY(scene.exists("a.dat"));
}

QTEST_MAIN(TestFileManagerForm)
#include "tst_filemanager.moc"

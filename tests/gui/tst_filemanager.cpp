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

QString q(const char* text) {
    return QString::fromUtf8(text);
}

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void writeFile(const QString& path, const QByteArray& bytes = "label~~") {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

// "a b c" as a list of names.
QStringList names(const QString& list) {
    return list.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}
QStringList names(const char* list) {
    return names(q(list));
}

const char* const kAllFiles = "a.dat b.dat C.dat d.dat e.dat";

// A folder "labels" of five label files, a hidden one and the subfolders
// "sub/deeper" and "old", and the dialog showing it. Every protected folder
// is a folder of its own inside the temporary one, so nothing outside it can
// be reached.
struct Scene {
    QTemporaryDir dir;
    QString labels = dir.filePath(QStringLiteral("labels"));
    ScriptedDialogs dialogs;
    std::unique_ptr<ProcessFileForm> form;

    Scene() {
        QDir().mkpath(labels + QStringLiteral("/sub/deeper"));
        QDir().mkpath(labels + QStringLiteral("/old"));
        for (const QString& name : names("a.dat b.dat C.dat d.dat e.dat .hidden sub/deeper/f.dat"))
            writeFile(labels + QLatin1Char('/') + name);
        for (const char* name : {"program", "home/qortex"}) QDir(dir.path()).mkpath(q(name));
        form = std::make_unique<ProcessFileForm>(dialogs);
        lm::ProtectedFolders protectedFolders;
        protectedFolders.applicationFolder = native(dir.filePath(QStringLiteral("program")));
        protectedFolders.homeFolder = native(dir.filePath(QStringLiteral("home")));
        protectedFolders.workingFolder = native(dir.filePath(QStringLiteral("home/qortex")));
        form->setProtectedFolders(protectedFolders);
        form->setFolderPath(labels);
    }

    QString path(const char* name) const { return labels + QLatin1Char('/') + q(name); }
    bool exists(const char* name) const { return QFileInfo::exists(path(name)); }
    void click(const char* button) { form->findChild<QPushButton*>(q(button))->click(); }
    void expectDeleteFiles(MessageAnswer answer) {
        dialogs.expectMessage(
            QStringLiteral("Do you want to delete the selected file(s) in the folder %1 ?")
                .arg(labels),
            MessageButtons::YesNo, MessageIcon::Question, answer, q("Delete File(s)"));
    }
    void expectDeleteFolder(const char* name, MessageAnswer answer) {
        dialogs.expectMessage(
            QStringLiteral("Do you want to delete the selected folder: %1 ?").arg(path(name)),
            MessageButtons::YesNo, MessageIcon::Question, answer, q("Delete Folder"));
    }
};

}  // namespace

class TestFileManagerForm : public QObject {
    Q_OBJECT
  private slots:
    // Modal, starting in the current folder, unloaded when it returns.
    void menuOpensTheModalForm() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto* form = qobject_cast<ProcessFileForm*>(QApplication::activeModalWidget());
            if (!form) return;
            seen = form->windowTitle() + QLatin1Char('|') + form->folderPath() +
                   (form->isModal() ? QStringLiteral("|modal") : QString());
            form->findChild<QPushButton*>(QStringLiteral("btnCancel"))->click();
        });
        trigger(*s.window, q("mnuProcessFile"));
        QCOMPARE(seen, q("Process Label File(s)|") + QDir::currentPath() + q("|modal"));
        QVERIFY(s.window->findChildren<ProcessFileForm*>().isEmpty());
        LM_VERIFY_DIALOGS(s.dialogs);
    }
    // By default the running program's own folder is protected.
    void startsInTheCurrentFolderAndProtectsTheProgramsFolder() {
        QTemporaryDir dir;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        ScriptedDialogs dialogs;
        ProcessFileForm form(dialogs);
        QDir::setCurrent(previous);
        QCOMPARE(form.folderPath(), dir.path());
        QCOMPARE(
            form.findChild<QTreeView*>(QStringLiteral("Dir1"))->currentIndex().data().toString(),
            QFileInfo(dir.path()).fileName());
        const QString program = QCoreApplication::applicationDirPath();
        QVERIFY(form.setFolderPath(program));
        dialogs.expectOk(q("You are not allowed to delete the current application folder: ") +
                         program);
        form.findChild<QPushButton*>(QStringLiteral("btnDelete"))->click();
        LM_VERIFY_DIALOGS(dialogs);
        QVERIFY(QFileInfo(QCoreApplication::applicationFilePath()).exists());
    }
    // Choosing a drive shows its root; the file list follows the folder.
    void listsMountedVolumesAndFilesOnly() {
        Scene scene;
        auto* drives = scene.form->findChild<QComboBox*>(QStringLiteral("Drive1"));
        QStringList roots;
        for (int i = 0; i < drives->count(); ++i) roots << drives->itemData(i).toString();
        // Other tests may mount and unmount volumes meanwhile: only these two are sure.
        const QString labelsRoot = QStorageInfo(scene.labels).rootPath();
        QVERIFY(roots.contains(QStringLiteral("/")) && roots.contains(labelsRoot));
        QCOMPARE(scene.form->driveRoot(), labelsRoot);
        QCOMPARE(scene.form->fileNames(), names(kAllFiles));
        QCOMPARE(scene.form->findChild<QListWidget*>(QStringLiteral("File1"))->selectionMode(),
                 QAbstractItemView::ExtendedSelection);

        drives->setCurrentIndex(int(roots.indexOf(QStringLiteral("/"))));
        scene.form->Drive1_Change();
        QCOMPARE(scene.form->folderPath(), QStringLiteral("/"));
        QVERIFY(!scene.form->fileNames().contains(QStringLiteral("a.dat")));
    }
    void deleteAsksFirst_data() {
        QTest::addColumn<QString>("selected");  // none: the folder "sub" is deleted
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("left");  // the files listed afterwards
        QTest::newRow("files, Yes") << "a.dat C.dat e.dat" << true << "b.dat d.dat";
        QTest::newRow("files, No") << "a.dat C.dat e.dat" << false << kAllFiles;
        // Yes moves the form to what is left: the parent folder.
        QTest::newRow("folder, Yes") << "" << true << kAllFiles;
    }
    void deleteAsksFirst() {
        QFETCH(QString, selected);
        QFETCH(bool, yes);
        QFETCH(QString, left);
        Scene scene;
        const MessageAnswer answer = yes ? MessageAnswer::Yes : MessageAnswer::No;
        if (selected.isEmpty()) {
            QVERIFY(scene.form->setFolderPath(scene.path("sub")));
            scene.expectDeleteFolder("sub", answer);
        } else {
            scene.form->selectFiles(names(selected));
            QCOMPARE(scene.form->selectedFileCount(), 3);
            scene.expectDeleteFiles(answer);
        }
        scene.click("btnDelete");
        LM_VERIFY_DIALOGS(scene.dialogs);
        QCOMPARE(scene.form->fileNames(), names(left));
        QCOMPARE(scene.exists("sub/deeper/f.dat"), !yes || !selected.isEmpty());
        for (const QString& name : names(kAllFiles))
            QCOMPARE(scene.exists(qPrintable(name)), !yes || !selected.contains(name));
    }
    void protectedFoldersAreRefused_data() {
        QTest::addColumn<QString>("folder");  // inside the temporary folder; "/" the root
        QTest::addColumn<QString>("refusal");
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
    // An OK box with the program's title, shown instead of the question.
    void protectedFoldersAreRefused() {
        QFETCH(QString, folder);
        QFETCH(QString, refusal);
        Scene scene;
        const QString path = folder == QStringLiteral("/")
                                 ? folder
                                 : QDir::cleanPath(scene.dir.path() + QLatin1Char('/') + folder);
        QVERIFY(scene.form->setFolderPath(path));
        scene.dialogs.expectOk(refusal + path);
        scene.click("btnDelete");
        LM_VERIFY_DIALOGS(scene.dialogs);
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QFileInfo(scene.dir.filePath(QStringLiteral("home/qortex"))).isDir());
        QVERIFY(scene.exists("a.dat"));
    }
    // A file or folder gone before the operator answers is reported; the other
    // files go all the same, the list shows what is left and the form goes on.
    void vanishedItemsAreReported() {
        Scene scene;
        scene.form->selectFiles(names("a.dat b.dat d.dat"));
        QVERIFY(QFile::remove(scene.path("b.dat")));
        scene.expectDeleteFiles(MessageAnswer::Yes);
        scene.dialogs.expectOk(
            QStringLiteral("These file(s) could not be deleted:\r\n%1: No such file or directory")
                .arg(scene.path("b.dat")),
            MessageIcon::Critical);
        scene.click("btnDelete");
        LM_VERIFY_DIALOGS(scene.dialogs);
        QCOMPARE(scene.form->fileNames(), names("C.dat e.dat"));

        QVERIFY(scene.form->setFolderPath(scene.path("old")));
        QVERIFY(QDir(scene.path("old")).removeRecursively());
        scene.expectDeleteFolder("old", MessageAnswer::Yes);
        scene.dialogs.expectOk(
            QStringLiteral("The folder %1 could not be deleted completely:\r\n%1: "
                           "No such file or directory")
                .arg(scene.path("old")),
            MessageIcon::Critical);
        scene.click("btnDelete");
        LM_VERIFY_DIALOGS(scene.dialogs);
        QCOMPARE(scene.form->folderPath(), scene.labels);
        QCOMPARE(scene.form->fileNames(), names("C.dat e.dat"));
        QVERIFY(scene.form->isEnabled());
    }
    void rename_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<std::optional<QString>>("answer");  // to the input box; none: not asked
        QTest::addColumn<QString>("message");                // %1: the folder
        QTest::addColumn<QString>("files");                  // listed afterwards
        using Answer = std::optional<QString>;
        const QString notPlain =
            q("The new file name can not contain \"/\" or be \".\" or \"..\". You can't rename.");
        const QString one = q("You can select only one file to rename");
        QTest::newRow("two") << "a.dat b.dat" << Answer() << one << kAllFiles;
        QTest::newRow("existing file")
            << "a.dat" << Answer(q("b.dat"))
            << q("The destination file already exists. You can't rename.") << kAllFiles;
        QTest::newRow("existing folder")
            << "a.dat" << Answer(q("sub"))
            << q("The destination file is a folder, You can't rename it.") << kAllFiles;
        QTest::newRow("into a subfolder")
            << "a.dat" << Answer(q("sub/a.dat")) << notPlain << kAllFiles;
        QTest::newRow("empty") << "d.dat" << Answer(QString()) << "" << kAllFiles;
        QTest::newRow("renamed") << "C.dat" << Answer(q("kept copy.dat")) << ""
                                 << "a.dat b.dat d.dat e.dat kept_copy.dat";
        QTest::newRow("vanished")
            << "b.dat" << Answer(q("z.dat"))
            << "The file %1/b.dat could not be renamed to z.dat:\r\n%1/b.dat: "
               "No such file or directory"
            << "a.dat C.dat d.dat e.dat";
    }
    // Renaming stays in the folder and selects the new name; every refusal
    // leaves the file where it was.
    void rename() {
        using Answer = std::optional<QString>;
        QFETCH(QString, selected);
        QFETCH(Answer, answer);
        QFETCH(QString, message);
        QFETCH(QString, files);
        Scene scene;
        writeFile(scene.path("C.dat"), "C's labels~~");
        scene.form->selectFiles(names(selected));
        if (QTest::currentDataTag() == QByteArrayLiteral("vanished"))
            QVERIFY(QFile::remove(scene.path("b.dat")));
        const bool asked = names(selected).size() == 1;
        if (asked)
            scene.dialogs.expectInput(q("Please enter the new file name:"), q("New File Name"),
                                      selected, answer);
        if (!message.isEmpty())
            scene.dialogs.expectOk(message.arg(scene.labels), message.contains(q("%1"))
                                                                  ? MessageIcon::Critical
                                                                  : MessageIcon::None);
        scene.click("btnRename");
        LM_VERIFY_DIALOGS(scene.dialogs);
        QStringList listed = names(files);
        listed.replaceInStrings(q("kept_copy"), q("kept copy"));
        QCOMPARE(scene.form->fileNames(), listed);
        QVERIFY(!scene.exists("sub/a.dat") && !QFileInfo::exists(scene.dir.filePath(q("a.dat"))));
        if (listed.contains(q("kept copy.dat"))) {
            QFile renamed(scene.path("kept copy.dat"));
            QVERIFY(renamed.open(QIODevice::ReadOnly));
            QCOMPARE(renamed.readAll(), QByteArray("C's labels~~"));
            QCOMPARE(scene.form->selectedFileNames(), QStringList{q("kept copy.dat")});
        }
    }
};

QTEST_MAIN(TestFileManagerForm)
#include "tst_filemanager.moc"

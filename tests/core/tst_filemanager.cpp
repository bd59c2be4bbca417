#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/filemanager.h"
#include "storefixtures.h"

Q_DECLARE_METATYPE(lm::RenameRefusal)

namespace {

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString text(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

void writeFile(const QString& path, const QByteArray& bytes = "label~~") {
    lmtest::writeBytes(path, bytes);
}

// Every entry below `root` with what a file holds, to tell that nothing changed.
QStringList snapshot(const QString& root) {
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries << path + QLatin1Char('=') +
                       (it.fileInfo().isFile() ? QString::fromLatin1(lmtest::readBytes(path))
                                               : QString());
    }
    entries.sort();
    return entries;
}

}  // namespace

class TestFileManager : public QObject {
    Q_OBJECT
  private slots:
    void listFilesShowsFilesOnly() {
        QTemporaryDir dir;
        const QString root = dir.path();
        QVERIFY(QDir(root).mkpath(QStringLiteral("sub")));
        for (const char* name : {"a.dat", "B.dat", ".hidden", "sub/b.dat", "\xc3\xa9t\xc3\xa9.dat"})
            writeFile(root + QLatin1Char('/') + QString::fromUtf8(name));
        QVERIFY(
            QFile::link(root + QStringLiteral("/sub"), root + QStringLiteral("/link-to-folder")));
        QVERIFY(
            QFile::link(root + QStringLiteral("/a.dat"), root + QStringLiteral("/link-to-file")));
        QVERIFY(
            QFile::link(root + QStringLiteral("/nowhere"), root + QStringLiteral("/broken-link")));
        lm::Result<std::vector<std::string>> names = lm::listFiles(native(root));
        QVERIFY(names.ok());
        QCOMPARE(*names, (std::vector<std::string>{"B.dat", "a.dat", "broken-link", "link-to-file",
                                                   "\xc3\xa9t\xc3\xa9.dat"}));
    }
    void folderExistsFollowsLinks() {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.dat"));
        writeFile(file);
        QVERIFY(QFile::link(dir.path(), dir.filePath(QStringLiteral("link"))));
        QVERIFY(lm::folderExists(native(dir.path())));
        QVERIFY(lm::folderExists(native(dir.filePath(QStringLiteral("link")))));
        QVERIFY(!lm::folderExists(native(file)));
        QVERIFY(!lm::folderExists(native(dir.filePath(QStringLiteral("gone")))));
    }
    // Read-only files and folders go; links go, never what they point to.
    void deletionRemovesOnlyWhatItNames() {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("tree"));
        const QString outside = dir.filePath(QStringLiteral("outside"));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/sub/deeper")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/locked")));
        QVERIFY(QDir().mkpath(outside));
        for (const char* name : {"/a.dat", "/.hidden", "/sub/deeper/c.dat", "/locked/d.dat"})
            writeFile(root + QLatin1String(name));
        writeFile(outside + QStringLiteral("/precious.dat"), "precious");
        QVERIFY(QFile::link(outside, root + QStringLiteral("/sub/link-to-outside")));
        QVERIFY(QFile::link(outside + QStringLiteral("/precious.dat"),
                            root + QStringLiteral("/file-link")));
        QVERIFY(QFile::link(root, dir.filePath(QStringLiteral("tree-link"))));
        QFile::setPermissions(root + QStringLiteral("/a.dat"), QFileDevice::ReadOwner);
        QFile::setPermissions(root + QStringLiteral("/locked/d.dat"), QFileDevice::ReadOwner);
        QFile::setPermissions(root + QStringLiteral("/locked"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const QStringList outsideBefore = snapshot(outside);

        QVERIFY(lm::deleteFile(native(root + QStringLiteral("/a.dat"))).ok());
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/a.dat")));
        QVERIFY(lm::deleteFile(native(root + QStringLiteral("/file-link"))).ok());
        QVERIFY(!QFileInfo(root + QStringLiteral("/file-link")).isSymLink());
        QVERIFY(lm::deleteFolderTree(native(dir.filePath(QStringLiteral("tree-link")))).ok());
        QVERIFY(!QFileInfo(dir.filePath(QStringLiteral("tree-link"))).isSymLink());
        QVERIFY(QFileInfo::exists(root + QStringLiteral("/sub/deeper/c.dat")));

        lm::Status deleted = lm::deleteFolderTree(native(root + QStringLiteral("/")));
        QVERIFY2(deleted.ok(), deleted.ok() ? "" : deleted.error().message().c_str());
        QVERIFY(!QFileInfo::exists(root));
        QCOMPARE(snapshot(outside), outsideBefore);
    }
    void failuresSayWhyAndChangeNothing_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("target");  // in a folder holding sub/, old.dat, new.dat
        QTest::addColumn<QString>("reason");
        QTest::newRow("delete a folder as a file") << "deleteFile"
                                                   << "sub"
                                                   << "Is a directory";
        QTest::newRow("delete a file as a folder") << "deleteFolderTree"
                                                   << "old.dat"
                                                   << "Not a directory";
        // new.dat appeared between the check and the rename.
        QTest::newRow("rename onto a file") << "rename"
                                            << "old.dat"
                                            << "File exists";
    }
    void failuresSayWhyAndChangeNothing() {
        QFETCH(QString, operation);
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        writeFile(dir.filePath(QStringLiteral("old.dat")), "old");
        writeFile(dir.filePath(QStringLiteral("new.dat")), "new");
        const QStringList before = snapshot(dir.path());
        const std::string path = native(dir.filePath(target));
        lm::Status status;
        if (operation == QLatin1String("deleteFile"))
            status = lm::deleteFile(path);
        else if (operation == QLatin1String("deleteFolderTree"))
            status = lm::deleteFolderTree(path);
        else
            status = lm::renameFile(path, native(dir.filePath(QStringLiteral("new.dat"))));
        QVERIFY(!status.ok());
        QCOMPARE(text(status.error().reason), reason);
        // A rename onto a file names the file in the way.
        const bool taken = reason == QLatin1String("File exists");
        QCOMPARE(text(status.error().path),
                 dir.filePath(taken ? QStringLiteral("new.dat") : target));
        QCOMPARE(snapshot(dir.path()), before);
    }
    void rootAndMountPointsAreRefused() {
        const lm::ProtectedFolders none;
        QVERIFY(lm::isMountPoint("/"));
        lm::FolderDeletionCheck check = lm::checkFolderDeletion("/", none);
        QCOMPARE(int(check.folder), int(lm::ProtectedFolder::DriveRoot));
        QVERIFY(!check.holdsIt);
        QTemporaryDir dir;
        QVERIFY(!lm::isMountPoint(native(dir.path())));
        QVERIFY(lm::checkFolderDeletion(native(dir.path()), none).allowed());

        // Any mount point below the root, and a folder that holds one.
        const std::vector<std::string> points = lm::mountPoints();
        QVERIFY(!points.empty());
        for (const std::string& point : points) {
            if (point == "/" || !QFileInfo(text(point)).isDir()) continue;
            QVERIFY2(lm::isMountPoint(point), point.c_str());
            QCOMPARE(int(lm::checkFolderDeletion(point, none).folder),
                     int(lm::ProtectedFolder::DriveRoot));
            const QString parent = QFileInfo(text(point)).path();
            if (parent == QStringLiteral("/") || lm::isMountPoint(native(parent))) continue;
            check = lm::checkFolderDeletion(native(parent), none);
            QCOMPARE(int(check.folder), int(lm::ProtectedFolder::DriveRoot));
            QVERIFY(check.holdsIt);
            return;
        }
        QSKIP("no mount point below the root besides nested ones");
    }
    void protectedFoldersAreRefused_data() {
        QTest::addColumn<QString>("target");  // relative to the temporary folder
        QTest::addColumn<int>("folder");
        QTest::addColumn<bool>("holdsIt");
        const int app = int(lm::ProtectedFolder::Application);
        const int none = int(lm::ProtectedFolder::None);
        QTest::newRow("the program's folder") << "opt/bin" << app << false;
        QTest::newRow("the program's folder spelled otherwise") << "opt/./bin/" << app << false;
        QTest::newRow("the program's folder through a link") << "links/bin" << app << false;
        QTest::newRow("a folder holding the program's folder") << "opt" << app << true;
        QTest::newRow("a name that only begins like one") << "home/ann2" << none << false;
    }
    void protectedFoldersAreRefused() {
        QFETCH(QString, target);
        QFETCH(int, folder);
        QFETCH(bool, holdsIt);
        QTemporaryDir dir;
        for (const char* path :
             {"opt/bin", "home/ann/qortex", "home/ann/labels", "home/ann2", "links"})
            QVERIFY(QDir(dir.path()).mkpath(QString::fromUtf8(path)));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("opt/bin")),
                            dir.filePath(QStringLiteral("links/bin"))));
        lm::ProtectedFolders folders;
        folders.applicationFolder = native(dir.filePath(QStringLiteral("opt/bin")));
        folders.homeFolder = native(dir.filePath(QStringLiteral("home/ann")));
        folders.workingFolder = native(dir.filePath(QStringLiteral("home/ann/qortex")));
        lm::FolderDeletionCheck check =
            lm::checkFolderDeletion(native(dir.path() + QLatin1Char('/') + target), folders);
        QCOMPARE(int(check.folder), folder);
        QCOMPARE(check.holdsIt, holdsIt);
    }
    void protectedFoldersOfThisRun() {
        QTemporaryDir dir;
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldWork = qgetenv("QORTEX_DIR");
        qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("ann"))));
        qputenv("QORTEX_DIR", QFile::encodeName(dir.filePath(QStringLiteral("work"))));
        const lm::ProtectedFolders folders = lm::protectedFoldersOfThisRun("/opt/labelmaker/bin");
        qputenv("HOME", oldHome);
        qputenv("QORTEX_DIR", oldWork);
        QCOMPARE(text(folders.applicationFolder), QStringLiteral("/opt/labelmaker/bin"));
        QCOMPARE(text(folders.homeFolder), dir.filePath(QStringLiteral("ann")));
        QCOMPARE(text(folders.workingFolder), dir.filePath(QStringLiteral("work")));
    }
    void renameChecks_data() {
        QTest::addColumn<QString>("newName");
        QTest::addColumn<lm::RenameRefusal>("refusal");
        const auto plain = lm::RenameRefusal::NotAPlainName;
        QTest::newRow("free name") << "new.dat" << lm::RenameRefusal::None;
        QTest::newRow("blanks and backslash are names") << " a\\b " << lm::RenameRefusal::None;
        QTest::newRow("dot dot") << ".." << plain;
        QTest::newRow("NUL") << QStringLiteral("x") + QChar(0) + QStringLiteral("/y") << plain;
        QTest::newRow("broken link") << "broken" << lm::RenameRefusal::DestinationFileExists;
        QTest::newRow("link to a folder")
            << "folder-link" << lm::RenameRefusal::DestinationIsFolder;
    }
    void renameChecks() {
        QFETCH(QString, newName);
        QFETCH(lm::RenameRefusal, refusal);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("old.dat")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")),
                            dir.filePath(QStringLiteral("broken"))));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("sub")),
                            dir.filePath(QStringLiteral("folder-link"))));
        QCOMPARE(lm::checkRename(native(dir.path()), native(newName)), refusal);
    }
};

QTEST_APPLESS_MAIN(TestFileManager)
#include "tst_filemanager.moc"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "core/filemanager.h"

Q_DECLARE_METATYPE(lm::RenameRefusal)

namespace {

std::string native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString text(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

void writeFile(const QString& path, const QByteArray& bytes = "label~~") {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.readAll();
}

QStringList listed(const QString& folder) {
    lm::Result<std::vector<std::string>> names = lm::listFiles(native(folder));
    if (!names) return {QStringLiteral("error: ") + text(names.error().message())};
    QStringList result;
    for (const std::string& name : names.value()) result << text(name);
    return result;
}

// A folder inside a fresh temporary folder, with a few files and subfolders,
// and with `locked` a read-only file in a read-only folder.
QString makeTree(const QTemporaryDir& dir, const QString& name, bool locked = false) {
    const QString root = dir.filePath(name);
    QDir().mkpath(root + QStringLiteral("/sub/deeper"));
    writeFile(root + QStringLiteral("/a.dat"));
    writeFile(root + QStringLiteral("/.hidden"));
    writeFile(root + QStringLiteral("/sub/b.dat"));
    writeFile(root + QStringLiteral("/sub/deeper/c.dat"));
    if (!locked) return root;
    QDir().mkpath(root + QStringLiteral("/locked"));
    writeFile(root + QStringLiteral("/locked/d.dat"));
    QFile::setPermissions(root + QStringLiteral("/locked/d.dat"), QFileDevice::ReadOwner);
    QFile::setPermissions(root + QStringLiteral("/locked"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return root;
}

}  // namespace

class TestFileManager : public QObject {
    Q_OBJECT
  private slots:
    void joinPathUsesOneSeparator_data();
    void joinPathUsesOneSeparator();
    void listFilesShowsFilesOnly();
    void listFilesOfAMissingFolderIsAnError();
    void folderExistsFollowsLinks();
    void deleteFileRemovesIt();
    void deleteFileRefusesAFolderAndSaysWhy();
    void deleteFileRemovesALinkNotItsTarget();
    void deleteFolderTreeRemovesEverything();
    void deleteFolderTreeNeverFollowsLinks();
    void deleteFolderTreeOfALinkRemovesTheLinkOnly();
    void deleteFolderTreeOfAMissingFolderSaysWhy();
    void rootAndMountPointsAreRefused();
    void protectedFoldersAreRefused_data();
    void protectedFoldersAreRefused();
    void protectedFoldersOfThisRun();
    void renameChecks_data();
    void renameChecks();
    void renameMovesTheFile();
    void renameNeverReplaces();
    void renameOfAVanishedFileSaysWhy();
};

void TestFileManager::joinPathUsesOneSeparator_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("folder") << "/home/ann/labels"
                            << "a.dat"
                            << "/home/ann/labels/a.dat";
    QTest::newRow("root") << "/"
                          << "a.dat"
                          << "/a.dat";
    QTest::newRow("folder ending in /") << "/media/usb/"
                                        << "a.dat"
                                        << "/media/usb/a.dat";
    QTest::newRow("blanks kept") << "/tmp/my labels"
                                 << " a b.dat"
                                 << "/tmp/my labels/ a b.dat";
}

void TestFileManager::joinPathUsesOneSeparator() {
    QFETCH(QString, folder);
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(text(lm::joinPath(native(folder), native(name))), path);
}

void TestFileManager::listFilesShowsFilesOnly() {
    QTemporaryDir dir;
    const QString root = makeTree(dir, QStringLiteral("tree"));
    writeFile(root + QStringLiteral("/B.dat"));
    writeFile(root + QStringLiteral("/\u00e9t\u00e9.dat"));
    QVERIFY(QFile::link(root + QStringLiteral("/sub"), root + QStringLiteral("/link-to-folder")));
    QVERIFY(QFile::link(root + QStringLiteral("/a.dat"), root + QStringLiteral("/link-to-file")));
    QVERIFY(QFile::link(root + QStringLiteral("/nowhere"), root + QStringLiteral("/broken-link")));
    QCOMPARE(listed(root),
             (QStringList{QStringLiteral("B.dat"), QStringLiteral("a.dat"),
                          QStringLiteral("broken-link"), QStringLiteral("link-to-file"),
                          QStringLiteral("\u00e9t\u00e9.dat")}));
}

void TestFileManager::listFilesOfAMissingFolderIsAnError() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("gone"));
    lm::Result<std::vector<std::string>> names = lm::listFiles(native(missing));
    QVERIFY(!names.ok());
    QCOMPARE(text(names.error().path), missing);
    QCOMPARE(text(names.error().reason), QStringLiteral("No such file or directory"));
}

void TestFileManager::folderExistsFollowsLinks() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sub"));
    const QString file = dir.filePath(QStringLiteral("a.dat"));
    QVERIFY(QDir().mkdir(folder));
    writeFile(file);
    QVERIFY(QFile::link(folder, dir.filePath(QStringLiteral("link"))));
    QVERIFY(lm::folderExists(native(folder)));
    QVERIFY(lm::folderExists(native(dir.filePath(QStringLiteral("link")))));
    QVERIFY(!lm::folderExists(native(file)));
    QVERIFY(!lm::folderExists(native(dir.filePath(QStringLiteral("gone")))));
}

void TestFileManager::deleteFileRemovesIt() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.dat"));
    writeFile(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner);  // read-only goes too
    QVERIFY(lm::deleteFile(native(path)).ok());
    QVERIFY(!QFileInfo::exists(path));
}

void TestFileManager::deleteFileRefusesAFolderAndSaysWhy() {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("sub"));
    QVERIFY(QDir().mkdir(folder));
    lm::Status deleted = lm::deleteFile(native(folder));
    QVERIFY(!deleted.ok());
    QCOMPARE(text(deleted.error().reason), QStringLiteral("Is a directory"));
    QVERIFY(QFileInfo(folder).isDir());
    const QString gone = dir.filePath(QStringLiteral("gone.dat"));
    deleted = lm::deleteFile(native(gone));
    QVERIFY(!deleted.ok());
    QCOMPARE(text(deleted.error().message()), gone + QStringLiteral(": No such file or directory"));
}

void TestFileManager::deleteFileRemovesALinkNotItsTarget() {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.dat"));
    const QString link = dir.filePath(QStringLiteral("link.dat"));
    writeFile(target, "keep me");
    QVERIFY(QFile::link(target, link));
    QVERIFY(lm::deleteFile(native(link)).ok());
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(readFile(target), QByteArray("keep me"));
}

void TestFileManager::deleteFolderTreeRemovesEverything() {
    QTemporaryDir dir;
    const QString root = makeTree(dir, QStringLiteral("tree"), true);
    lm::Status deleted = lm::deleteFolderTree(native(root));
    QVERIFY2(deleted.ok(), deleted.ok() ? "" : deleted.error().message().c_str());
    QVERIFY(!QFileInfo::exists(root));
    QVERIFY(QFileInfo(dir.path()).isDir());
}

void TestFileManager::deleteFolderTreeNeverFollowsLinks() {
    QTemporaryDir dir;
    const QString root = makeTree(dir, QStringLiteral("tree"));
    const QString outside = dir.filePath(QStringLiteral("outside"));
    QVERIFY(QDir().mkdir(outside));
    writeFile(outside + QStringLiteral("/precious.dat"), "precious");
    QVERIFY(QFile::link(outside, root + QStringLiteral("/sub/link-to-outside")));
    QVERIFY(QFile::link(outside + QStringLiteral("/precious.dat"),
                        root + QStringLiteral("/file-link")));
    QVERIFY(lm::deleteFolderTree(native(root + QStringLiteral("/"))).ok());
    QVERIFY(!QFileInfo::exists(root));
    QCOMPARE(readFile(outside + QStringLiteral("/precious.dat")), QByteArray("precious"));
}

void TestFileManager::deleteFolderTreeOfALinkRemovesTheLinkOnly() {
    QTemporaryDir dir;
    const QString root = makeTree(dir, QStringLiteral("tree"));
    const QString link = dir.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(root, link));
    QVERIFY(lm::deleteFolderTree(native(link)).ok());
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo::exists(root + QStringLiteral("/sub/deeper/c.dat")));
}

void TestFileManager::deleteFolderTreeOfAMissingFolderSaysWhy() {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("gone"));
    lm::Status deleted = lm::deleteFolderTree(native(missing));
    QVERIFY(!deleted.ok());
    QCOMPARE(text(deleted.error().message()),
             missing + QStringLiteral(": No such file or directory"));
    const QString file = dir.filePath(QStringLiteral("plain.dat"));
    writeFile(file);
    deleted = lm::deleteFolderTree(native(file));
    QVERIFY(!deleted.ok());
    QCOMPARE(text(deleted.error().reason), QStringLiteral("Not a directory"));
    QVERIFY(QFileInfo::exists(file));
}

void TestFileManager::rootAndMountPointsAreRefused() {
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
        check = lm::checkFolderDeletion(point, none);
        QCOMPARE(int(check.folder), int(lm::ProtectedFolder::DriveRoot));
        const QString parent = QFileInfo(text(point)).path();
        if (parent == QStringLiteral("/") || lm::isMountPoint(native(parent))) continue;
        check = lm::checkFolderDeletion(native(parent), none);
        QCOMPARE(int(check.folder), int(lm::ProtectedFolder::DriveRoot));
        QVERIFY(check.holdsIt);
        return;
    }
    QSKIP("no mount point below the root besides nested ones");
}

void TestFileManager::protectedFoldersAreRefused_data() {
    QTest::addColumn<QString>("target");  // relative to the temporary folder
    QTest::addColumn<int>("folder");
    QTest::addColumn<bool>("holdsIt");
    const int app = int(lm::ProtectedFolder::Application);
    const int home = int(lm::ProtectedFolder::Home);
    const int work = int(lm::ProtectedFolder::Working);
    const int none = int(lm::ProtectedFolder::None);
    QTest::newRow("the program's folder") << "opt/bin" << app << false;
    QTest::newRow("the program's folder spelled otherwise") << "opt/./bin/" << app << false;
    QTest::newRow("the program's folder through a link") << "links/bin" << app << false;
    QTest::newRow("a folder holding the program's folder") << "opt" << app << true;
    QTest::newRow("the home folder") << "home/ann" << home << false;
    QTest::newRow("a folder holding the home folder") << "home" << home << true;
    QTest::newRow("the working folder") << "home/ann/qortex" << work << false;
    QTest::newRow("a folder beside them") << "home/ann/labels" << none << false;
    QTest::newRow("a name that only begins like one") << "home/ann2" << none << false;
}

void TestFileManager::protectedFoldersAreRefused() {
    QFETCH(QString, target);
    QFETCH(int, folder);
    QFETCH(bool, holdsIt);
    QTemporaryDir dir;
    for (const char* path : {"opt/bin", "home/ann/qortex", "home/ann/labels", "home/ann2", "links"})
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

void TestFileManager::protectedFoldersOfThisRun() {
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

void TestFileManager::renameChecks_data() {
    QTest::addColumn<QString>("newName");
    QTest::addColumn<lm::RenameRefusal>("refusal");
    QTest::newRow("free name") << "new.dat" << lm::RenameRefusal::None;
    QTest::newRow("three dots is a name") << "..." << lm::RenameRefusal::None;
    QTest::newRow("blanks and backslash are names") << " a\\b " << lm::RenameRefusal::None;
    QTest::newRow("a path into a subfolder") << "sub/x.dat" << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("a path upwards") << "../x.dat" << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("an absolute path") << "/tmp/x.dat" << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("dot") << "." << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("dot dot") << ".." << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("empty") << "" << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("NUL") << QStringLiteral("x") + QChar(0) + QStringLiteral("/y")
                         << lm::RenameRefusal::NotAPlainName;
    QTest::newRow("existing file") << "old.dat" << lm::RenameRefusal::DestinationFileExists;
    QTest::newRow("broken link") << "broken" << lm::RenameRefusal::DestinationFileExists;
    QTest::newRow("existing folder") << "sub" << lm::RenameRefusal::DestinationIsFolder;
    QTest::newRow("link to a folder") << "folder-link" << lm::RenameRefusal::DestinationIsFolder;
}

void TestFileManager::renameChecks() {
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

void TestFileManager::renameMovesTheFile() {
    QTemporaryDir dir;
    const QString oldPath = dir.filePath(QStringLiteral("old.dat"));
    const QString newPath = dir.filePath(QStringLiteral("new.dat"));
    writeFile(oldPath, "texts~~");
    QVERIFY(lm::renameFile(native(oldPath), native(newPath)).ok());
    QVERIFY(!QFileInfo::exists(oldPath));
    QCOMPARE(readFile(newPath), QByteArray("texts~~"));
}

void TestFileManager::renameNeverReplaces() {
    QTemporaryDir dir;
    const QString oldPath = dir.filePath(QStringLiteral("old.dat"));
    const QString newPath = dir.filePath(QStringLiteral("new.dat"));
    writeFile(oldPath, "old");
    // Appeared between the check and the rename.
    writeFile(newPath, "new");
    lm::Status renamed = lm::renameFile(native(oldPath), native(newPath));
    QVERIFY(!renamed.ok());
    QCOMPARE(text(renamed.error().reason), QStringLiteral("File exists"));
    QCOMPARE(readFile(oldPath), QByteArray("old"));
    QCOMPARE(readFile(newPath), QByteArray("new"));
}

void TestFileManager::renameOfAVanishedFileSaysWhy() {
    QTemporaryDir dir;
    const QString oldPath = dir.filePath(QStringLiteral("gone.dat"));
    lm::Status renamed =
        lm::renameFile(native(oldPath), native(dir.filePath(QStringLiteral("new.dat"))));
    QVERIFY(!renamed.ok());
    QCOMPARE(text(renamed.error().message()),
             oldPath + QStringLiteral(": No such file or directory"));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("new.dat"))));
}

QTEST_APPLESS_MAIN(TestFileManager)
#include "tst_filemanager.moc"

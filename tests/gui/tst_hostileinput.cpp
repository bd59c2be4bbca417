// The window's commands that take a file, and its start-up reading of the
// settings file, given hostile files: NUL bytes, lines of 10 MB, files past
// the largest label file, odd path names, unreadable files and named pipes.
// A refusal is a critical box that names the file and the reason; nothing
// that was on display or on disk before is lost.

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include "app/forms1.h"
#include "app/startup.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "import/connexionweb.h"
#include "scripteddialogs.h"
#include "store/filereport.h"
#include "store/loadcommands.h"
#include "testdata.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

// SparseTail: the body, then a hole of NUL bytes up to 2 GiB + 1.
// Largest: the largest label file, 2 GiB - 1 byte, of NUL bytes ending in the body.
enum Kind { Plain, OddName, LongLine, Sparse, SparseTail, Largest, Missing, Unreadable, Fifo };

const QByteArray kTenMegabytes = QByteArray(10 * 1024 * 1024, 'x');
const QByteArray kEarlier = "earlier~~";
constexpr qint64 kPastLargestLabelFile = 2147483648LL + 1;  // 2 GiB + 1 byte
const char* const kResults[] = {"$$$aaaa.dat", "NewFile_1.dat", "NewFileMultiple_1.dat"};

QByteArray expand(QByteArray bytes) {
    return bytes.replace("<10MB>", kTenMegabytes);
}

QByteArray fixture(const char* name) {
    QFile file(QStringLiteral(LM_TEST_DATA_DIR) + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool makeInput(Kind kind, const QString& path, const QByteArray& body) {
    QFile file(path);
    switch (kind) {
        case Missing:
            return true;
        case Sparse:
        case SparseTail:
            return file.open(QIODevice::WriteOnly) && file.write(body) == body.size() &&
                   file.resize(kPastLargestLabelFile);
        case Largest:
            return file.open(QIODevice::WriteOnly) &&
                   file.resize(kPastLargestLabelFile - 2 - body.size()) && file.seek(file.size()) &&
                   file.write(body) == body.size();
        case Fifo:
            return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
        default:
            if (!file.open(QIODevice::WriteOnly) || file.write(expand(body)) < 0) return false;
            file.close();
            return kind != Unreadable || file.setPermissions(QFileDevice::Permissions());
    }
}

// The open dialog each command shows.
void expectOpen(ScriptedDialogs& dialogs, const QString& item, const QString& answer) {
    const QString exports =
        QStringLiteral("Label Files (*.dat; *.txt)|*.dat;*.txt|All Files (*.*)|*.*");
    if (item == QLatin1String("mnuFile_Load"))
        dialogs.expectOpenFile(
            QStringLiteral("Open Label File"),
            QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*"), answer);
    else if (item == QLatin1String("mnuFile_Import"))
        dialogs.expectOpenFile(QStringLiteral("Import CatME Label File"), exports, answer);
    else if (item == QLatin1String("mnuImportConnexionClient"))
        dialogs.expectOpenFile(QStringLiteral("Import Connecxion Client Label File"), exports,
                               answer);
    else if (item == QLatin1String("mnuImport_ConnItem2"))
        dialogs.expectOpenFile(
            QStringLiteral("Import Connexion Label File"),
            QStringLiteral("Label Files (*.dat;*.txt)|*.dat;*.txt|All Files (*.*)|*.*"), answer);
}

QString settingsBox(const std::string& path, const QString& reason) {
    return QStringLiteral(
               "The settings file %1 cannot be read: %2\r\n\r\n"
               "The Label Maker cannot start. Correct the file, or remove it to "
               "start with the default settings.")
        .arg(QString::fromStdString(path), reason);
}

}  // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
  private slots:
    void fileCommands_data();
    void fileCommands();
    void settingsFile_data();
    void settingsFile();
    void workingFileAtStartUp_data();
    void workingFileAtStartUp();
    void oddWorkingFolderName();
};

void TestHostileInput::fileCommands_data() {
    QTest::addColumn<QString>("item");  // a menu item, or "folder" for the Connexion Web folder
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("body");    // <10MB> stands for 10 MiB of x
    QTest::addColumn<QString>("message");    // %1 the file chosen; empty: the command works
    QTest::addColumn<QByteArray>("spine2");  // a success's first spine text; "" any

    const QString load = QStringLiteral("The label file %1 cannot be opened.\r\n\r\n");
    const QString import = QStringLiteral("The file %1 could not be imported.\r\n\r\n");
    const QString extract =
        QStringLiteral("The labels of the file %1 could not be extracted.\r\n\r\n");
    const QString extractFolder =
        QStringLiteral("The labels of the folder %1 could not be extracted.\r\n\r\n%1/");
    const QString tooLong = QStringLiteral(
        "The file is 2147483649 bytes long; a label file can be at most 2,147,483,647 bytes.");
    const QString notText = QStringLiteral(
        "It holds NUL bytes: a binary file, or text in UTF-16, is no export. Nothing was "
        "imported.");
    // After the record's path the reason goes on in lower case.
    const QString recordNotText =
        QStringLiteral("record.txt: it") + notText.mid(QStringLiteral("It").size());
    const QString pipe = QStringLiteral("Not a regular file (a named pipe, a device or a socket).");
    const QByteArray nul("A\0B~~\0~~", 8);
    const QByteArray catMe = "QA76\n\n\n\n\n\n\n\n\n\n\n\n";
    const QByteArray connexion = fixture("/import/connexion_multiple.txt");
    const QByteArray record = fixture("/import/connexion_records/ocm00123.txt");
    auto row = [](const char* name, const char* item, Kind kind, const QByteArray& body,
                  const QString& message, const QByteArray& spine2 = {}) {
        QTest::newRow(name) << QString::fromLatin1(item) << int(kind) << body << message << spine2;
    };

    row("Load, NUL bytes", "mnuFile_Load", Plain, nul, {}, QByteArray("A\0B", 3));
    row("CatME, binary", "mnuFile_Import", Plain, nul + QByteArray(500, '\n'), import + notText);
    row("Connexion Client, binary", "mnuImportConnexionClient", Plain, nul + QByteArray(500, '\n'),
        import + notText);
    row("Connexion multiple, binary", "mnuImport_ConnItem2", Plain, nul + connexion,
        extract + notText);
    row("Connexion folder, binary record", "folder", Plain, nul + record,
        extractFolder + recordNotText);

    row("Load, a 10 MB label", "mnuFile_Load", LongLine, "<10MB>~~P~~", {}, "<10MB>");
    row("CatME, a 10 MB line", "mnuFile_Import", LongLine, "<10MB>\n\n\n\n\n\n\n\n\n\n\n\n", {},
        "<10MB>\r\n");
    row("Connexion multiple, a 10 MB line", "mnuImport_ConnItem2", LongLine, "<10MB>\n" + connexion,
        {});
    row("Connexion folder, a 10 MB record line", "folder", LongLine, "<10MB>\r\n" + record, {});

    row("Load, 2 GiB + 1", "mnuFile_Load", Sparse, {}, load + tooLong);
    row("PFW, 2 GiB + 1", "mnuImportPFW", Sparse, {}, load + tooLong);
    row("CatME, 2 GiB + 1", "mnuFile_Import", Sparse, {}, import + notText);
    row("Connexion multiple, 2 GiB + 1", "mnuImport_ConnItem2", Sparse, {}, extract + notText);
    row("Connexion folder, a 2 GiB + 1 record", "folder", Sparse, {},
        extractFolder + recordNotText);

    // Text for longer than the check looks, then gigabytes without a line feed.
    const QByteArray textStart = catMe.repeated(8000);
    const QString longLine = QStringLiteral(
        "The line that begins at byte 128001 is longer than 64 MiB: this is not a text export.");
    row("CatME, 2 GiB + 1 after a text start", "mnuFile_Import", SparseTail, textStart,
        import + longLine);
    row("Connexion multiple, 2 GiB + 1 after a text start", "mnuImport_ConnItem2", SparseTail,
        textStart, extract + longLine);

    // The largest label file: one label of 2 GiB is refused; without its end
    // it is dropped, as any text the end of the file cuts short, and quickly.
    row("Load, one label of 2 GiB", "mnuFile_Load", Largest, "~~",
        load + QStringLiteral("The label that begins at byte 1 is longer than 64 MiB: this is "
                              "not a label file."));
    row("Load, 2 GiB without a label end", "mnuFile_Load", Largest, {}, {}, "<empty>");

    row("Load, odd name", "mnuFile_Load", OddName, "A~~", {}, "A");
    row("CatME, odd name", "mnuFile_Import", OddName, catMe, {}, "QA76\r\n");
    row("Connexion multiple, odd name", "mnuImport_ConnItem2", OddName, connexion, {});
    row("Connexion folder, odd names", "folder", OddName, record, {});

    row("CatME, missing", "mnuFile_Import", Missing, {},
        import + QStringLiteral("No such file or directory."));
    row("Load, unreadable", "mnuFile_Load", Unreadable, "A~~",
        load + QStringLiteral("Permission denied."));
    row("CatME, unreadable", "mnuFile_Import", Unreadable, catMe,
        import + QStringLiteral("Permission denied."));

    // A named pipe would block the window until someone writes to it.
    row("Load, a named pipe", "mnuFile_Load", Fifo, {}, load + pipe);
    row("CatME, a named pipe", "mnuFile_Import", Fifo, {}, import + pipe);
    row("Connexion multiple, a named pipe", "mnuImport_ConnItem2", Fifo, {}, extract + pipe);
}

void TestHostileInput::fileCommands() {
    QFETCH(QString, item);
    QFETCH(int, kind);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);
    QFETCH(QByteArray, spine2);
    if (kind == Unreadable && ::geteuid() == 0)
        QSKIP("root reads a file of mode 000; the command-line table runs these as nobody");

    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    for (const char* name : kResults) folder.writeFile(name, kEarlier);
    folder.writeFile("shown.dat", "A~~");
    QVERIFY(lm::showLoadedFile(*window, folder.filePath("shown.dat")));
    const QString title = window->windowTitle();

    const bool isFolder = item == QLatin1String("folder");
    const QString name = kind == OddName
                             ? QStringLiteral("it's a \"label\" f\u00efle \u00e9t\u00e9")
                             : QStringLiteral("input");
    const QString chosen = folder.path() + QStringLiteral("/") + name;
    QString input = chosen;
    if (isFolder) {
        QVERIFY(QDir().mkdir(chosen));
        input = chosen + (kind == OddName ? QStringLiteral("/\u00e9 \"1\".txt")
                                          : QStringLiteral("/record.txt"));
    }
    QVERIFY(makeInput(Kind(kind), input, body));
    if (!isFolder)
        expectOpen(dialogs,
                   item == QLatin1String("mnuImportPFW") ? QStringLiteral("mnuFile_Load") : item,
                   chosen);
    if (!message.isEmpty())
        dialogs.expectMessage(message.arg(chosen), MessageButtons::Ok, MessageIcon::Critical,
                              MessageAnswer::Ok);

    if (isFolder) {
        std::optional<std::string> extracted =
            lm::extractFolder(*window, window.get(), lm::toFilePath(chosen), lm::kSp1);
        if (extracted) lm::showLoadedFile(*window, *extracted);
    } else {
        window->menuItem(item)->trigger();
    }
    LM_VERIFY_DIALOGS(dialogs);

    if (message.isEmpty()) {
        QVERIFY(window->state().CurrentFileName != folder.filePath("shown.dat"));
        QVERIFY(window->windowTitle().endsWith(QStringLiteral("(Page  1)")));
        const std::string shown = window->page().spineText(2);
        if (spine2 == "<empty>")
            QVERIFY(shown.empty());
        else if (!spine2.isEmpty())
            QVERIFY(shown == expand(spine2).toStdString());
        else
            QVERIFY(!shown.empty());
        return;
    }
    QCOMPARE(window->state().CurrentFileName, folder.filePath("shown.dat"));
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->page().spineText(2), std::string("A"));
    // A save now writes the page on display back into the file still named.
    window->menuItem(QStringLiteral("mnuFile_Save"))->trigger();
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile("shown.dat"), QByteArray("A~~"));
    for (const char* name : kResults) QCOMPARE(folder.readFile(name), kEarlier);
}

void TestHostileInput::settingsFile_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("content");  // <10MB> stands for 10 MiB of x
    QTest::addColumn<QString>("reason");      // empty: what the settings reader says

    // Cut inside every item and right after the comma that ends it. A cut
    // inside the last number still reads as a number, and the line needs no
    // line end: such a file cannot be told from a whole one.
    const QByteArray whole =
        QByteArray::fromStdString(lm::formatSettingsLine(lm::defaultSettings()));
    int itemStart = 0;
    for (int item = 1; item < lm::kSettingsItemCount; ++item) {
        const int comma = whole.indexOf(',', itemStart);
        const int middle = itemStart + (comma - itemStart + 1) / 2;
        QTest::addRow("cut inside item %d", item) << int(Plain) << whole.left(middle) << QString();
        QTest::addRow("cut after item %d", item)
            << int(Plain) << whole.left(comma + 1) << QString();
        itemStart = comma + 1;
    }
    QTest::newRow("NUL bytes") << int(Plain) << QByteArray("\0\0\0\x01\xff,", 6) << QString();
    QTest::newRow("a 10 MB first item")
        << int(LongLine) << "\"<10MB>\"," + whole.mid(whole.indexOf(',') + 1) << QString();
    QTest::newRow("2 GiB + 1") << int(Sparse) << QByteArray() << QString();
    QTest::newRow("a named pipe")
        << int(Fifo) << QByteArray()
        << QStringLiteral("Not a regular file (a named pipe, a device or a socket).");
    QTest::newRow("unreadable") << int(Unreadable) << whole << QStringLiteral("Permission denied.");
}

void TestHostileInput::settingsFile() {
    QFETCH(int, kind);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    if (kind == Unreadable && ::geteuid() == 0)
        QSKIP("root reads a file of mode 000; the command-line table runs this as nobody");
    TempWorkFolder folder;
    const std::string path = folder.filePath(lm::kSettingsFile);
    QVERIFY(makeInput(Kind(kind), QString::fromStdString(path), content));
    if (reason.isEmpty()) {
        lm::Result<lm::Settings> read = lm::readSettingsFile(path);
        QVERIFY(!read.ok());
        reason = QString::fromStdString(read.error().reason);
        if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
    }
    const QFileInfo before(QString::fromStdString(path));
    ScriptedDialogs dialogs;
    dialogs.expectMessage(settingsBox(path, reason), MessageButtons::Ok, MessageIcon::Critical,
                          MessageAnswer::Ok);
    lm::StartUpResult started = lm::startUp(dialogs);
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(!started.window);
    QCOMPARE(started.exitCode, 1);
    // Never overwritten: the same file, as it was.
    const QFileInfo after(QString::fromStdString(path));
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.lastModified(), before.lastModified());
    if (kind == Plain || kind == LongLine)
        QCOMPARE(folder.readFile(lm::kSettingsFile), expand(content));
}

void TestHostileInput::workingFileAtStartUp_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a named pipe")
        << int(Fifo) << QByteArray()
        << QStringLiteral("Not a regular file (a named pipe, a device or a socket).");
    QTest::newRow("2 GiB + 1") << int(Sparse) << QByteArray()
                               << QStringLiteral(
                                      "the file is 2147483649 bytes long; a label file can be at "
                                      "most 2,147,483,647 bytes.");
    QTest::newRow("one label of 2 GiB")
        << int(Largest) << QByteArray("~~")
        << QStringLiteral(
               "the label that begins at byte 1 is longer than 64 MiB: this is not a label file.");
}

// With Interactive printing: the window starts without a file, the file as it was.
void TestHostileInput::workingFileAtStartUp() {
    QFETCH(int, kind);
    QFETCH(QByteArray, body);
    QFETCH(QString, reason);
    TempWorkFolder folder;
    folder.writeSettings(settingsForType(lm::kSp1, lm::kInteractivePrinting));
    const std::string path = folder.filePath(lm::kWorkingLabelFile);
    QVERIFY(makeInput(Kind(kind), QString::fromStdString(path), body));
    const QFileInfo before(QString::fromStdString(path));
    ScriptedDialogs dialogs;
    dialogs.expectMessage(QStringLiteral("The working label file %1 cannot be opened: %2")
                              .arg(QString::fromStdString(path), reason),
                          MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    lm::StartUpResult started = lm::startUp(dialogs);
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(started.window);
    QVERIFY(started.window->state().CurrentFileName.empty());
    QCOMPARE(started.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
    const QFileInfo after(QString::fromStdString(path));
    QCOMPARE(after.size(), before.size());
    QCOMPARE(after.lastModified(), before.lastModified());
}

// Settings, working file and title all live under a folder with an odd name.
void TestHostileInput::oddWorkingFolderName() {
    QTemporaryDir parent;
    const QString odd = parent.filePath(QStringLiteral("it's \"my\" l\u00e4bels"));
    QVERIFY(QDir().mkdir(odd));
    const QByteArray oldValue = qgetenv("QORTEX_DIR");
    qputenv("QORTEX_DIR", QFile::encodeName(odd));
    lm::Settings settings = settingsForType(lm::kSp1, lm::kInteractivePrinting);
    QVERIFY(lm::writeSettingsFile(lm::settingsFilePath(), settings).ok());
    QFile working(odd + QStringLiteral("/$$label.dat"));
    QVERIFY(working.open(QIODevice::WriteOnly) && working.write("QA76~~") == 6);
    working.close();
    ScriptedDialogs dialogs;
    lm::StartUpResult started = lm::startUp(dialogs);
    qputenv("QORTEX_DIR", oldValue);
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(started.window);
    QCOMPARE(started.window->page().spineText(2), std::string("QA76"));
    QCOMPARE(started.window->windowTitle(),
             QStringLiteral("Kelvarine Label Maker - %1 (Page  1)")
                 .arg((odd + QStringLiteral("/$$label.dat")).toUpper()));
}

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"

// The window's commands that take a file, and its start-up reading of the
// settings file, given hostile files: NUL bytes, lines of 10 MB, files past
// the largest label file, odd path names, unreadable files and named pipes.
// A refusal is a critical box that names the file and the reason; nothing
// that was on display or on disk before is lost.

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

#include "app/forms1.h"
#include "app/startup.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "hostilefiles.h"
#include "import/connexionweb.h"
#include "platform/filereport.h"
#include "scripteddialogs.h"
#include "store/loadcommands.h"
#include "testdata.h"

using lm::MessageIcon;
using namespace hostile;

namespace {

const QByteArray kEarlier = "earlier~~";
const char* const kResults[] = {"$$$aaaa.dat", "NewFile_1.dat", "NewFileMultiple_1.dat"};
const QString kPipe = QStringLiteral("Not a regular file (a named pipe, a device or a socket).");

// The open dialog each command shows, answered with `answer`.
void expectOpen(ScriptedDialogs& dialogs, const QString& item, const QString& answer) {
    QString title = QStringLiteral("Open Label File");  // Load
    QString filter = QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*");
    if (item == QLatin1String("mnuImport_ConnItem2")) {
        title = QStringLiteral("Import Connexion Label File");
        filter = QStringLiteral("Label Files (*.dat;*.txt)|*.dat;*.txt|All Files (*.*)|*.*");
    } else if (item != QLatin1String("mnuFile_Load")) {
        title = item == QLatin1String("mnuFile_Import")
                    ? QStringLiteral("Import CatME Label File")
                    : QStringLiteral("Import Connecxion Client Label File");
        filter = QStringLiteral("Label Files (*.dat; *.txt)|*.dat;*.txt|All Files (*.*)|*.*");
    }
    dialogs.expectOpenFile(title, filter, answer);
}

}  // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
  private slots:
    // Rows that would take the same way through the program as another are left
    // out: the CatME and Connexion Client imports share their reading, and so do
    // the import and the extraction's check of an export.
    void fileCommands_data() {
        QTest::addColumn<QString>("item");  // a menu item, or "folder" for the Connexion Web folder
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("body");  // <10MB> stands for 10 MiB of x
        QTest::addColumn<QString>("message");  // %1 the file chosen; empty: the command works
        QTest::addColumn<QByteArray>(
            "spine2");  // a success's first spine text, "<empty>" none; "" any

        const QString load = QStringLiteral("The label file %1 cannot be opened.\r\n\r\n");
        const QString import = QStringLiteral("The file %1 could not be imported.\r\n\r\n");
        const QString extract =
            QStringLiteral("The labels of the file %1 could not be extracted.\r\n\r\n");
        const QString tooLong = QStringLiteral(
            "The file is 2147483649 bytes long; a label file can be at most 2,147,483,647 bytes.");
        // After the record's path the reason goes on in lower case.
        const QString recordNotText = QStringLiteral(
            "The labels of the folder %1 could not be extracted.\r\n\r\n%1/record.txt: it holds "
            "NUL "
            "bytes: a binary file, or text in UTF-16, is no export. Nothing was imported.");
        const QByteArray catMe = "QA76\n\n\n\n\n\n\n\n\n\n\n\n";
        const QByteArray record = fixture("/import/connexion_records/ocm00123.txt");
        auto row = [](const char* name, const char* item, Kind kind, const QByteArray& body,
                      const QString& message, const QByteArray& spine2 = {}) {
            QTest::newRow(name) << QString::fromLatin1(item) << int(kind) << body << message
                                << spine2;
        };
        const char* const Load = "mnuFile_Load";
        const char* const CatMe = "mnuFile_Import";
        const char* const Multiple = "mnuImport_ConnItem2";

        row("Load, NUL bytes", Load, Plain, QByteArray("A\0B~~\0~~", 8), {}, QByteArray("A\0B", 3));
        row("Load, a 10 MB label", Load, LongLine, "<10MB>~~P~~", {}, "<10MB>");
        row("Load, 2 GiB + 1", Load, Sparse, {}, load + tooLong);
        // The largest label file: one label of 2 GiB is refused; without its end
        // it is dropped, as any text the end of the file cuts short, and quickly.
        row("Load, one label of 2 GiB", Load, Largest, "~~",
            load + QStringLiteral("The label that begins at byte 1 is longer than 64 MiB: this is "
                                  "not a label file."));
        row("Load, 2 GiB without a label end", Load, Largest, {}, {}, "<empty>");
        row("Load, odd name", Load, OddName, "A~~", {}, "A");
        row("Load, unreadable", Load, Unreadable, "A~~",
            load + QStringLiteral("Permission denied."));
        // A named pipe would block the window until someone writes to it.
        row("Load, a named pipe", Load, Fifo, {}, load + kPipe);
        row("Load, a folder", Load, Folder, {}, load + QStringLiteral("Is a directory."));

        row("Connexion Client, binary", "mnuImportConnexionClient", Plain,
            QByteArray("A\0B~~\0~~", 8) + QByteArray(500, '\n'),
            import + QStringLiteral(
                         "It holds NUL bytes: a binary file, or text in UTF-16, is no export. "
                         "Nothing was imported."));
        row("CatME, a 10 MB line", CatMe, LongLine, "<10MB>\n\n\n\n\n\n\n\n\n\n\n\n", {},
            "<10MB>\r\n");
        // Text for longer than the check looks, then gigabytes without a line feed.
        row("CatME, 2 GiB + 1 after a text start", CatMe, SparseTail, catMe.repeated(8000),
            import +
                QStringLiteral("The line that begins at byte 128001 is longer than 64 MiB: this "
                               "is not a text export."));
        row("CatME, odd name", CatMe, OddName, catMe, {}, "QA76\r\n");

        row("Connexion multiple, a named pipe", Multiple, Fifo, {}, extract + kPipe);

        row("Connexion folder, a 10 MB record line", "folder", LongLine, "<10MB>\r\n" + record, {});
        row("Connexion folder, a 2 GiB + 1 record", "folder", Sparse, {}, recordNotText);
        row("Connexion folder, odd names", "folder", OddName, record, {});
    }
    void fileCommands() {
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
        const bool odd = kind == OddName;
        const QString chosen =
            folder.path() + (odd ? QStringLiteral("/it's a \"label\" f\u00efle \u00e9t\u00e9")
                                 : QStringLiteral("/input"));
        QString input = chosen;
        if (isFolder) {
            QVERIFY(QDir().mkdir(chosen));
            input += odd ? QStringLiteral("/\u00e9 \"1\".txt") : QStringLiteral("/record.txt");
        }
        QVERIFY(makeInput(Kind(kind), input, body));
        if (!isFolder) expectOpen(dialogs, item, chosen);
        if (!message.isEmpty()) dialogs.expectOk(message.arg(chosen), MessageIcon::Critical);
        if (isFolder) {
            std::optional<std::string> extracted =
                lm::extractFolder(*window, window.get(), lm::toFilePath(chosen), lm::kSp1);
            if (extracted) lm::showLoadedFile(*window, *extracted);
        } else {
            ::trigger(*window, item);
        }
        LM_VERIFY_DIALOGS(dialogs);

        if (message.isEmpty()) {
            QVERIFY(window->state().CurrentFileName != folder.filePath("shown.dat"));
            QVERIFY(window->windowTitle().endsWith(QStringLiteral("(Page  1)")));
            const QByteArray shown = QByteArray::fromStdString(window->page().spineText(2));
            if (spine2.isEmpty())
                QVERIFY(!shown.isEmpty());
            else
                QVERIFY(shown == expand(spine2).replace("<empty>", ""));
            return;
        }
        QCOMPARE(window->state().CurrentFileName, folder.filePath("shown.dat"));
        QCOMPARE(window->windowTitle(), title);
        QCOMPARE(window->page().spineText(2), std::string("A"));
        // A save now writes the page on display back into the file still named.
        ::trigger(*window, QStringLiteral("mnuFile_Save"));
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(folder.readFile("shown.dat"), QByteArray("A~~"));
        for (const char* name : kResults) QCOMPARE(folder.readFile(name), kEarlier);
    }
    void startUp_data() {
        QTest::addColumn<bool>("settings");  // the settings file, else the working label file
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("content");  // <10MB> stands for 10 MiB of x
        QTest::addColumn<QString>("reason");      // empty: what the settings reader says
        auto row = [](const QByteArray& name, bool settings, Kind kind, const QByteArray& content,
                      const QString& reason = {}) {
            QTest::newRow(name.constData()) << settings << int(kind) << content << reason;
        };

        // Cut inside every item and right after the comma that ends it. A cut
        // inside the last number still reads as a number, and the line needs no
        // line end: such a file cannot be told from a whole one.
        const QByteArray whole =
            QByteArray::fromStdString(lm::formatSettingsLine(lm::defaultSettings()));
        int itemStart = 0;
        for (int item = 1; item < lm::kSettingsItemCount; ++item) {
            const int comma = whole.indexOf(',', itemStart);
            const QByteArray n = QByteArray::number(item);
            row("settings cut inside item " + n, true, Plain,
                whole.left(itemStart + (comma - itemStart + 1) / 2));
            row("settings cut after item " + n, true, Plain, whole.left(comma + 1));
            itemStart = comma + 1;
        }
        row("settings, NUL bytes", true, Plain, QByteArray("\0\0\0\x01\xff,", 6));
        row("settings, a 10 MB first item", true, LongLine,
            "\"<10MB>\"," + whole.mid(whole.indexOf(',') + 1));
        row("settings, 2 GiB + 1", true, Sparse, {});
        row("settings, a named pipe", true, Fifo, {}, kPipe);
        row("settings, unreadable", true, Unreadable, whole, QStringLiteral("Permission denied."));
        // With Interactive printing the window starts without a file.
        row("working file, a named pipe", false, Fifo, {}, kPipe);
    }
    // The file is never overwritten: the same file, as it was.
    void startUp() {
        QFETCH(bool, settings);
        QFETCH(int, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        if (kind == Unreadable && ::geteuid() == 0)
            QSKIP("root reads a file of mode 000; the command-line table runs this as nobody");
        TempWorkFolder folder;
        if (!settings) folder.writeSettings(settingsForType(lm::kSp1, lm::kInteractivePrinting));
        const std::string path =
            folder.filePath(settings ? lm::kSettingsFile : lm::kWorkingLabelFile);
        const QString file = QString::fromStdString(path);
        QVERIFY(makeInput(Kind(kind), file, content));
        if (reason.isEmpty()) {
            lm::Result<lm::Settings> read = lm::readSettingsFile(path);
            QVERIFY(!read.ok());
            reason = QString::fromStdString(read.error().reason);
            if (!reason.endsWith(QLatin1Char('.'))) reason += QLatin1Char('.');
        }
        const QFileInfo before(file);
        ScriptedDialogs dialogs;
        dialogs.expectOk(settings
                             ? QStringLiteral("The settings file %1 cannot be read: %2\r\n\r\n"
                                              "The Label Maker cannot start. Correct the file, "
                                              "or remove it to start with the default settings.")
                                   .arg(file, reason)
                             : QStringLiteral("The working label file %1 cannot be opened: %2")
                                   .arg(file, reason),
                         MessageIcon::Critical);
        lm::StartUpResult started = lm::startUp(dialogs);
        LM_VERIFY_DIALOGS(dialogs);
        if (settings) {
            QVERIFY(!started.window);
            QCOMPARE(started.exitCode, 1);
        } else {
            QVERIFY(started.window);
            QVERIFY(started.window->state().CurrentFileName.empty());
            QCOMPARE(started.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
        }
        const QFileInfo after(file);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.lastModified(), before.lastModified());
        if (kind == Plain || kind == LongLine)
            QCOMPARE(folder.readFile(settings ? lm::kSettingsFile : lm::kWorkingLabelFile),
                     expand(content));
    }
    // Settings, working file and title all live under a folder with an odd name.
    void oddWorkingFolderName() {
        QTemporaryDir parent;
        const QString odd = parent.filePath(QStringLiteral("it's \"my\" l\u00e4bels"));
        QVERIFY(QDir().mkdir(odd));
        const QByteArray oldValue = qgetenv("QORTEX_DIR");
        qputenv("QORTEX_DIR", QFile::encodeName(odd));
        QVERIFY(lm::writeSettingsFile(lm::settingsFilePath(),
                                      settingsForType(lm::kSp1, lm::kInteractivePrinting))
                    .ok());
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
                     .arg(working.fileName().toUpper()));
    }
};

QTEST_MAIN(TestHostileInput)
#include "tst_hostileinput.moc"

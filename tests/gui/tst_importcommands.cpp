#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "import/fileextractform.h"
#include "import/importprogress.h"
#include "pagefixtures.h"
#include "scripteddialogs.h"
#include "store/loadcommands.h"
#include "testdata.h"

using lm::FileExtractForm;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;
using Records = QList<QPair<QString, QByteArray>>;

namespace {

const QString kExportFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat;*.txt|All Files (*.*)|*.*");

// The open dialog of each item that has one: title and filter.
QPair<QString, QString> openDialogOf(const QString& item) {
    if (item == QStringLiteral("mnuImportConnexionClient"))
        return {QStringLiteral("Import Connecxion Client Label File"), kExportFilter};
    if (item == QStringLiteral("mnuImport_ConnItem2"))
        return {QStringLiteral("Import Connexion Label File"),
                QStringLiteral("Label Files (*.dat;*.txt)|*.dat;*.txt|All Files (*.*)|*.*")};
    if (item == QStringLiteral("mnuImportPFW"))
        return {QStringLiteral("Open Label File"),
                QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*")};
    return {QStringLiteral("Import CatME Label File"), kExportFilter};
}

void expectOpen(ScriptedDialogs& dialogs, const QString& item, std::optional<QString> answer) {
    dialogs.expectOpenFile(openDialogOf(item).first, openDialogOf(item).second, answer);
}

QString dataFile(const char* name) {
    return QStringLiteral(LM_TEST_DATA_DIR) + QLatin1String(name);
}

QString pageOneTitle(const std::string& file) {
    return titleOf(QString::fromStdString(file), 1, true);
}

// Acts on the folder form once it is open; `opened` tells whether it did.
struct WhenFormOpens {
    explicit WhenFormOpens(std::function<void(FileExtractForm&)> act) {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, act] {
            if (auto* form = qobject_cast<FileExtractForm*>(QApplication::activeModalWidget())) {
                timer.stop();
                opened = true;
                act(*form);
            }
        });
        timer.start();
    }
    QTimer timer;
    bool opened = false;
};

void apply(FileExtractForm& form, const QString& folder) {
    form.setFolder(folder);
    form.findChild<QPushButton*>(QStringLiteral("btnExtract"))->click();
}

// One-record exports, modified a minute apart in the order given.
void writeRecords(const QString& folder, const Records& records) {
    QDateTime time = QDateTime::currentDateTime().addSecs(-3600);
    for (const auto& [name, text] : records) {
        QFile file(folder + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
        time = time.addSecs(60);
    }
}

// Lets every input have its progress window and notes whether one showed;
// cancels it when asked to.
struct ProgressWatch {
    explicit ProgressWatch(bool cancel) : rule(lm::ImportProgress::setShowRule({0, 0})) {
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, &timer, [this, cancel] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(widget);
                if (!progress || !progress->isVisible()) continue;
                shown = true;
                if (cancel) progress->cancel();
            }
        });
        timer.start();
    }
    ~ProgressWatch() { lm::ImportProgress::setShowRule(rule); }
    lm::ImportProgress::ShowRule rule;
    QTimer timer;
    bool shown = false;
};

// An sp1 export over three read blocks: 9 content lines and 3 trailing ones per label.
QString bigExport(const TempWorkFolder& folder) {
    const QByteArray label = QByteArray("QA76.73 some text\n").repeated(9) + "\n\n\n";
    folder.writeFile("big.txt", label.repeated(15000));
    return folder.path() + QStringLiteral("/big.txt");
}

enum EndEarly { CloseForm, ApplyMissingFolder, CancelProgress };

QByteArray nineLineRecords(int count) {
    return QByteArray("QA76.73    Stroustrup, Bjarne.\r\n").repeated(9 * count);
}

}  // namespace

class TestImportCommands : public QObject {
    Q_OBJECT
  private slots:
    void importShowsPageOneOfTheResult_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");  // in the working folder; empty: the input
        QTest::addColumn<QByteArray>("spine");
        QTest::addColumn<QByteArray>("pocket");
        QTest::newRow("CatME slb")
            << 5 << "mnuFile_Import" << dataFile("/import/catme_slb.txt") << "$$$aaaa.dat"
            << QByteArray("QA76.73\r\n.S77\r\n2013\r\nc.2\r\n")
            << QByteArray("Stroustrup, Bjarne.\r\n");
        QTest::newRow("Connexion Client sl4")
            << 3 << "mnuImportConnexionClient" << dataFile("/import/connexion_client_sl4.txt")
            << "$$$aaaa.dat" << QByteArray("REF\r\nPE1625\r\n") << QByteArray("Oxford English\r\n");
        QTest::newRow("Connexion multiple sl4")
            << 3 << "mnuImport_ConnItem2" << dataFile("/import/connexion_multiple.txt")
            << "NewFileMultiple_3.dat" << QByteArray("FIC\r\nADAMS\r\nc.1\r\n")
            << QByteArray("Adams, Douglas.\r\n");
        QTest::newRow("PFW is Load")
            << 3 << "mnuImportPFW" << dataFile("/store/sl4-31-texts.dat") << QString()
            << QByteArray("QA76.73\r\n.C153\r\nS77") << QByteArray("T2");
    }
    void importShowsPageOneOfTheResult() {
        QFETCH(int, type);
        QFETCH(QString, item);
        QFETCH(QString, input);
        QFETCH(QString, result);
        QFETCH(QByteArray, spine);
        QFETCH(QByteArray, pocket);
        StartedWindow s(settingsForType(type));
        expectOpen(s.dialogs, item, input);
        trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        const std::string path =
            result.isEmpty() ? input.toStdString() : s.folder.filePath(result.toUtf8().constData());
        QCOMPARE(s.window->state().CurrentFileName, path);
        QCOMPARE(s.window->windowTitle(), pageOneTitle(path));
        QVERIFY(!s.window->state().PageChanged);
        QVERIFY(QByteArray::fromStdString(s.window->page().spineText(2)).startsWith(spine));
        QVERIFY(QByteArray::fromStdString(s.window->page().pocketText(2)).startsWith(pocket));
        if (result.isEmpty()) return;
        // The status bar counts the sets the export gave.
        const QByteArray written = s.folder.readFile(result.toUtf8().constData());
        const int sets = int(written.count("~~")) / lm::labelTypeInfo(type)->textsPerSet();
        QCOMPARE(statusMessage(*s.window),
                 QStringLiteral("%1 label sets imported from %2").arg(sets).arg(input));
    }
    // An export that gives no label set at all: a box says so, and the
    // previous result and the page stay as they were.
    void nothingImportedKeepsThePreviousResult_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("exportBytes");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("recordMessages");  // shown before the box
        QTest::newRow("empty export")
            << int(lm::kSp1) << "mnuFile_Import" << QByteArray() << "$$$aaaa.dat" << QStringList();
        QTest::newRow("no record for the label type")
            << int(lm::kSpa) << "mnuImport_ConnItem2" << nineLineRecords(2)
            << "NewFileMultiple_7.dat" << QStringList(2, QStringLiteral("Invalid Call Index 7"));
    }
    void nothingImportedKeepsThePreviousResult() {
        QFETCH(int, type);
        QFETCH(QString, item);
        QFETCH(QByteArray, exportBytes);
        QFETCH(QString, result);
        QFETCH(QStringList, recordMessages);
        StartedWindow s(settingsForType(type, lm::kInteractivePrinting),
                        labelFileBytes(labelSetTexts(type, 2)));
        const QByteArray previous = "OLD~~";
        s.folder.writeFile(result.toUtf8().constData(), previous);
        s.folder.writeFile("export.txt", exportBytes);
        const QString input = s.folder.path() + QStringLiteral("/export.txt");
        const QString title = s.window->windowTitle();
        const QList<QByteArray> shown = shownTexts(*s.window);

        expectOpen(s.dialogs, item, input);
        for (const QString& message : recordMessages) s.dialogs.expectOk(message);
        s.dialogs.expectOk(QStringLiteral("%1 holds no label set for the label type %2, so nothing "
                                          "was imported. The labels on display and the previous "
                                          "result stay as they were.")
                               .arg(input, QString::fromStdString(lm::labelTypeName(type))),
                           MessageIcon::Exclamation);
        trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.folder.readFile(result.toUtf8().constData()), previous);
        QCOMPARE(s.window->windowTitle(), title);
        QCOMPARE(shownTexts(*s.window), shown);
        QCOMPARE(s.window->state().CurrentFileName, s.folder.filePath("$$label.dat"));
    }
    void changedPageIsOfferedForSaving_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("answer");      // to the question
        QTest::addColumn<bool>("continues");  // to the open dialog or form, then cancelled
        // The question itself is the Save command's; each item asks it once and goes on after No.
        const char* item = "mnuFile_Import";
        QTest::addRow("%s cancel", item) << item << int(MessageAnswer::Cancel) << false;
        for (const char* each : {"mnuFile_Import", "mnuImportConnexionClient", "mnuImport_ConnItem",
                                 "mnuImport_ConnItem2", "mnuImportPFW"})
            QTest::addRow("%s no", each) << each << int(MessageAnswer::No) << true;
    }
    void changedPageIsOfferedForSaving() {
        QFETCH(QString, item);
        QFETCH(int, answer);
        QFETCH(bool, continues);
        StartedWindow s(settingsForType(1));
        s.folder.writeFile("$$$aaaa.dat", "earlier~~");
        s.window->page().setSpineText(2, "EDITED");
        s.window->state().PageChanged = true;

        s.dialogs.expectMessage(
            QStringLiteral("This page has been changed. Do you want to save the change(s)?"),
            MessageButtons::YesNoCancel, MessageIcon::Question, MessageAnswer(answer));
        const bool form = item == QStringLiteral("mnuImport_ConnItem");
        if (continues && !form) expectOpen(s.dialogs, item, std::nullopt);
        WhenFormOpens closeForm([](FileExtractForm& f) { f.reject(); });
        trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);

        QCOMPARE(closeForm.opened, continues && form);
        QVERIFY(s.window->state().PageChanged);
        QCOMPARE(s.window->state().CurrentFileName, std::string());
        QCOMPARE(s.window->page().spineText(2), std::string("EDITED"));
        QCOMPARE(s.folder.readFile("$$$aaaa.dat"), QByteArray("earlier~~"));
    }
    void connectorItemsOnlyShowTheirMessage() {
        const QPair<const char*, const char*> items[] = {
            {"MnuImportNOTIS", "the Free NOTIS connector."},
            {"MnuImportDRA", "the free DRA connector."},
            {"mnuImportDynix", "the free Dynix connector."},
            {"mnuImportInnovative", "the free Innovative Interface connector."},
            {"mnuImportOthers", "the free SIRSI connector."},
            {"mnuImportMailer1", "the SIRSI Mailer connector."}};
        StartedWindow s(settingsForType(3));
        s.window->state().PageChanged = true;
        const QString title = s.window->windowTitle();
        for (const auto& [item, line] : items) {
            s.dialogs.expectOk(QStringLiteral("Please contact Kelvarine Technology Company to get "
                                              "\r\n%1\r\n\r\nEmail to: support@kelvarine.example")
                                   .arg(QLatin1String(line)));
            trigger(*s.window, QLatin1String(item));
        }
        LM_VERIFY_DIALOGS(s.dialogs);
        QVERIFY(s.window->state().PageChanged);
        QCOMPARE(s.window->windowTitle(), title);
    }
    void folderFormExtractsOldestFirst() {
        StartedWindow s(settingsForType(1));
        QTemporaryDir records;
        writeRecords(records.path(), {{QStringLiteral("c.txt"), "FIC        Adams, Douglas.\r\n"},
                                      {QStringLiteral("a.txt"), "QA76       Stroustrup.\r\n"}});
        WhenFormOpens form([&](FileExtractForm& form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("Select Label File Folder"));
            form.setFolder(records.path());
            auto* drive = form.findChild<QComboBox*>(QStringLiteral("Drive1"));
            QVERIFY(records.path().startsWith(drive->currentData().toString()));
            auto* files = form.findChild<QAbstractItemView*>(QStringLiteral("File1"));
            QTRY_COMPARE(files->model()->rowCount(files->rootIndex()), 2);
            apply(form, records.path());
        });
        trigger(*s.window, QStringLiteral("mnuImport_ConnItem"));
        QVERIFY(form.opened);
        QCOMPARE(s.window->windowTitle(), pageOneTitle(s.folder.filePath("NewFile_1.dat")));
        // c.txt is the older file, whatever the names say.
        QCOMPARE(s.window->page().spineText(2), std::string("FIC\r\n"));
        QCOMPARE(s.window->page().spineText(3), std::string("QA76\r\n"));
    }
    void recordsNotWrittenAreReported_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("folderOfRecords");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("summary");  // after five boxes
        QTest::newRow("spa, folder of 4") << 7 << true << 4 << QString();
        QTest::newRow("spa, file of 600 records")
            << 7 << false << 600
            << "Invalid Call Index 7\r\n\r\n595 more records were not written for the same reason.";
    }
    void recordsNotWrittenAreReported() {
        QFETCH(int, type);
        QFETCH(bool, folderOfRecords);
        QFETCH(int, records);
        QFETCH(QString, summary);
        StartedWindow s(settingsForType(type));
        QTemporaryDir input;
        Records files;
        for (int i = 0; folderOfRecords && i < records; ++i)
            files.append({QStringLiteral("ocm%1.txt").arg(i), nineLineRecords(1)});
        if (!folderOfRecords) {
            files.append({QStringLiteral("export.txt"), nineLineRecords(records)});
            expectOpen(s.dialogs, QStringLiteral("mnuImport_ConnItem2"),
                       input.filePath(files[0].first));
        }
        writeRecords(input.path(), files);
        for (int i = 0; i < std::min(records, 5); ++i)
            s.dialogs.expectOk(QStringLiteral("Invalid Call Index %1").arg(type));
        if (!summary.isEmpty()) s.dialogs.expectOk(summary);
        // Nothing came of it: the box says so, and no label file is written.
        const QString source = folderOfRecords ? input.path() : input.filePath(files[0].first);
        s.dialogs.expectOk(
            QStringLiteral("%1 holds no label set for the label type spa, so nothing "
                           "was imported. The labels on display and the previous "
                           "result stay as they were.")
                .arg(source),
            MessageIcon::Exclamation);
        WhenFormOpens form([&](FileExtractForm& form) {
            apply(form, input.path());
            if (form.isVisible()) form.reject();
        });
        trigger(*s.window, folderOfRecords ? QStringLiteral("mnuImport_ConnItem")
                                           : QStringLiteral("mnuImport_ConnItem2"));
        LM_VERIFY_DIALOGS(s.dialogs);

        const QByteArray name =
            QStringLiteral("%1_%2.dat")
                .arg(QLatin1String(folderOfRecords ? "NewFile" : "NewFileMultiple"))
                .arg(type)
                .toUtf8();
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
        QVERIFY(!QFile::exists(s.folder.path() + QLatin1Char('/') + QLatin1String(name)));
    }
    void endingEarlyChangesNothing_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("report");  // %1: the work folder
        QTest::newRow("form closed without Apply") << "mnuImport_ConnItem" << int(CloseForm) << "";
        QTest::newRow("form applied to a folder gone, then closed")
            << "mnuImport_ConnItem" << int(ApplyMissingFolder)
            << "The labels of the folder %1/gone could not be extracted.\r\n\r\n"
               "No such file or directory.";
        QTest::newRow("progress cancelled") << "mnuFile_Import" << int(CancelProgress) << "";
    }
    void endingEarlyChangesNothing() {
        QFETCH(QString, item);
        QFETCH(int, how);
        QFETCH(QString, report);
        StartedWindow s(settingsForType(1));
        const QByteArray earlier("earlier~~");
        for (const char* name : {"$$$aaaa.dat", "NewFile_1.dat", "NewFileMultiple_1.dat"})
            s.folder.writeFile(name, earlier);
        s.folder.writeFile("shown.dat", "A~~");
        QVERIFY(lm::showLoadedFile(*s.window, s.folder.filePath("shown.dat")));
        const QString title = s.window->windowTitle();

        if (how == CancelProgress) expectOpen(s.dialogs, item, bigExport(s.folder));
        if (!report.isEmpty())
            s.dialogs.expectOk(report.arg(s.folder.path()), MessageIcon::Critical);
        bool stayedOpen = false;
        WhenFormOpens form([&](FileExtractForm& form) {
            if (how == ApplyMissingFolder) {
                apply(form, s.folder.path() + QStringLiteral("/gone"));
                stayedOpen = form.isVisible();
            }
            form.close();
        });
        ProgressWatch progress(how == CancelProgress);
        trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(form.opened, how == CloseForm || how == ApplyMissingFolder);
        QCOMPARE(stayedOpen, how == ApplyMissingFolder);
        QCOMPARE(progress.shown, how == CancelProgress);
        QCOMPARE(s.window->state().CurrentFileName, s.folder.filePath("shown.dat"));
        QCOMPARE(s.window->windowTitle(), title);
        for (const char* name : {"$$$aaaa.dat", "NewFile_1.dat", "NewFileMultiple_1.dat"})
            QCOMPARE(s.folder.readFile(name), earlier);
    }
};

QTEST_MAIN(TestImportCommands)
#include "tst_importcommands.moc"

// The imports and extracts say what they did: how many label sets came from
// which file, in the status bar; and when an export gives no label set at
// all, a box says so and the previous result and the page stay as they were.
#include <QFile>
#include <QLabel>
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/statusbar.h"
#include "scripteddialogs.h"
#include "testdata.h"

using lm::MessageIcon;

namespace {

const QString kExportFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat;*.txt|All Files (*.*)|*.*");
const QString kMultipleFilter =
    QStringLiteral("Label Files (*.dat;*.txt)|*.dat;*.txt|All Files (*.*)|*.*");

QString dataFile(const char* name) {
    return QStringLiteral(LM_TEST_DATA_DIR) + QLatin1String(name);
}

void expectOpen(ScriptedDialogs& dialogs, const QString& item, const QString& path) {
    if (item == u"mnuImport_ConnItem2")
        dialogs.expectOpenFile(QStringLiteral("Import Connexion Label File"), kMultipleFilter,
                               path);
    else
        dialogs.expectOpenFile(QStringLiteral("Import CatME Label File"), kExportFilter, path);
}

QString statusMessage(lm::Forms1& window) {
    auto* message =
        window.findChild<lm::StatusBar*>()->findChild<QLabel*>(QStringLiteral("statusMessage"));
    return message ? message->text() : QStringLiteral("<no message field>");
}

}  // namespace

class TestImportReport : public QObject {
    Q_OBJECT
  private slots:
    void statusBarCountsTheSets_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("result");
        QTest::newRow("CatME slb") << int(lm::kSlb) << "mnuFile_Import"
                                   << dataFile("/import/catme_slb.txt") << "$$$aaaa.dat";
        QTest::newRow("Connexion multiple sl4")
            << int(lm::kSl4) << "mnuImport_ConnItem2" << dataFile("/import/connexion_multiple.txt")
            << "NewFileMultiple_3.dat";
    }
    void statusBarCountsTheSets() {
        QFETCH(int, type);
        QFETCH(QString, item);
        QFETCH(QString, input);
        QFETCH(QString, result);
        StartedWindow s(settingsForType(type));
        QVERIFY(s.window);
        expectOpen(s.dialogs, item, input);
        trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        const QByteArray written = s.folder.readFile(result.toUtf8().constData());
        const int sets = int(written.count("~~")) / lm::labelTypeInfo(type)->textsPerSet();
        QVERIFY(sets > 1);
        QCOMPARE(statusMessage(*s.window),
                 QStringLiteral("%1 label sets imported from %2").arg(sets).arg(input));
    }
    void nothingImportedKeepsThePreviousResult_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("exportBytes");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("recordMessages");  // shown before the box
        const QString catme = QStringLiteral("mnuFile_Import");
        QTest::newRow("empty export")
            << int(lm::kSp1) << catme << QByteArray() << "$$$aaaa.dat" << QStringList();
        QTest::newRow("no record for the label type")
            << int(lm::kSpa) << "mnuImport_ConnItem2"
            << QByteArray("QA76.73    Stroustrup, Bjarne.\r\n").repeated(18)
            << "NewFileMultiple_7.dat" << QStringList(2, QStringLiteral("Invalid Call Index 7"));
    }
    void nothingImportedKeepsThePreviousResult() {
        QFETCH(int, type);
        QFETCH(QString, item);
        QFETCH(QByteArray, exportBytes);
        QFETCH(QString, result);
        QFETCH(QStringList, recordMessages);
        const QByteArray working = labelFileBytes(labelSetTexts(type, 2));
        StartedWindow s(settingsForType(type, lm::kInteractivePrinting), working);
        QVERIFY(s.window);
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
};

QTEST_MAIN(TestImportReport)
#include "tst_importreport.moc"

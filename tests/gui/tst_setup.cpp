#include <QAction>
#include <QFile>
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

Q_DECLARE_METATYPE(lm::FontChoice)

namespace {

// The defaults of a fresh installation with Batch printing (start-up then
// leaves the working file alone), as the settings file holds them.
const QByteArray kBatchDefaults =
    "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,#FALSE#,"
    "#FALSE#,#FALSE#,#FALSE#,0,1,2,920,640,35,30\r\n";

// How the save question is answered: a MessageAnswer, or not asked. A write
// that fails is the fault matrix's.
enum Reply { NotAsked = -1 };
const int Yes = int(MessageAnswer::Yes);
const int No = int(MessageAnswer::No);
const int Cancel = int(MessageAnswer::Cancel);

QByteArray lineOf(const lm::Settings& settings) {
    return QByteArray::fromStdString(lm::formatSettingsLine(settings));
}

QString settingsPath(const TempWorkFolder& folder) {
    return QString::fromStdString(folder.filePath(lm::kSettingsFile));
}

// The defaults with other margins ("top,left,spine,pocket").
QByteArray withMargins(const char* margins) {
    return QByteArray(kBatchDefaults).replace("920,640,35,30", margins);
}

// Expects the save question answered with `reply`; a saved change ends with
// the restart message, which either of its buttons just closes.
void expectSaveQuestion(StartedWindow& s, MessageButtons buttons, int reply, bool restart,
                        MessageButtons restartButtons = MessageButtons::Ok) {
    if (reply == NotAsked) return;
    s.dialogs.expectMessage(QStringLiteral("Do you want to save the change(s)?"), buttons,
                            MessageIcon::Question, MessageAnswer(reply));
    if (reply == Yes && restart)
        s.dialogs.expectMessage(
            QStringLiteral("You need to restart the Label Maker."), restartButtons,
            MessageIcon::None,
            restartButtons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel);
}

// The names of the checked items of the Setup menu.
QStringList setupChecks(lm::Forms1& window) {
    QStringList names;
    for (const char* array : {"mnuSetup_Label_Item", "mnuSetup_Alignment_Item"})
        for (QAction* action : window.menuArray(QString::fromUtf8(array)))
            if (action->isChecked()) names << action->objectName();
    for (const char* item : {"mnuSetup_Printing_Interactive", "mnuSetup_Printing_Batch"})
        if (window.menuItem(QString::fromUtf8(item))->isChecked()) names << QString::fromUtf8(item);
    return names;
}

QStringList checks(int type, int alignment, const char* printing) {
    return {QStringLiteral("mnuSetup_Label_Item_%1").arg(type),
            QStringLiteral("mnuSetup_Alignment_Item_%1").arg(alignment),
            QStringLiteral("mnuSetup_Printing_") + QString::fromUtf8(printing)};
}

lm::FontChoice font(const char* name, double size, std::int32_t color = 0, bool bold = false,
                    bool italic = false, bool strikethrough = false, bool underline = false) {
    return {QString::fromUtf8(name), size, color, bold, italic, strikethrough, underline};
}

struct Margin {
    const char* item;
    const char* title;
    const char* prompt;
    const char* preset;
    const char* invalidTitle;
};
const Margin kMargins[] = {
    {"MnuSetup_Margin", "Top Margin", "Type a new top margin:", " 920", "Invalid Top Margin"},
    {"MnuSetup_LeftMargin", "Left Margin", "Type a new left margin:", " 640",
     "Invalid Left Margin"},
    {"mnuSetup_Spine_Left_Margin", "Spine Label Left Margin", "Type a new left margin:", " 35",
     "Invalid Left Margin"},
    {"mnuSetup_Pocket_Left_Margin", "Pocket Label Left Margin", "Type a new left margin:", " 30",
     "Invalid Left Margin"}};
enum { Top, Left, Spine, Pocket };

}  // namespace

class TestSetup : public QObject {
    Q_OBJECT
  private slots:
    void fonts_data() {
        QTest::addColumn<bool>("spine");
        QTest::addColumn<lm::FontChoice>("chosen");  // no name: the dialog is cancelled
        QTest::addColumn<int>("reply");
        QTest::addColumn<QByteArray>("memory");  // the settings in memory afterwards
        QTest::newRow("spine 10.5 is stored as 10")
            << true << font("Arial", 10.5, 255, true, false, true, false) << Yes
            << QByteArray(
                   "\"Arial\",10,255,#TRUE#,#FALSE#,#TRUE#,#FALSE#,\"Futura\",8,65535,#TRUE#,"
                   "#FALSE#,#FALSE#,#TRUE#,1,1,2,920,640,35,30\r\n");
        QTest::newRow("pocket 9.4 is stored as 9")
            << false << font("Arial", 9.4, 65280, true, false, true, false) << Yes
            << QByteArray(
                   "\"Garamond\",14,255,1,#TRUE#,#TRUE#,#FALSE#,\"Arial\",9,65280,#TRUE#,"
                   "#FALSE#,#TRUE#,#FALSE#,1,1,2,920,640,35,30\r\n");
        QTest::newRow("No keeps it in memory only")
            << true << font("Arial", 13) << No
            << QByteArray(
                   "\"Arial\",13,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Futura\",8,65535,#TRUE#,"
                   "#FALSE#,#FALSE#,#TRUE#,1,1,2,920,640,35,30\r\n");
        QTest::newRow("cancelled") << false << lm::FontChoice() << int(NotAsked) << QByteArray();
    }
    // The font commands start from the file, written here behind the window's back.
    void fonts() {
        QFETCH(bool, spine);
        QFETCH(lm::FontChoice, chosen);
        QFETCH(int, reply);
        QFETCH(QByteArray, memory);
        const QByteArray onDisk =
            "\"Garamond\",14,255,1,#TRUE#,#TRUE#,#FALSE#,\"Futura\",8,65535,#TRUE#,#FALSE#,"
            "#FALSE#,#TRUE#,1,1,2,920,640,35,30\r\n";
        if (memory.isEmpty()) memory = onDisk;
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        s.folder.writeFile(lm::kSettingsFile, onDisk);
        s.dialogs.expectFont(spine ? font("Garamond", 14, 255, true, true, true, false)
                                   : font("Futura", 8, 65535, true, false, false, true),
                             chosen.name.isEmpty() ? std::nullopt : std::optional(chosen));
        expectSaveQuestion(s, MessageButtons::YesNo, reply, false);
        ::trigger(*s.window, spine ? QStringLiteral("mnuSetup_Font_Spane")
                                   : QStringLiteral("mnuSetup_Font_Pocket"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.folder.readFile(lm::kSettingsFile), reply == Yes ? memory : onDisk);
        QCOMPARE(lineOf(s.window->state().settings), memory);
        // The labels on screen keep the font they were built with until the restart.
        QCOMPARE(s.window->spineControl(2)->font().family(), QStringLiteral("Times New Roman"));
    }
    void choices_data() {
        QTest::addColumn<int>("printing");  // at the start
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("reply");
        QTest::addColumn<QByteArray>("memory");  // the settings in memory afterwards
        QTest::addColumn<QString>("refusal");    // non-empty: the working file holds labels
        const int B = lm::kBatchPrinting;
        const int I = lm::kInteractivePrinting;
        const QByteArray interactive = QByteArray(kBatchDefaults).replace(",0,1,2,", ",0,1,1,");
        auto row = [](const char* name, int printing, const char* item, int reply,
                      const QByteArray& memory, const QString& refusal = {}) {
            QTest::newRow(name) << printing << QString::fromLatin1(item) << reply << memory
                                << refusal;
        };
        row("type Mailer-1", B, "mnuSetup_Label_Item_9", Yes,
            "\"Times New Roman\",9,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,"
            "#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,9,2,1090,360,35,30\r\n");
        row("type, No", B, "mnuSetup_Label_Item_3", No, kBatchDefaults);
        row("type refused", B, "mnuSetup_Label_Item_4", NotAsked, kBatchDefaults,
            QStringLiteral(
                "The label file contains labels. You can not change label-type before you "
                "either process and clear the file!"));
        row("alignment Right", B, "mnuSetup_Alignment_Item_1", Yes,
            QByteArray(kBatchDefaults).replace(",0,1,2,", ",1,1,2,"));
        row("alignment, Cancel", B, "mnuSetup_Alignment_Item_2", Cancel, kBatchDefaults);
        row("Interactive to Batch", I, "mnuSetup_Printing_Batch", Yes, kBatchDefaults);
        row("Batch to Interactive", B, "mnuSetup_Printing_Interactive", Yes, interactive);
        row("printing, No", I, "mnuSetup_Printing_Batch", No, interactive);
        row("printing refused", B, "mnuSetup_Printing_Batch", NotAsked, kBatchDefaults,
            QStringLiteral("The label file contains labels. You can not change printing method "
                           "before you either process and clear the file!"));
    }
    // These commands write the settings in memory: a file that differs from
    // memory shows whether they wrote it. The menu's check marks follow memory.
    void choices() {
        QFETCH(int, printing);
        QFETCH(QString, item);
        QFETCH(int, reply);
        QFETCH(QByteArray, memory);
        QFETCH(QString, refusal);
        StartedWindow s(settingsForType(lm::kSp1, printing));
        QVERIFY(s.window);
        const QByteArray onDisk = withMargins("999,640,35,30");
        s.folder.writeFile(lm::kSettingsFile, onDisk);
        const QByteArray working = refusal.isEmpty() ? QByteArray() : QByteArray("~~");
        if (!refusal.isEmpty()) {
            s.folder.writeFile(lm::kWorkingLabelFile, working);
            s.dialogs.expectOk(refusal, MessageIcon::Exclamation);
        }
        const bool isPrinting = item.startsWith(QStringLiteral("mnuSetup_Printing"));
        expectSaveQuestion(s, isPrinting ? MessageButtons::YesNo : MessageButtons::YesNoCancel,
                           reply, !isPrinting);
        ::trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        const lm::Settings& now = s.window->state().settings;
        QCOMPARE(s.folder.readFile(lm::kSettingsFile), reply == Yes ? memory : onDisk);
        QCOMPARE(lineOf(now), memory);
        QCOMPARE(setupChecks(*s.window),
                 checks(now.LabelType, now.LabelAlignment,
                        now.PrintingMethod == lm::kBatchPrinting ? "Batch" : "Interactive"));
        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), working);
        // The page keeps the type and the labels it was built with until the restart.
        QCOMPARE(s.window->state().LabelType(), 1);
        QCOMPARE(s.window->state().LastSpineIndex, 41);
    }
    void margins_data() {
        QTest::addColumn<int>("margin");
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<int>("reply");        // NotAsked with an answer: it is invalid
        QTest::addColumn<QByteArray>("line");  // the file and memory afterwards
        auto row = [](const char* name, int margin, std::optional<QString> answer, int reply,
                      const QByteArray& line) {
            QTest::newRow(name) << margin << answer << reply << line;
        };
        const std::optional<QString> cancel;
        row("top 0 is invalid", Top, QStringLiteral("0"), NotAsked, kBatchDefaults);
        row("top 12abc counts as 12", Top, QStringLiteral("12abc"), Yes,
            withMargins("12,640,35,30"));
        row("top, empty", Top, QString(), NotAsked, kBatchDefaults);
        row("top, Cancel", Top, cancel, NotAsked, kBatchDefaults);
        row("left 4500 is invalid", Left, QStringLiteral("4500"), NotAsked, kBatchDefaults);
        row("spine 0 is valid", Spine, QStringLiteral("0"), Yes, withMargins("920,640,0,30"));
        row("pocket 1999.5 is 2000", Pocket, QStringLiteral("1999.5"), Yes,
            withMargins("920,640,35,2000"));
        row("pocket, No", Pocket, QStringLiteral("100"), No, kBatchDefaults);
    }
    void margins() {
        using Answer = std::optional<QString>;
        QFETCH(int, margin);
        QFETCH(Answer, answer);
        QFETCH(int, reply);
        QFETCH(QByteArray, line);
        const Margin& m = kMargins[margin];
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        s.dialogs.expectInput(QString::fromUtf8(m.prompt), QString::fromUtf8(m.title),
                              QString::fromUtf8(m.preset), answer);
        if (reply == NotAsked && answer && !answer->isEmpty())
            s.dialogs.expectMessage(*answer + QStringLiteral(" is invalid!"), MessageButtons::Ok,
                                    MessageIcon::Critical, MessageAnswer::Ok,
                                    QString::fromUtf8(m.invalidTitle));
        // Only the spine label margin's restart message has Cancel too.
        expectSaveQuestion(s, MessageButtons::YesNo, reply, true,
                           margin == Spine ? MessageButtons::OkCancel : MessageButtons::Ok);
        ::trigger(*s.window, QString::fromUtf8(m.item));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.folder.readFile(lm::kSettingsFile), line);
        QCOMPARE(lineOf(s.window->state().settings), line);
    }
    void showSetupReadsTheFile() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        lm::Settings onDisk = settingsForType(lm::kSl4);
        onDisk.LabelAlignment = 3;
        s.folder.writeSettings(onDisk);
        s.dialogs.expectMessage(
            QStringLiteral(
                "Font Name: Times New Roman\r\nFont Size:  11\r\nFont Style: Regular \r\n"
                "Label Type: sl4\r\nPrinting Method: Batch\r\n"
                "Page Top Margin:  827\r\nPage Left Margin:  710\r\n"
                "Spine Label Left Margin:  35\r\nPocket Label Left Margin:  30\r\n"
                "Label Alignment: Justified"),
            MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok,
            QStringLiteral("Setup Information"));
        ::trigger(*s.window, QStringLiteral("mnuSetup_Show"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QVERIFY(s.window->state().settings == onDisk);
        QCOMPARE(lineOf(onDisk), s.folder.readFile(lm::kSettingsFile));
    }
    void unreadableSettingsFileEndsTheCommand_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("contents");  // empty: the file is removed
        QTest::addColumn<QString>("reason");
        QTest::newRow("Show Setup, broken") << "mnuSetup_Show" << QByteArray("garbage\r\n")
                                            << "it holds 1 of the 21 settings items.";
        QTest::newRow("font, missing")
            << "mnuSetup_Font_Pocket" << QByteArray() << "No such file or directory.";
    }
    void unreadableSettingsFileEndsTheCommand() {
        QFETCH(QString, item);
        QFETCH(QByteArray, contents);
        QFETCH(QString, reason);
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        if (contents.isEmpty())
            QVERIFY(QFile::remove(settingsPath(s.folder)));
        else
            s.folder.writeFile(lm::kSettingsFile, contents);
        const lm::Settings before = s.window->state().settings;
        s.dialogs.expectOk(QStringLiteral("The settings file %1 cannot be read: %2")
                               .arg(settingsPath(s.folder), reason),
                           MessageIcon::Critical);
        ::trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);  // no font dialog, no setup shown
        QCOMPARE(s.folder.readFile(lm::kSettingsFile), contents);
        QVERIFY(s.window->state().settings == before);
    }
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"

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
Q_DECLARE_METATYPE(lm::MessageAnswer)
Q_DECLARE_METATYPE(lm::MessageButtons)

namespace {

const QString kSaveQuestion = QStringLiteral("Do you want to save the change(s)?");
const QString kRestart = QStringLiteral("You need to restart the Label Maker.");
const QString kTypeRefusal = QStringLiteral(
    "The label file contains labels. You can not change label-type before you either process "
    "and clear the file!");
const QString kPrintingRefusal = QStringLiteral(
    "The label file contains labels. You can not change printing method before you either "
    "process and clear the file!");

// The defaults of a fresh installation with Batch printing (start-up then
// leaves the working file alone), as the settings file holds them.
const QByteArray kBatchDefaults =
    "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,#FALSE#,"
    "#FALSE#,#FALSE#,#FALSE#,0,1,2,920,640,35,30\r\n";

QByteArray lineOf(const lm::Settings& settings) {
    return QByteArray::fromStdString(lm::formatSettingsLine(settings));
}

QByteArray settingsBytes(const TempWorkFolder& folder) {
    return folder.readFile(lm::kSettingsFile);
}

void expectSaveQuestion(ScriptedDialogs& dialogs, MessageButtons buttons, MessageAnswer answer) {
    dialogs.expectMessage(kSaveQuestion, buttons, MessageIcon::Question, answer);
}

void trigger(lm::Forms1& window, const char* item) {
    QAction* action = window.menuItem(QString::fromUtf8(item));
    QVERIFY2(action, item);
    action->trigger();
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

QStringList checks(const char* type, const char* alignment, const char* printing) {
    return {QStringLiteral("mnuSetup_Label_Item_") + QString::fromUtf8(type),
            QStringLiteral("mnuSetup_Alignment_Item_") + QString::fromUtf8(alignment),
            QStringLiteral("mnuSetup_Printing_") + QString::fromUtf8(printing)};
}

lm::FontChoice font(const char* name, double size, std::int32_t color = 0, bool bold = false,
                    bool italic = false, bool strikethrough = false, bool underline = false) {
    lm::FontChoice f;
    f.name = QString::fromUtf8(name);
    f.size = size;
    f.color = color;
    f.bold = bold;
    f.italic = italic;
    f.strikethrough = strikethrough;
    f.underline = underline;
    return f;
}

QString settingsPath(const TempWorkFolder& folder) {
    return QString::fromStdString(folder.filePath(lm::kSettingsFile));
}

}  // namespace

class TestSetup : public QObject {
    Q_OBJECT
  private slots:
    void fontYesWritesTheFont_data();
    void fontYesWritesTheFont();
    void fontStartsFromTheFile();
    void fontCancelWritesNothing();
    void fontNoKeepsTheFontInMemoryOnly();

    void labelTypeWritesItsDefaults_data();
    void labelTypeWritesItsDefaults();
    void labelTypeNotYesChangesNothing_data();
    void labelTypeNotYesChangesNothing();
    void labelTypeAndPrintingRefusedWhileTheWorkingFileHoldsLabels_data();
    void labelTypeAndPrintingRefusedWhileTheWorkingFileHoldsLabels();

    void printingMethod_data();
    void printingMethod();

    void marginCommands_data();
    void marginCommands();
    void marginEmptyAnswerOrCancelEndsQuietly_data();
    void marginEmptyAnswerOrCancelEndsQuietly();
    void marginNoWritesNothing();

    void alignment_data();
    void alignment();

    void showSetupAfterChoosingMailer1();
    void showSetupShowsTheFontStyle_data();
    void showSetupShowsTheFontStyle();
    void showSetupReadsTheFile();
    void unreadableSettingsFileEndsTheCommand_data();
    void unreadableSettingsFileEndsTheCommand();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
};

void TestSetup::fontYesWritesTheFont_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<lm::FontChoice>("preset");
    QTest::addColumn<lm::FontChoice>("chosen");
    QTest::addColumn<QByteArray>("line");
    const lm::FontChoice spine = font("Times New Roman", 11);
    const lm::FontChoice pocket = font("Times New Roman", 12);
    QTest::newRow("spine 10.5 is stored as 10")
        << "mnuSetup_Font_Spane" << spine << font("Arial", 10.5, 255, true, false, true, false)
        << QByteArray(
               "\"Arial\",10,255,#TRUE#,#FALSE#,#TRUE#,#FALSE#,\"Times New Roman\",12,0,"
               "#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,2,920,640,35,30\r\n");
    QTest::newRow("pocket bold struck through, 9.4 is 9")
        << "mnuSetup_Font_Pocket" << pocket << font("Arial", 9.4, 65280, true, false, true, false)
        << QByteArray(
               "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Arial\",9,"
               "65280,#TRUE#,#FALSE#,#TRUE#,#FALSE#,0,1,2,920,640,35,30\r\n");
}

void TestSetup::fontYesWritesTheFont() {
    QFETCH(QString, item);
    QFETCH(lm::FontChoice, preset);
    QFETCH(lm::FontChoice, chosen);
    QFETCH(QByteArray, line);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
    s.dialogs.expectFont(preset, chosen);
    expectSaveQuestion(s.dialogs, MessageButtons::YesNo, MessageAnswer::Yes);
    trigger(*s.window, item.toUtf8().constData());
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder), line);
    QCOMPARE(lineOf(s.window->state().settings), line);
}

void TestSetup::fontStartsFromTheFile() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    // Written behind the window's back: the command must start from it.
    const QByteArray onDisk =
        "\"Garamond\",14,255,1,#TRUE#,#TRUE#,#FALSE#,\"Futura\",8,65535,#TRUE#,#FALSE#,"
        "#FALSE#,#TRUE#,1,1,2,920,640,35,30\r\n";
    s.folder.writeFile(lm::kSettingsFile, onDisk);
    s.dialogs.expectFont(font("Garamond", 14, 255, true, true, true, false),
                         font("Garamond", 16, 255, true, true, true, false));
    expectSaveQuestion(s.dialogs, MessageButtons::YesNo, MessageAnswer::Yes);
    trigger(*s.window, "mnuSetup_Font_Spane");
    LM_VERIFY_DIALOGS(s.dialogs);
    // The number 1 the file held as bold becomes a boolean.
    QCOMPARE(settingsBytes(s.folder),
             QByteArray("\"Garamond\",16,255,#TRUE#,#TRUE#,#TRUE#,#FALSE#,\"Futura\",8,65535,"
                        "#TRUE#,#FALSE#,#FALSE#,#TRUE#,1,1,2,920,640,35,30\r\n"));

    s.dialogs.expectFont(font("Futura", 8, 65535, true, false, false, true), std::nullopt);
    trigger(*s.window, "mnuSetup_Font_Pocket");
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestSetup::fontCancelWritesNothing() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    // Memory differs from the file until the command reads it.
    s.window->state().settings.PageTopMargin = 77;
    for (const char* item : {"mnuSetup_Font_Spane", "mnuSetup_Font_Pocket"}) {
        s.dialogs.expectFont(std::nullopt, std::nullopt);
        trigger(*s.window, item);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
        QCOMPARE(lineOf(s.window->state().settings), kBatchDefaults);
    }
}

void TestSetup::fontNoKeepsTheFontInMemoryOnly() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.dialogs.expectFont(std::nullopt, font("Arial", 13));
    expectSaveQuestion(s.dialogs, MessageButtons::YesNo, MessageAnswer::No);
    trigger(*s.window, "mnuSetup_Font_Spane");
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
    QCOMPARE(s.window->state().settings.SpineFontName, std::string("Arial"));
    QCOMPARE(s.window->state().settings.SpineFontSize, 13);
    // The labels on screen keep the font they were built with.
    QCOMPARE(s.window->spineControl(2)->font().family(), QStringLiteral("Times New Roman"));

    // The next command that writes the file stores the font too.
    expectSaveQuestion(s.dialogs, MessageButtons::YesNoCancel, MessageAnswer::Yes);
    s.dialogs.expectMessage(kRestart, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    trigger(*s.window, "mnuSetup_Alignment_Item_2");
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder),
             QByteArray("\"Arial\",13,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\",12,0,"
                        "#FALSE#,#FALSE#,#FALSE#,#FALSE#,2,1,2,920,640,35,30\r\n"));
}

void TestSetup::labelTypeWritesItsDefaults_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArray>("line");
    // Starting from sp1 with the spine size, the margins and the pocket size
    // changed: the choice resets all but the pocket size.
    QTest::newRow("Mailer-1 writes spine size 9")
        << 9
        << QByteArray(
               "\"Times New Roman\",9,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\","
               "14,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,9,2,1090,360,35,30\r\n");
    QTest::newRow("the checked type again still writes the defaults")
        << 1
        << QByteArray(
               "\"Times New Roman\",11,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,\"Times New Roman\","
               "14,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,2,920,640,35,30\r\n");
}

void TestSetup::labelTypeWritesItsDefaults() {
    QFETCH(int, type);
    QFETCH(QByteArray, line);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    lm::Settings start = settingsForType(lm::kSp1);
    start.SpineFontSize = 13;
    start.PocketFontSize = 14;
    start.PageTopMargin = 1000;
    start.PageLeftMargin = 700;
    start.SpineLeftMargin = 50;
    start.PocketLeftMargin = 60;
    auto window = startWith(folder, start, dialogs);
    QVERIFY(window);
    const std::string workingFile = folder.filePath(lm::kWorkingLabelFile);
    QVERIFY(!QFile::exists(QString::fromStdString(workingFile)));

    expectSaveQuestion(dialogs, MessageButtons::YesNoCancel, MessageAnswer::Yes);
    dialogs.expectMessage(kRestart, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    trigger(*window, QStringLiteral("mnuSetup_Label_Item_%1").arg(type).toUtf8().constData());
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(settingsBytes(folder), line);
    QCOMPARE(window->state().settings.LabelType, type);
    QCOMPARE(setupChecks(*window), checks(QByteArray::number(type).constData(), "0", "Batch"));
    // The page keeps working with the type it was built for until the restart.
    QCOMPARE(window->state().LabelType(), 1);
    // The working file is created empty when missing.
    QVERIFY(QFile::exists(QString::fromStdString(workingFile)));
    // The labels on screen stay those of sp1 until the next start.
    QVERIFY(window->spineControl(41));
    QCOMPARE(window->state().LastSpineIndex, 41);
}

void TestSetup::labelTypeNotYesChangesNothing_data() {
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("No") << MessageAnswer::No;
    QTest::newRow("Cancel") << MessageAnswer::Cancel;
}

void TestSetup::labelTypeNotYesChangesNothing() {
    QFETCH(MessageAnswer, answer);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    expectSaveQuestion(s.dialogs, MessageButtons::YesNoCancel, answer);
    trigger(*s.window, "mnuSetup_Label_Item_3");
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
    QCOMPARE(s.window->state().settings.LabelType, 1);
    QCOMPARE(setupChecks(*s.window), checks("1", "0", "Batch"));
}

void TestSetup::labelTypeAndPrintingRefusedWhileTheWorkingFileHoldsLabels_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("label type") << "mnuSetup_Label_Item_4" << kTypeRefusal;
    QTest::newRow("the checked label type") << "mnuSetup_Label_Item_1" << kTypeRefusal;
    QTest::newRow("Batch") << "mnuSetup_Printing_Batch" << kPrintingRefusal;
}

void TestSetup::labelTypeAndPrintingRefusedWhileTheWorkingFileHoldsLabels() {
    QFETCH(QString, item);
    QFETCH(QString, refusal);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    folder.writeFile(lm::kWorkingLabelFile, "~~");
    auto window = startWith(folder, settingsForType(lm::kSp1), dialogs);
    QVERIFY(window);
    dialogs.expectMessage(refusal, MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
    trigger(*window, item.toUtf8().constData());
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(settingsBytes(folder), kBatchDefaults);
    QCOMPARE(setupChecks(*window), checks("1", "0", "Batch"));
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), QByteArray("~~"));
}

void TestSetup::printingMethod_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("item");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<int>("method");
    QTest::newRow("Interactive to Batch")
        << 1 << "mnuSetup_Printing_Batch" << MessageAnswer::Yes << 2;
    QTest::newRow("Batch to Interactive")
        << 2 << "mnuSetup_Printing_Interactive" << MessageAnswer::Yes << 1;
    QTest::newRow("Batch again") << 2 << "mnuSetup_Printing_Batch" << MessageAnswer::Yes << 2;
    QTest::newRow("No") << 1 << "mnuSetup_Printing_Batch" << MessageAnswer::No << 1;
}

void TestSetup::printingMethod() {
    QFETCH(int, start);
    QFETCH(QString, item);
    QFETCH(MessageAnswer, answer);
    QFETCH(int, method);
    StartedWindow s(settingsForType(lm::kSp1, start));
    QVERIFY(s.window);
    // Batch again rewrites the file even though nothing changes.
    s.folder.writeFile(lm::kSettingsFile,
                       QByteArray(kBatchDefaults).replace(",1,2,920", ",1,3,920"));
    s.window->state().settings.PrintingMethod = start;
    expectSaveQuestion(s.dialogs, MessageButtons::YesNo, answer);
    trigger(*s.window, item.toUtf8().constData());
    LM_VERIFY_DIALOGS(s.dialogs);  // no restart message
    lm::Settings expected = settingsForType(lm::kSp1, method);
    if (answer == MessageAnswer::Yes) {
        QCOMPARE(settingsBytes(s.folder), lineOf(expected));
    } else {
        QCOMPARE(settingsBytes(s.folder),
                 QByteArray(kBatchDefaults).replace(",1,2,920", ",1,3,920"));
    }
    QCOMPARE(s.window->state().settings.PrintingMethod, method);
    QCOMPARE(setupChecks(*s.window), checks("1", "0", method == 1 ? "Interactive" : "Batch"));
}

void TestSetup::marginCommands_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("errorTitle");  // empty when the answer is valid
    QTest::addColumn<QByteArray>("line");     // the file afterwards
    const QString top = QStringLiteral("MnuSetup_Margin");
    const QString left = QStringLiteral("MnuSetup_LeftMargin");
    const QString spine = QStringLiteral("mnuSetup_Spine_Left_Margin");
    const QString pocket = QStringLiteral("mnuSetup_Pocket_Left_Margin");
    const QString topTitle = QStringLiteral("Top Margin");
    const QString leftTitle = QStringLiteral("Left Margin");
    const QString spineTitle = QStringLiteral("Spine Label Left Margin");
    const QString pocketTitle = QStringLiteral("Pocket Label Left Margin");
    const QString topPrompt = QStringLiteral("Type a new top margin:");
    const QString leftPrompt = QStringLiteral("Type a new left margin:");
    const QString invalidTop = QStringLiteral("Invalid Top Margin");
    const QString invalidLeft = QStringLiteral("Invalid Left Margin");
    const QByteArray unchanged = kBatchDefaults;
    auto with = [](const char* margins) {
        return QByteArray(kBatchDefaults).replace("920,640,35,30", margins);
    };
    QTest::newRow("top 0 is invalid") << top << topTitle << topPrompt << " 920"
                                      << "0" << invalidTop << unchanged;
    QTest::newRow("top 12abc counts as 12") << top << topTitle << topPrompt << " 920"
                                            << "12abc"
                                            << "" << with("12,640,35,30");
    QTest::newRow("left 4500 is invalid") << left << leftTitle << leftPrompt << " 640"
                                          << "4500" << invalidLeft << unchanged;
    QTest::newRow("spine 0 is valid") << spine << spineTitle << leftPrompt << " 35"
                                      << "0"
                                      << "" << with("920,640,0,30");
    QTest::newRow("pocket 1999.5 is stored as 2000") << pocket << pocketTitle << leftPrompt << " 30"
                                                     << "1999.5"
                                                     << "" << with("920,640,35,2000");
}

void TestSetup::marginCommands() {
    QFETCH(QString, item);
    QFETCH(QString, title);
    QFETCH(QString, prompt);
    QFETCH(QString, preset);
    QFETCH(QString, answer);
    QFETCH(QString, errorTitle);
    QFETCH(QByteArray, line);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.dialogs.expectInput(prompt, title, preset, answer);
    if (!errorTitle.isEmpty()) {
        s.dialogs.expectMessage(answer + QStringLiteral(" is invalid!"), MessageButtons::Ok,
                                MessageIcon::Critical, MessageAnswer::Ok, errorTitle);
    } else {
        expectSaveQuestion(s.dialogs, MessageButtons::YesNo, MessageAnswer::Yes);
        // Only the spine label margin's box has Cancel too; either button closes it.
        const bool spine = item == QStringLiteral("mnuSetup_Spine_Left_Margin");
        s.dialogs.expectMessage(kRestart, spine ? MessageButtons::OkCancel : MessageButtons::Ok,
                                MessageIcon::None,
                                spine ? MessageAnswer::Cancel : MessageAnswer::Ok);
    }
    trigger(*s.window, item.toUtf8().constData());
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder), line);
    QCOMPARE(lineOf(s.window->state().settings), line);
}

void TestSetup::marginEmptyAnswerOrCancelEndsQuietly_data() {
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::newRow("empty") << std::optional<QString>(QString());
    QTest::newRow("Cancel") << std::optional<QString>();
}

void TestSetup::marginEmptyAnswerOrCancelEndsQuietly() {
    using Answer = std::optional<QString>;
    QFETCH(Answer, answer);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.dialogs.expectInput(QStringLiteral("Type a new top margin:"), QStringLiteral("Top Margin"),
                          QStringLiteral(" 920"), answer);
    trigger(*s.window, "MnuSetup_Margin");
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
}

void TestSetup::marginNoWritesNothing() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    s.dialogs.expectInput(QStringLiteral("Type a new left margin:"),
                          QStringLiteral("Pocket Label Left Margin"), QStringLiteral(" 30"),
                          QStringLiteral("100"));
    expectSaveQuestion(s.dialogs, MessageButtons::YesNo, MessageAnswer::No);
    trigger(*s.window, "mnuSetup_Pocket_Left_Margin");
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
    QCOMPARE(s.window->state().settings.PocketLeftMargin, 30);
}

void TestSetup::alignment_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<int>("stored");
    QTest::newRow("Right") << 1 << MessageAnswer::Yes << 1;
    QTest::newRow("No") << 3 << MessageAnswer::No << 0;
    QTest::newRow("Cancel") << 2 << MessageAnswer::Cancel << 0;
}

void TestSetup::alignment() {
    QFETCH(int, index);
    QFETCH(MessageAnswer, answer);
    QFETCH(int, stored);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    expectSaveQuestion(s.dialogs, MessageButtons::YesNoCancel, answer);
    if (answer == MessageAnswer::Yes)
        s.dialogs.expectMessage(kRestart, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    trigger(*s.window,
            QStringLiteral("mnuSetup_Alignment_Item_%1").arg(index).toUtf8().constData());
    LM_VERIFY_DIALOGS(s.dialogs);
    QCOMPARE(
        settingsBytes(s.folder),
        QByteArray(kBatchDefaults).replace(",0,1,2,", "," + QByteArray::number(stored) + ",1,2,"));
    QCOMPARE(setupChecks(*s.window), checks("1", QByteArray::number(stored).constData(), "Batch"));
}

void TestSetup::showSetupAfterChoosingMailer1() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    expectSaveQuestion(s.dialogs, MessageButtons::YesNoCancel, MessageAnswer::Yes);
    s.dialogs.expectMessage(kRestart, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    trigger(*s.window, "mnuSetup_Label_Item_9");
    s.dialogs.expectMessage(
        QStringLiteral("Font Name: Times New Roman\r\nFont Size:  9\r\nFont Style: Regular \r\n"
                       "Label Type: Mailer-1\r\nPrinting Method: Batch\r\n"
                       "Page Top Margin:  1090\r\nPage Left Margin:  360\r\n"
                       "Spine Label Left Margin:  35\r\nPocket Label Left Margin:  30\r\n"
                       "Label Alignment: Left"),
        MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok,
        QStringLiteral("Setup Information"));
    trigger(*s.window, "mnuSetup_Show");
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestSetup::showSetupShowsTheFontStyle_data() {
    QTest::addColumn<lm::FontChoice>("chosen");
    QTest::addColumn<QString>("style");
    QTest::newRow("italic") << font("Arial", 12, 0, false, true) << "Font Style: Regular Italic";
    QTest::newRow("bold") << font("Arial", 12, 0, true, false) << "Font Style: Bold ";
    QTest::newRow("bold italic") << font("Arial", 12, 0, true, true) << "Font Style: Bold Italic";
}

void TestSetup::showSetupShowsTheFontStyle() {
    QFETCH(lm::FontChoice, chosen);
    QFETCH(QString, style);
    StartedWindow s(settingsForType(lm::kSp1, lm::kInteractivePrinting));
    QVERIFY(s.window);
    s.dialogs.expectFont(std::nullopt, chosen);
    expectSaveQuestion(s.dialogs, MessageButtons::YesNo, MessageAnswer::Yes);
    trigger(*s.window, "mnuSetup_Font_Spane");
    s.dialogs.expectMessage(
        QStringLiteral("Font Name: Arial\r\nFont Size:  12\r\n") + style +
            QStringLiteral("\r\nLabel Type: sp1\r\nPrinting Method: Interactive"
                           "\r\nPage Top Margin:  920\r\nPage Left Margin:  640"
                           "\r\nSpine Label Left Margin:  35\r\n"
                           "Pocket Label Left Margin:  30\r\nLabel Alignment: Left"),
        MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok,
        QStringLiteral("Setup Information"));
    trigger(*s.window, "mnuSetup_Show");
    LM_VERIFY_DIALOGS(s.dialogs);
}

void TestSetup::showSetupReadsTheFile() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    lm::Settings onDisk = settingsForType(lm::kSl4);
    onDisk.LabelAlignment = 3;
    s.folder.writeSettings(onDisk);
    s.dialogs.expectMessage(
        QStringLiteral("Font Name: Times New Roman\r\nFont Size:  11\r\nFont Style: Regular \r\n"
                       "Label Type: sl4\r\nPrinting Method: Batch\r\n"
                       "Page Top Margin:  827\r\nPage Left Margin:  710\r\n"
                       "Spine Label Left Margin:  35\r\nPocket Label Left Margin:  30\r\n"
                       "Label Alignment: Justified"),
        MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok,
        QStringLiteral("Setup Information"));
    trigger(*s.window, "mnuSetup_Show");
    LM_VERIFY_DIALOGS(s.dialogs);
    QVERIFY(s.window->state().settings == onDisk);
    QCOMPARE(lineOf(onDisk), settingsBytes(s.folder));
}

void TestSetup::unreadableSettingsFileEndsTheCommand_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QByteArray>("contents");  // empty: the file is removed
    QTest::addColumn<QString>("reason");
    QTest::newRow("Show Setup, broken")
        << "mnuSetup_Show" << QByteArray("garbage\r\n") << "it holds 1 of the 21 settings items.";
    QTest::newRow("Spine Font, missing")
        << "mnuSetup_Font_Spane" << QByteArray() << "No such file or directory.";
    QTest::newRow("Pocket Font, broken")
        << "mnuSetup_Font_Pocket"
        << QByteArray(
               "\"Arial\",big,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,"
               "\"Arial\",12,0,#FALSE#,#FALSE#,#FALSE#,#FALSE#,0,1,"
               "2,920,640,35,30\r\n")
        << "item 2 (SpineFontSize) holds \"big\", which is not a number.";
}

void TestSetup::unreadableSettingsFileEndsTheCommand() {
    QFETCH(QString, item);
    QFETCH(QByteArray, contents);
    QFETCH(QString, reason);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    if (contents.isEmpty()) {
        QVERIFY(QFile::remove(settingsPath(s.folder)));
    } else {
        s.folder.writeFile(lm::kSettingsFile, contents);
    }
    const lm::Settings before = s.window->state().settings;
    s.dialogs.expectMessage(QStringLiteral("The settings file %1 cannot be read: %2")
                                .arg(settingsPath(s.folder), reason),
                            MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    trigger(*s.window, item.toUtf8().constData());
    LM_VERIFY_DIALOGS(s.dialogs);  // no font dialog, no setup shown
    QCOMPARE(settingsBytes(s.folder), contents);
    QVERIFY(s.window->state().settings == before);
}

void TestSetup::failedWriteChangesNothing_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<MessageButtons>("question");
    QTest::newRow("label type") << "mnuSetup_Label_Item_3" << MessageButtons::YesNoCancel;
    QTest::newRow("alignment") << "mnuSetup_Alignment_Item_1" << MessageButtons::YesNoCancel;
    QTest::newRow("printing") << "mnuSetup_Printing_Interactive" << MessageButtons::YesNo;
    QTest::newRow("margin") << "MnuSetup_Margin" << MessageButtons::YesNo;
    QTest::newRow("font") << "mnuSetup_Font_Spane" << MessageButtons::YesNo;
}

void TestSetup::failedWriteChangesNothing() {
    QFETCH(QString, item);
    QFETCH(MessageButtons, question);
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    // Read-only: even root's write is refused, as a plain write would be.
    QVERIFY(QFile::setPermissions(settingsPath(s.folder), QFileDevice::ReadOwner));
    if (item == QStringLiteral("MnuSetup_Margin"))
        s.dialogs.expectInput(QStringLiteral("Type a new top margin:"),
                              QStringLiteral("Top Margin"), QStringLiteral(" 920"),
                              QStringLiteral("1000"));
    if (item == QStringLiteral("mnuSetup_Font_Spane"))
        s.dialogs.expectFont(std::nullopt, font("Arial", 20));
    expectSaveQuestion(s.dialogs, question, MessageAnswer::Yes);
    s.dialogs.expectMessage(QStringLiteral("The settings file %1 cannot be written: Permission "
                                           "denied.\r\n\r\nThe settings have not been changed.")
                                .arg(settingsPath(s.folder)),
                            MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    trigger(*s.window, item.toUtf8().constData());
    LM_VERIFY_DIALOGS(s.dialogs);  // and no restart message
    QCOMPARE(settingsBytes(s.folder), kBatchDefaults);
    QCOMPARE(lineOf(s.window->state().settings), kBatchDefaults);
    QCOMPARE(setupChecks(*s.window), checks("1", "0", "Batch"));
}

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

#include <csignal>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "core/workfolder.h"
#include "edit/editcommands.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "store/savecommands.h"

using lm::Forms1;
using lm::LabelControl;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;
using lm::MultiLabel;

namespace {

QString q(const char* text) {
    return QString::fromUtf8(text);
}

const QString kPrompt =
    q("Enter the number of label sets to insert before the selected label set:");
const QString kTitle = q("Kelvarine Label Maker");
const QString kIllegal = q("You entered illegal numbers!");
const QString kDelete = q("You want to delete the highlighted label(s). Right?");
const QStringList kFields = {q("Text1"), q("Text2"), q("Text3"), q("Text4"), q("Text5")};

std::unique_ptr<Forms1> startOn(const TempWorkFolder& folder, int type,
                                const QList<QByteArray>& texts, lm::Dialogs& dialogs,
                                int page = 1) {
    folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(texts));
    auto window = startWith(folder, settingsForType(type, lm::kInteractivePrinting), dialogs);
    while (window && window->state().PageNumber < page) window->button(q("Command1"))->click();
    return window;
}

// The label that SelectedLabel `label` names (pocket n as n + 40 where the type has pockets).
LabelControl* labelOf(Forms1& window, int label) {
    const bool pocket = label >= 40 && window.state().LastPocketIndex > 1;
    return pocket ? window.pocketControl(label - 40) : window.spineControl(label);
}

LabelControl* click(Forms1& window, int label) {
    LabelControl* control = labelOf(window, label);
    QTest::mouseClick(control->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    return control;
}

void choose(Forms1& window, const QString& item) {
    window.menuItem(item)->trigger();
}

// A page's texts as shownTexts() gives them: without the empty ones at its end.
QList<QByteArray> shownPart(int type, const QList<QByteArray>& texts, int page) {
    QList<QByteArray> part = pageTexts(type, texts, page);
    while (!part.isEmpty() && part.last().isEmpty()) part.removeLast();
    return part;
}

// The labels of the page whose whole text is selected, as SelectedLabel numbers.
QList<int> highlighted(Forms1& window) {
    QList<int> labels;
    for (int n = 2; n < 100; ++n) {
        LabelControl* label = n < 40 ? window.spineControl(n) : window.pocketControl(n - 40);
        if (!label) continue;
        if (label->selectionLength() > 0 && label->selectionLength() == label->toPlainText().size())
            labels << n;
        else if (label->selectionLength() != 0 || label->selectionStart() != 0)
            labels << -n;  // a partial selection or a caret elsewhere
    }
    return labels;
}

MultiLabel* dialogOf(Forms1& window) {
    const QList<MultiLabel*> open = window.findChildren<MultiLabel*>();
    return open.size() == 1 ? open.first() : nullptr;
}

QStringList entriesOf(MultiLabel* dialog) {
    QStringList entries;
    for (const QString& name : kFields) entries << dialog->findChild<QLineEdit*>(name)->text();
    return entries;
}

void fill(MultiLabel* dialog, const QStringList& entries) {
    for (int i = 0; i < kFields.size(); ++i)
        dialog->findChild<QLineEdit*>(kFields[i])->setText(entries.value(i));
}

void press(MultiLabel* dialog, const char* button) {
    dialog->findChild<QPushButton*>(q(button))->click();
}

}  // namespace

// One row of a table of edits: the file holds labelSetTexts(type, sets),
// `page` is on display and `label` (a SelectedLabel number) is clicked.
struct EditRow {
    int type;
    int sets;
    int page;
    int label;
    const char* entry;          // Insert Blank's count; Delete: "Yes" or "No"
    QByteArrayList fileChange;  // Insert Blank: the text the blanks go before; Delete: removed
};
Q_DECLARE_METATYPE(EditRow)

class TestEditCommands : public QObject {
    Q_OBJECT
  private slots:
    void insertBlank_data();
    void insertBlank();
    void refusedCountsComeBackUntilCancelled_data();
    void refusedCountsComeBackUntilCancelled();
    void refusedBeforeAnythingIsHighlighted_data();
    void refusedBeforeAnythingIsHighlighted();
    void deleteSet_data();
    void deleteSet();
    void clipboard();
    void characterMap();
    void multipleCopiesOpensOneDialog();
    void applyProducesTheSeries_data();
    void applyProducesTheSeries();
    void applyRefusalsThenCancel_data();
    void applyRefusalsThenCancel();
    void applyWithoutAFileAsksForAName();
};

void TestEditCommands::insertBlank_data() {
    QTest::addColumn<EditRow>("row");
    QTest::newRow("sp1 2 before L4 of 45") << EditRow{lm::kSp1, 45, 1, 5, "2", {"S4"}};
    QTest::newRow("slb pocket 7") << EditRow{lm::kSlb, 25, 1, 47, "2", {"S6"}};
    QTest::newRow("sl4 spine 3, 9") << EditRow{lm::kSl4, 31, 1, 3, "9", {"S2"}};
    QTest::newRow("Mailer-1 page 4, 3") << EditRow{lm::kMailer1, 6, 4, 2, "3", {"S4"}};
}

// The blank sets ("<Blank>" and the set's other texts empty) go before the
// selected set; the same page number is shown with what now falls on it.
void TestEditCommands::insertBlank() {
    QFETCH(EditRow, row);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(row.type, row.sets);
    auto window = startOn(folder, row.type, texts, dialogs, row.page);
    QVERIFY(window);
    click(*window, row.label);
    dialogs.expectInput(kPrompt, kTitle, QString(), q(row.entry));
    choose(*window, q("mnuEdit_Blank"));
    LM_VERIFY_DIALOGS(dialogs);

    const int perSet = row.type == lm::kSp2 ? 2 : lm::labelTypeInfo(row.type)->textsPerSet();
    QList<QByteArray> expected = texts;
    const qsizetype before = texts.indexOf(row.fileChange.first());
    for (int i = 0; i < atoi(row.entry) * perSet; ++i)
        expected.insert(before + i, i % perSet ? QByteArray() : QByteArray("<Blank>"));
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(expected));
    QCOMPARE(window->state().PageNumber, row.page);
    QCOMPARE(shownTexts(*window), shownPart(row.type, expected, row.page));
    QCOMPARE(
        window->windowTitle(),
        titleOf(QString::fromStdString(folder.filePath(lm::kWorkingLabelFile)), row.page, true));
    QCOMPARE(window->state().PendingEdit, std::string(lm::kNoPendingEdit));
}

void TestEditCommands::refusedCountsComeBackUntilCancelled_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("label");
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<bool>("cancel");  // the last answer: Cancel, else an empty entry
    QTest::newRow("sl4 10") << int(lm::kSl4) << 3 << QStringList{q("10")} << true;
    QTest::newRow("sign, letter, point, blanks")
        << int(lm::kSp1) << 5 << QStringList{q("1a"), q("-1"), q("2.5"), q(" 3"), q("3 ")} << false;
    // 4294967298 would wrap round to 2 in 32 bits.
    QTest::newRow("Mailer-1 above 32767")
        << int(lm::kMailer1) << 2 << QStringList{q("32768"), q("4294967298")} << true;
    QTest::newRow("sl6 at once, empty pocket") << int(lm::kSl6) << 3 << QStringList{} << true;
}

// A refused entry is the next default; the final Cancel or empty entry takes
// the highlight off by retyping: texts and file as they were, nothing selected.
void TestEditCommands::refusedCountsComeBackUntilCancelled() {
    QFETCH(int, type);
    QFETCH(int, label);
    QFETCH(QStringList, refused);
    QFETCH(bool, cancel);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    QList<QByteArray> texts = labelSetTexts(type, 12);
    texts[4] = QByteArray();  // a pocket label of set 3 where there are pockets
    auto window = startOn(folder, type, texts, dialogs);
    QVERIFY(window);
    click(*window, label);
    QString previous;
    for (const QString& entry : refused) {
        dialogs.expectInput(kPrompt, kTitle, previous, entry);
        dialogs.expectMessage(kIllegal, MessageButtons::Ok, MessageIcon::Exclamation,
                              MessageAnswer::Ok);
        previous = entry;
    }
    dialogs.expectInput(kPrompt, kTitle, previous,
                        cancel ? std::nullopt : std::optional(QString()));
    choose(*window, q("mnuEdit_Blank"));
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(shownTexts(*window), shownPart(type, texts, 1));
    QCOMPARE(highlighted(*window), QList<int>());
    QVERIFY(!window->state().PageChanged);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

void TestEditCommands::refusedBeforeAnythingIsHighlighted_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("label");  // 0: none clicked
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("message");
    const QString none = q("No label is selected!");
    const QString disabled = q("Multilpe Copies is diabled!");
    QTest::newRow("Insert Blank") << int(lm::kSl4) << 0 << q("mnuEdit_Blank") << none;
    QTest::newRow("Multiple Copies") << int(lm::kSp1) << 0 << q("mnuEdit_Multicopies") << none;
    QTest::newRow("Mailer-1 selected")
        << int(lm::kMailer1) << 42 << q("mnuEdit_Multicopies") << disabled;
}

void TestEditCommands::refusedBeforeAnythingIsHighlighted() {
    QFETCH(int, type);
    QFETCH(int, label);
    QFETCH(QString, item);
    QFETCH(QString, message);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, type, labelSetTexts(type, 5), dialogs);
    QVERIFY(window);
    if (label) click(*window, label);
    dialogs.expectMessage(message, MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok);
    if (QAbstractButton* button = window->button(item)) {
        button->click();
    } else {
        choose(*window, item);
    }
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(highlighted(*window), QList<int>());
    QVERIFY(!dialogOf(*window));
}

void TestEditCommands::deleteSet_data() {
    QTest::addColumn<EditRow>("row");
    QTest::newRow("sl4 pocket 5") << EditRow{lm::kSl4, 31, 1, 45, "Yes", {"S2", "P2a", "P2b"}};
    QTest::newRow("Mailer-1 page 3")
        << EditRow{lm::kMailer1, 4, 3, 43, "Yes", {"S3", "P3a", "P3b"}};
    QTest::newRow("last label, alone on its page") << EditRow{lm::kSp1, 41, 2, 2, "Yes", {"S41"}};
    QTest::newRow("No, sl4") << EditRow{lm::kSl4, 31, 1, 45, "No", {}};
}

// Yes leaves the set out of the file; No collapses the highlight and changes nothing.
void TestEditCommands::deleteSet() {
    QFETCH(EditRow, row);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(row.type, row.sets);
    auto window = startOn(folder, row.type, texts, dialogs, row.page);
    QVERIFY(window);
    click(*window, row.label);
    const bool yes = qstrcmp(row.entry, "Yes") == 0;
    dialogs.expectMessageWithDefault(kDelete, MessageButtons::YesNo, MessageIcon::Question,
                                     MessageAnswer::Yes,
                                     yes ? MessageAnswer::Yes : MessageAnswer::No);
    choose(*window, q("mnuEdit_Delete"));
    LM_VERIFY_DIALOGS(dialogs);

    QList<QByteArray> expected = texts;
    for (const QByteArray& text : row.fileChange) expected.removeOne(text);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(expected));
    QCOMPARE(window->state().PageNumber, row.page);
    QCOMPARE(shownTexts(*window), shownPart(row.type, expected, row.page));
    QCOMPARE(highlighted(*window), QList<int>());
    QVERIFY(!window->state().PageChanged);
}

// On the label SelectedLabel names (slb pocket 3, as 43): Copy leaves it as it
// is, Cut removes the selection, Paste puts plain text only in its place, and
// a clipboard without text just removes the selection.
void TestEditCommands::clipboard() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSlb, labelSetTexts(lm::kSlb, 5), dialogs);
    QVERIFY(window);
    QClipboard* clipboard = QGuiApplication::clipboard();
    LabelControl* label = click(*window, 43);
    const auto run = [&](int start, int length, const char* item) {
        label->setSelectionStart(start);
        label->setSelectionLength(length);
        choose(*window, q(item));
    };
    run(0, 2, "mnuEdit_Copy");
    QCOMPARE(clipboard->text(), q("P2"));
    QVERIFY(!window->state().PageChanged);
    run(1, 1, "mnuEdit_Cut");
    QCOMPARE(clipboard->text(), q("2"));
    QCOMPARE(label->toPlainText(), q("Pa"));
    QVERIFY(window->state().PageChanged);

    auto* formatted = new QMimeData;
    formatted->setHtml(q("<b>Rich</b>"));
    formatted->setText(q("Bold"));
    clipboard->setMimeData(formatted);
    run(0, 1, "mnuEdit_Paste");
    QCOMPARE(label->toPlainText(), q("Bolda"));
    clipboard->setImage(QImage(4, 4, QImage::Format_RGB32));
    run(1, 3, "mnuEdit_Paste");
    QCOMPARE(label->toPlainText(), q("Ba"));
    QCOMPARE(window->spineControl(3)->toPlainText(), q("S2"));  // only that label
}

// One character map at a time: chosen again while it runs, no second one
// starts; once it has ended, a new one does. A program that cannot start is reported.
void TestEditCommands::characterMap() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSp1, labelSetTexts(lm::kSp1, 3), dialogs);
    QVERIFY(window);
    lm::CharacterMap& map = window->findChild<lm::EditCommands*>()->characterMap();
    map.setProgram(q("lm-no-such-charmap"));
    dialogs.expectMessage(q("The character map could not be started.\n\nlm-no-such-charmap is not "
                            "installed (it is not on the program path)."),
                          MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
    choose(*window, q("mnuEdit_Insert"));
    LM_VERIFY_DIALOGS(dialogs);

    map.setProgram(q("sleep"), {q("60")});
    choose(*window, q("mnuEdit_Insert"));
    const qint64 first = map.runningProcessId();
    QVERIFY(first > 0);
    choose(*window, q("mnuEdit_Insert"));
    QCOMPARE(map.runningProcessId(), first);
    ::kill(pid_t(first), SIGTERM);
    QTRY_COMPARE(map.runningProcessId(), qint64(0));
    choose(*window, q("mnuEdit_Insert"));
    const qint64 second = map.runningProcessId();
    QVERIFY(second > 0 && second != first);
    ::kill(pid_t(second), SIGTERM);
    LM_VERIFY_DIALOGS(dialogs);
}

// Modeless, a tool window of the main window, on the highlighted set; a
// click elsewhere does not move the set, the command run again does and
// brings back the same dialog with its entries.
void TestEditCommands::multipleCopiesOpensOneDialog() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSl6, labelSetTexts(lm::kSl6, 6), dialogs);
    QVERIFY(window);
    click(*window, 44);
    choose(*window, q("mnuEdit_Multicopies"));
    QPointer<MultiLabel> dialog = dialogOf(*window);
    QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
    QCOMPARE(dialog->windowTitle(), q("Multiple Label Production Setup"));
    QCOMPARE(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(dialog->parentWidget(), window.get());
    QCOMPARE(entriesOf(dialog), (QStringList{QString(), QString(), QString(), QString(), q("1")}));
    QCOMPARE(window->state().SelectedSetIndex, 3);
    QCOMPARE(highlighted(*window), (QList<int>{3, 44, 45}));

    fill(dialog, {q("Vol.")});
    click(*window, 6);
    QCOMPARE(window->state().SelectedSetIndex, 3);
    dialog->hide();
    window->button(q("Command3"))->click();
    QCOMPARE(dialogOf(*window), dialog.data());
    QVERIFY(dialog->isVisible());
    QCOMPARE(entriesOf(dialog).first(), q("Vol."));
    QCOMPARE(window->state().SelectedSetIndex, 6);
    QCOMPARE(highlighted(*window), (QList<int>{6, 50, 51}));
    LM_VERIFY_DIALOGS(dialogs);
}

void TestEditCommands::applyProducesTheSeries_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<QByteArrayList>("texts");
    QTest::addColumn<int>("label");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("Vol. 1-3 x Copy 1,2")
        << int(lm::kSp1) << QByteArrayList{"A1", "QA76\r\nK5", "A3"} << 3
        << QStringList{q("Vol."), q("1-3"), q("Copy "), q("1,2"), q("1")}
        << QByteArray(
               "A1~~QA76\r\nK5\r\nVol.1\r\nCopy 1~~QA76\r\nK5\r\nVol.1\r\nCopy 2~~"
               "QA76\r\nK5\r\nVol.2\r\nCopy 1~~QA76\r\nK5\r\nVol.2\r\nCopy 2~~"
               "QA76\r\nK5\r\nVol.3\r\nCopy 1~~QA76\r\nK5\r\nVol.3\r\nCopy 2~~A3~~");
    QTest::newRow("sl4: all three numbered, 2 copies")
        << int(lm::kSl4) << QByteArrayList{"S1", "P1a", "P1b", "QA\r\n1", "Smith\r\nBook", "Jo"}
        << 44 << QStringList{q("v."), q("5"), QString(), QString(), q("2")}
        << QByteArray(
               "S1~~P1a~~P1b~~QA\r\n1\r\nv.5~~Smith v.5\r\nBook~~Jo v.5~~"
               "QA\r\n1\r\nv.5~~Smith v.5\r\nBook~~Jo v.5~~");
}

void TestEditCommands::applyProducesTheSeries() {
    QFETCH(int, type);
    QFETCH(QByteArrayList, texts);
    QFETCH(int, label);
    QFETCH(QStringList, entries);
    QFETCH(QByteArray, file);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, type, texts, dialogs);
    QVERIFY(window);
    click(*window, label);
    window->button(q("Command3"))->click();
    QPointer<MultiLabel> dialog = dialogOf(*window);
    fill(dialog, entries);
    press(dialog, "MultiApply");
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), file);
    QCOMPARE(labelFileBytes(shownTexts(*window)), file);
    QTRY_VERIFY(!dialog);
    QCOMPARE(window->state().PendingEdit, std::string(lm::kNoPendingEdit));
}

void TestEditCommands::applyRefusalsThenCancel_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("way");  // then Cancel (0), Escape (1) or the window closed (2)
    const QString none;
    QTest::newRow("list 3-1") << QStringList{q("Vol."), q("3-1"), none, none, q("1")} << kIllegal
                              << 0;
    QTest::newRow("range past 32767")
        << QStringList{none, q("1-40000"), none, none, q("1")} << kIllegal << 1;
    QTest::newRow("constant 2, no list")
        << QStringList{none, q("1"), q("C"), q("  "), q("1")} << kIllegal << 2;
    int way = 0;
    for (const char* copies : {"", "2a", "32768"})
        QTest::addRow("copies '%s'", copies)
            << QStringList{none, none, none, none, q(copies)} << kIllegal << way++;
    QTest::newRow("constant outside Windows-1252")
        << QStringList{q("Vol."), q("1"), q("Ω"), q("1"), q("1")}
        << q("Constant 2 holds a character that a label file cannot store (it stores "
             "Windows-1252 characters only).")
        << 0;
}

// A refusal keeps the dialog open with its entries and changes nothing; then
// Cancel (or Escape, or closing it) takes the highlight off by retyping:
// texts, file and PageChanged as they were, nothing selected, the dialog gone.
void TestEditCommands::applyRefusalsThenCancel() {
    QFETCH(QStringList, entries);
    QFETCH(QString, message);
    QFETCH(int, way);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    QList<QByteArray> texts = labelSetTexts(lm::kSl4, 4);
    texts[4] = QByteArray();  // set 3 (spine 3, pockets 4 and 5) has an empty pocket label
    auto window = startOn(folder, lm::kSl4, texts, dialogs);
    QVERIFY(window);
    click(*window, 3);
    window->button(q("Command3"))->click();
    QPointer<MultiLabel> dialog = dialogOf(*window);
    fill(dialog, entries);
    dialogs.expectMessage(message, MessageButtons::Ok, MessageIcon::Exclamation, MessageAnswer::Ok);
    press(dialog, "MultiApply");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(dialogOf(*window) == dialog && dialog->isVisible());
    QCOMPARE(entriesOf(dialog), entries);
    QVERIFY(window->state().MultiNumbers1.empty() && window->state().PendingEditCount == 0);

    if (way == 0) press(dialog, "MultiCancel");
    if (way == 1) QTest::keyClick(dialog, Qt::Key_Escape);
    if (way == 2) dialog->close();
    QTRY_VERIFY(!dialog);
    QCOMPARE(shownTexts(*window), shownPart(lm::kSl4, texts, 1));
    QCOMPARE(highlighted(*window), QList<int>());
    QVERIFY(!window->state().PageChanged);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

// With no file open, Save asks for a name; until one is given the dialog stays.
void TestEditCommands::applyWithoutAFileAsksForAName() {
    StartedWindow s(settingsForType(lm::kSp1));
    QVERIFY(s.window);
    typeInto(s.window->spineControl(2), q("QA1"));
    click(*s.window, 2);
    s.window->button(q("Command3"))->click();
    QPointer<MultiLabel> dialog = dialogOf(*s.window);
    fill(dialog, {q("c."), q("1,2"), QString(), QString(), q("1")});
    s.dialogs.expectSaveFile(lm::kSaveDialogTitle, lm::kSaveDialogFilter, std::nullopt);
    press(dialog, "MultiApply");
    LM_VERIFY_DIALOGS(s.dialogs);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(s.window->state().PendingEdit, std::string(lm::kNoPendingEdit));

    s.dialogs.expectSaveFile(lm::kSaveDialogTitle, lm::kSaveDialogFilter,
                             s.folder.path() + q("/series.dat"));
    press(dialog, "MultiApply");
    LM_VERIFY_DIALOGS(s.dialogs);
    QTRY_VERIFY(!dialog);
    QCOMPARE(s.folder.readFile("series.dat"), QByteArray("QA1\r\nc.1~~QA1\r\nc.2~~"));
}

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"

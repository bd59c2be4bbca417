#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>

#include "app/forms1.h"
#include "core/editrequest.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/result.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"
#include "store/programend.h"

#include <cerrno>

using lm::Forms1;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

const QString kQuestion =
    QStringLiteral("This page has been changed. Do you want to save the change(s)?");
const QString kSaveTitle = QStringLiteral("Save Label File");
const QString kSaveFilter = QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*");
const QString kOpenTitle = QStringLiteral("Open Label File");
const QString kOpenFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*");
const QString kPlainTitle = QStringLiteral("Kelvarine Label Maker");

void trigger(Forms1& window, const char* item) {
    QAction* action = window.menuItem(QString::fromUtf8(item));
    QVERIFY2(action, item);
    action->trigger();
}

QString reason(int errorNumber) {
    return QString::fromStdString(lm::systemReason(errorNumber)) + QLatin1Char('.');
}

QString saveFailure(const QString& path, int errorNumber) {
    return QStringLiteral("The labels could not be saved in %1.\r\n\r\n%2")
        .arg(path, reason(errorNumber));
}

QString workingPath(const TempWorkFolder& folder) {
    return QString::fromStdString(folder.filePath(lm::kWorkingLabelFile));
}

void makeReadOnly(const QString& path) {
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
}

std::unique_ptr<Forms1> startOn(const TempWorkFolder& folder, int type,
                                const QList<QByteArray>& texts, lm::Dialogs& dialogs,
                                int printing = lm::kInteractivePrinting) {
    folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(texts));
    return startWith(folder, settingsForType(type, printing), dialogs);
}

// What the page and the window show, to tell that a command changed nothing.
struct Shown {
    QString title;
    std::string file;
    int page;
    bool changed;
    QList<QByteArray> texts;

    static Shown of(Forms1& window) {
        return {window.windowTitle(), window.state().CurrentFileName, window.state().PageNumber,
                window.state().PageChanged, shownTexts(window)};
    }
    bool operator==(const Shown& o) const {
        return title == o.title && file == o.file && page == o.page && changed == o.changed &&
               texts == o.texts;
    }
};

// The commands that begin with the save question.
enum class Command { New, Load, Exit };
// How the question is answered; Unchanged: the page has no edits, no question.
enum class Answer { Unchanged, No, Cancel, YesCancelled, YesFailed, YesSaved };

}  // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void saveWritesThePageIntoTheCurrentFile();
    void saveWithNoFileAsksForAName_data();
    void saveWithNoFileAsksForAName();
    void saveThatFailsKeepsThePageChanged_data();
    void saveThatFailsKeepsThePageChanged();
    void saveWithAPendingEditShowsThePageAgain();
    void saveAsMakesTheChosenFileCurrent();
    void saveAsRefusesTheWorkingFileWithBatchPrinting_data();
    void saveAsRefusesTheWorkingFileWithBatchPrinting();
    void saveAsCancelledOrFailedChangesNothing_data();
    void saveAsCancelledOrFailedChangesNothing();
    void theSaveQuestionDecidesWhetherTheCommandGoesOn_data();
    void theSaveQuestionDecidesWhetherTheCommandGoesOn();
    void loadShowsPageOneOfTheChosenFile();
    void loadCancelledChangesNothing();
    void loadReportsAFileItCannotOpen_data();
    void loadReportsAFileItCannotOpen();
    void newLeavesAnEmptyPageForANewFile();
    void clearEmptiesTheFileAndTheCounter();
    void clearAsksFirstAndNeedsAFile_data();
    void clearAsksFirstAndNeedsAFile();
    void exitOffersToClearAFullFile_data();
    void exitOffersToClearAFullFile();
    void exitClearsWhenAsked();
    void closingTheWindow_data();
    void closingTheWindow();

  private:
    int m_ended = 0;
};

void TestFileCommands::init() {
    m_ended = 0;
    lm::setProgramEndForTesting([this] { ++m_ended; });
}

void TestFileCommands::cleanup() {
    lm::setProgramEndForTesting(nullptr);
}

void TestFileCommands::saveWritesThePageIntoTheCurrentFile() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 12);
    auto window = startOn(folder, lm::kSl4, texts, dialogs);
    QVERIFY(window);
    const QString title = window->windowTitle();
    typeInto(window->pocketControl(21), QStringLiteral(" v.2"));
    trigger(*window, "mnuFile_Save");
    LM_VERIFY_DIALOGS(dialogs);
    QList<QByteArray> saved = texts;
    saved[29] += " v.2";
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(saved));
    QVERIFY(!window->state().PageChanged);
    QCOMPARE(window->windowTitle(), title);
}

void TestFileCommands::saveWithNoFileAsksForAName_data() {
    QTest::addColumn<bool>("named");
    QTest::newRow("dialog cancelled") << false;
    QTest::newRow("name given") << true;
}

void TestFileCommands::saveWithNoFileAsksForAName() {
    QFETCH(bool, named);
    StartedWindow s(settingsForType(lm::kSlb, lm::kBatchPrinting));
    QVERIFY(s.window);
    typeInto(s.window->spineControl(2), QStringLiteral("QA76"));
    typeInto(s.window->pocketControl(2), QStringLiteral("Knuth"));
    const QString path = s.folder.path() + QStringLiteral("/new.dat");
    s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter,
                             named ? std::optional<QString>(path) : std::nullopt);
    trigger(*s.window, "mnuFile_Save");
    LM_VERIFY_DIALOGS(s.dialogs);
    if (!named) {
        // A Save As that did not save never counts as saved.
        QVERIFY(s.window->state().PageChanged);
        QVERIFY(s.window->state().CurrentFileName.empty());
        QCOMPARE(s.window->windowTitle(), kPlainTitle);
        QVERIFY(!QFile::exists(path));
        return;
    }
    QCOMPARE(s.folder.readFile("new.dat"), QByteArray("QA76~~Knuth~~"));
    QVERIFY(!s.window->state().PageChanged);
    QCOMPARE(s.window->state().CurrentFileName, path.toStdString());
    QCOMPARE(s.window->windowTitle(), titleOf(path, 1, false));
}

void TestFileCommands::saveThatFailsKeepsThePageChanged_data() {
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("reasonText");
    QTest::newRow("read-only file") << true << QStringLiteral("x") << reason(EACCES);
    QTest::newRow("text the file cannot hold")
        << false << QStringLiteral("\u4e00")
        << QStringLiteral(
               "The spine label of label set 2 on this page holds a character that a label "
               "file cannot store (it stores Windows-1252 characters only). The page was not "
               "saved.");
}

void TestFileCommands::saveThatFailsKeepsThePageChanged() {
    QFETCH(bool, readOnly);
    QFETCH(QString, typed);
    QFETCH(QString, reasonText);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 10);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    if (readOnly) makeReadOnly(workingPath(folder));
    typeInto(window->spineControl(3), typed);
    const Shown before = Shown::of(*window);
    dialogs.expectMessage(QStringLiteral("The labels could not be saved in %1.\r\n\r\n%2")
                              .arg(workingPath(folder), reasonText),
                          MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    trigger(*window, "mnuFile_Save");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(Shown::of(*window) == before);
    QVERIFY(window->state().PageChanged);
    QCOMPARE(window->spineControl(3)->toPlainText(), QStringLiteral("S2") + typed);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

// The edit commands hand their edit to Save; the page is then read again.
void TestFileCommands::saveWithAPendingEditShowsThePageAgain() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 45);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    lm::AppState& state = window->state();
    state.PendingEdit = lm::kInsertBlankLabel;
    state.SelectedSetIndex = 4;
    state.PendingEditCount = 2;
    trigger(*window, "mnuFile_Save");
    state.PendingEdit = lm::kNoPendingEdit;
    LM_VERIFY_DIALOGS(dialogs);
    QList<QByteArray> saved = texts;
    saved.insert(2, "<Blank>");
    saved.insert(2, "<Blank>");
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(saved));
    QCOMPARE(shownTexts(*window), saved.mid(0, 40));
    QCOMPARE(window->windowTitle(), titleOf(workingPath(folder), 1, true));
    QVERIFY(!state.PageChanged);
}

void TestFileCommands::saveAsMakesTheChosenFileCurrent() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 85);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    window->button(QStringLiteral("Command1"))->click();
    typeInto(window->spineControl(2), QStringLiteral("!"));
    const QString path = folder.path() + QStringLiteral("/copy.dat");
    dialogs.expectSaveFile(kSaveTitle, kSaveFilter, path);
    trigger(*window, "mnuFile_SaveAs");
    LM_VERIFY_DIALOGS(dialogs);
    QList<QByteArray> saved = texts;
    saved[40] += "!";
    QCOMPARE(folder.readFile("copy.dat"), labelFileBytes(saved));
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
    QCOMPARE(window->state().CurrentFileName, path.toStdString());
    QCOMPARE(window->windowTitle(), titleOf(path, 2, false));
    QVERIFY(!window->state().PageChanged);
    // Moves go on in the new file.
    window->button(QStringLiteral("Command1"))->click();
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSp1, saved, 3));
    QCOMPARE(window->windowTitle(), titleOf(path, 3, true));
}

void TestFileCommands::saveAsRefusesTheWorkingFileWithBatchPrinting_data() {
    QTest::addColumn<int>("printing");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("refused");
    QTest::newRow("batch, same name") << int(lm::kBatchPrinting) << "$$label.dat" << true;
    QTest::newRow("batch, upper case") << int(lm::kBatchPrinting) << "$$LABEL.DAT" << true;
    QTest::newRow("batch, roundabout path")
        << int(lm::kBatchPrinting) << "sub/../$$label.dat" << true;
    QTest::newRow("batch, other name") << int(lm::kBatchPrinting) << "$$label2.dat" << false;
    QTest::newRow("interactive, upper case")
        << int(lm::kInteractivePrinting) << "$$LABEL.DAT" << false;
}

void TestFileCommands::saveAsRefusesTheWorkingFileWithBatchPrinting() {
    QFETCH(int, printing);
    QFETCH(QString, name);
    QFETCH(bool, refused);
    StartedWindow s(settingsForType(lm::kSp2, printing));
    QVERIFY(s.window);
    QVERIFY(QDir(s.folder.path()).mkpath(QStringLiteral("sub")));
    typeInto(s.window->spineControl(2), QStringLiteral("A"));
    const QString chosen = s.folder.path() + QLatin1Char('/') + name;
    const QString other = s.folder.path() + QStringLiteral("/other.dat");
    s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, chosen);
    if (refused) {
        s.dialogs.expectMessage(
            chosen + QStringLiteral(" is a reserved file! Please name another file."),
            MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
        s.dialogs.expectSaveFile(kSaveTitle, kSaveFilter, other);
    }
    trigger(*s.window, "mnuFile_SaveAs");
    LM_VERIFY_DIALOGS(s.dialogs);
    const QString saved = refused ? other : chosen;
    QCOMPARE(s.window->state().CurrentFileName, saved.toStdString());
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("A~~~~"));  // an sp2 pair
    if (refused && printing == lm::kBatchPrinting)
        QCOMPARE(s.folder.readFile(lm::kWorkingLabelFile), QByteArray());
}

void TestFileCommands::saveAsCancelledOrFailedChangesNothing_data() {
    QTest::addColumn<bool>("fails");
    QTest::newRow("cancelled") << false;
    QTest::newRow("folder missing") << true;
}

void TestFileCommands::saveAsCancelledOrFailedChangesNothing() {
    QFETCH(bool, fails);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 50);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    typeInto(window->spineControl(5), QStringLiteral("?"));
    const Shown before = Shown::of(*window);
    const QString path = folder.path() + QStringLiteral("/missing/a.dat");
    dialogs.expectSaveFile(kSaveTitle, kSaveFilter,
                           fails ? std::optional<QString>(path) : std::nullopt);
    if (fails)
        dialogs.expectMessage(saveFailure(path, ENOENT), MessageButtons::Ok, MessageIcon::Critical,
                              MessageAnswer::Ok);
    trigger(*window, "mnuFile_SaveAs");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(Shown::of(*window) == before);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

void TestFileCommands::theSaveQuestionDecidesWhetherTheCommandGoesOn_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("goesOn");
    const struct {
        const char* name;
        Command command;
    } commands[] = {{"New", Command::New}, {"Load", Command::Load}, {"Exit", Command::Exit}};
    const struct {
        const char* name;
        Answer answer;
        bool goesOn;
    } answers[] = {{"unchanged", Answer::Unchanged, true},
                   {"No", Answer::No, true},
                   {"Cancel", Answer::Cancel, false},
                   {"Yes, Save dialog cancelled", Answer::YesCancelled, false},
                   {"Yes, save failed", Answer::YesFailed, false},
                   {"Yes, saved", Answer::YesSaved, true}};
    for (const auto& c : commands)
        for (const auto& a : answers)
            QTest::addRow("%s, %s", c.name, a.name) << int(c.command) << int(a.answer) << a.goesOn;
}

void TestFileCommands::theSaveQuestionDecidesWhetherTheCommandGoesOn() {
    QFETCH(int, command);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl6, 9);
    auto window = startOn(folder, lm::kSl6, texts, dialogs);
    QVERIFY(window);
    window->button(QStringLiteral("Command1"))->click();
    if (Answer(answer) != Answer::Unchanged)
        typeInto(window->pocketControl(3), QStringLiteral("+"));
    const Shown before = Shown::of(*window);
    const QString savedPath = folder.path() + QStringLiteral("/saved.dat");
    const QString otherPath = folder.path() + QStringLiteral("/other.dat");
    folder.writeFile("other.dat", labelFileBytes(labelSetTexts(lm::kSl6, 2)));

    switch (Answer(answer)) {
        case Answer::Unchanged:
            break;
        case Answer::No:
            dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                                  MessageAnswer::No);
            break;
        case Answer::Cancel:
            dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                                  MessageAnswer::Cancel);
            break;
        case Answer::YesCancelled:
            dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                                  MessageAnswer::Yes);
            dialogs.expectSaveFile(kSaveTitle, kSaveFilter, std::nullopt);
            break;
        case Answer::YesFailed: {
            const QString bad = folder.path() + QStringLiteral("/missing/saved.dat");
            dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                                  MessageAnswer::Yes);
            dialogs.expectSaveFile(kSaveTitle, kSaveFilter, bad);
            dialogs.expectMessage(saveFailure(bad, ENOENT), MessageButtons::Ok,
                                  MessageIcon::Critical, MessageAnswer::Ok);
            break;
        }
        case Answer::YesSaved:
            dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                                  MessageAnswer::Yes);
            dialogs.expectSaveFile(kSaveTitle, kSaveFilter, savedPath);
            break;
    }
    if (goesOn && Command(command) == Command::Load)
        dialogs.expectOpenFile(kOpenTitle, kOpenFilter, otherPath);

    const char* items[] = {"mnuFile_NewFile", "mnuFile_Load", "mnuFile_Exit"};
    trigger(*window, items[command]);
    LM_VERIFY_DIALOGS(dialogs);

    if (Answer(answer) == Answer::YesSaved) {
        QList<QByteArray> saved = texts;
        saved[20] += "+";  // the second pocket label of page 2's first set
        QCOMPARE(folder.readFile("saved.dat"), labelFileBytes(saved));
    }
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
    if (!goesOn) {
        QVERIFY(Shown::of(*window) == before);
        QCOMPARE(m_ended, 0);
        return;
    }
    if (Command(command) != Command::Exit) QVERIFY(!window->state().PageChanged);
    switch (Command(command)) {
        case Command::New:
            QCOMPARE(window->windowTitle(), kPlainTitle);
            QVERIFY(shownTexts(*window).isEmpty());
            QVERIFY(window->state().CurrentFileName.empty());
            break;
        case Command::Load:
            QCOMPARE(window->windowTitle(), titleOf(otherPath, 1, true));
            QCOMPARE(shownTexts(*window), labelSetTexts(lm::kSl6, 2));
            break;
        case Command::Exit:
            QCOMPARE(m_ended, 1);
            break;
    }
}

void TestFileCommands::loadShowsPageOneOfTheChosenFile() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSlb2, labelSetTexts(lm::kSlb2, 30), dialogs);
    QVERIFY(window);
    window->button(QStringLiteral("Command1"))->click();
    window->button(QStringLiteral("Command1"))->click();
    const QList<QByteArray> other = labelSetTexts(lm::kSlb2, 12);
    folder.writeFile("other.txt", labelFileBytes(other));
    const QString path = folder.path() + QStringLiteral("/other.txt");
    dialogs.expectOpenFile(kOpenTitle, kOpenFilter, path);
    trigger(*window, "mnuFile_Load");
    LM_VERIFY_DIALOGS(dialogs);
    const lm::AppState& state = window->state();
    QCOMPARE(state.CurrentFileName, path.toStdString());
    QCOMPARE(state.PageNumber, 1);
    QCOMPARE(state.PageStartPosition, 1);
    QCOMPARE(state.PageEndPosition, labelFileBytes(other.mid(0, 16)).size());
    QCOMPARE(window->windowTitle(), titleOf(path, 1, true));
    QCOMPARE(shownTexts(*window), other.mid(0, 16));
    window->button(QStringLiteral("Command1"))->click();
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(shownTexts(*window), other.mid(16));
}

void TestFileCommands::loadCancelledChangesNothing() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSp1, labelSetTexts(lm::kSp1, 3), dialogs);
    QVERIFY(window);
    const Shown before = Shown::of(*window);
    dialogs.expectOpenFile(kOpenTitle, kOpenFilter, std::nullopt);
    trigger(*window, "mnuFile_Load");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(Shown::of(*window) == before);
}

void TestFileCommands::loadReportsAFileItCannotOpen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("error");
    QTest::newRow("a folder") << QStringLiteral("sub") << EISDIR;
    QTest::newRow("below a file") << QStringLiteral("plain.dat/x.dat") << ENOTDIR;
}

// The page and the file on display stay; the page keeps its edits.
void TestFileCommands::loadReportsAFileItCannotOpen() {
    QFETCH(QString, name);
    QFETCH(int, error);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 50);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("sub")));
    folder.writeFile("plain.dat", "A~~");
    typeInto(window->spineControl(2), QStringLiteral("#"));
    const Shown before = Shown::of(*window);
    const QString path = folder.path() + QLatin1Char('/') + name;
    dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                          MessageAnswer::No);
    dialogs.expectOpenFile(kOpenTitle, kOpenFilter, path);
    dialogs.expectMessage(
        QStringLiteral("The label file %1 cannot be opened.\r\n\r\n%2").arg(path, reason(error)),
        MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    trigger(*window, "mnuFile_Load");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(Shown::of(*window) == before);
    // The edits can still be saved into the file on display.
    trigger(*window, "mnuFile_Save");
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile).left(5), QByteArray("S1#~~"));
}

void TestFileCommands::newLeavesAnEmptyPageForANewFile() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 25);
    auto window = startOn(folder, lm::kSl4, texts, dialogs);
    QVERIFY(window);
    window->button(QStringLiteral("Command1"))->click();
    window->button(QStringLiteral("Command1"))->click();
    trigger(*window, "mnuFile_NewFile");
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->windowTitle(), kPlainTitle);
    QVERIFY(shownTexts(*window).isEmpty());
    QVERIFY(window->state().CurrentFileName.empty());

    typeInto(window->spineControl(2), QStringLiteral("N1"));
    const QString path = folder.path() + QStringLiteral("/fresh.dat");
    dialogs.expectSaveFile(kSaveTitle, kSaveFilter, path);
    trigger(*window, "mnuFile_Save");
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile("fresh.dat"), QByteArray("N1~~~~~~"));
    // The new file counts its pages from 1.
    QCOMPARE(window->windowTitle(), titleOf(path, 1, false));
    QCOMPARE(window->state().PageStartPosition, 1);
    dialogs.expectMessage(QStringLiteral("No previous page is available!"), MessageButtons::Ok,
                          MessageIcon::Information, MessageAnswer::Ok);
    window->button(QStringLiteral("Command2"))->click();
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

void TestFileCommands::clearEmptiesTheFileAndTheCounter() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSp1, labelSetTexts(lm::kSp1, 70), dialogs);
    QVERIFY(window);
    folder.writeFile(lm::kCounterFile, "70\r\n");
    window->button(QStringLiteral("Command1"))->click();
    const QString path = workingPath(folder);
    dialogs.expectMessage(QStringLiteral("You will lose all the labels in the file, %1. Do you "
                                         "want to continue?")
                              .arg(path),
                          MessageButtons::YesNo, MessageIcon::Exclamation, MessageAnswer::Yes);
    dialogs.expectMessage(QStringLiteral("Label file has been cleared!"), MessageButtons::Ok,
                          MessageIcon::Information, MessageAnswer::Ok);
    trigger(*window, "mnuFile_Clear");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(QFile::exists(path));
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), QByteArray());
    QCOMPARE(folder.readFile(lm::kCounterFile), QByteArray("0\r\n"));
    QCOMPARE(window->windowTitle(), kPlainTitle);
    QVERIFY(window->state().CurrentFileName.empty());
    QVERIFY(shownTexts(*window).isEmpty());
    QVERIFY(!window->state().PageChanged);
    QCOMPARE(window->state().PageNumber, 1);
}

void TestFileCommands::clearAsksFirstAndNeedsAFile_data() {
    QTest::addColumn<int>("printing");
    QTest::newRow("no file open") << int(lm::kBatchPrinting);
    QTest::newRow("answer No") << int(lm::kInteractivePrinting);
}

void TestFileCommands::clearAsksFirstAndNeedsAFile() {
    QFETCH(int, printing);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 4);
    auto window = startOn(folder, lm::kSl4, texts, dialogs, printing);
    QVERIFY(window);
    folder.writeFile(lm::kCounterFile, "12\r\n");
    const Shown before = Shown::of(*window);
    if (printing == lm::kBatchPrinting) {
        dialogs.expectMessage(QStringLiteral("No label file to be cleared!"), MessageButtons::Ok,
                              MessageIcon::Information, MessageAnswer::Ok);
    } else {
        dialogs.expectMessage(QStringLiteral("You will lose all the labels in the file, %1. Do "
                                             "you want to continue?")
                                  .arg(workingPath(folder)),
                              MessageButtons::YesNo, MessageIcon::Exclamation, MessageAnswer::No);
    }
    trigger(*window, "mnuFile_Clear");
    LM_VERIFY_DIALOGS(dialogs);
    QVERIFY(Shown::of(*window) == before);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
    QCOMPARE(folder.readFile(lm::kCounterFile), QByteArray("12\r\n"));
}

void TestFileCommands::exitOffersToClearAFullFile_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("printing");
    QTest::addColumn<QByteArray>("counter");  // "missing": no counter file
    QTest::addColumn<bool>("asks");
    const int I = lm::kInteractivePrinting;
    const int B = lm::kBatchPrinting;
    QTest::newRow("sp1 40") << int(lm::kSp1) << I << QByteArray("40\r\n") << true;
    QTest::newRow("sp1 39") << int(lm::kSp1) << I << QByteArray("39\r\n") << false;
    QTest::newRow("sp1 40 batch") << int(lm::kSp1) << B << QByteArray("40\r\n") << false;
    QTest::newRow("sp1 without line end") << int(lm::kSp1) << I << QByteArray(" 40 ") << true;
    QTest::newRow("Mailer-1 1") << int(lm::kMailer1) << I << QByteArray("1\r\n") << true;
    QTest::newRow("Mailer-1 0") << int(lm::kMailer1) << I << QByteArray("0\r\n") << false;
    QTest::newRow("sp1/sp2-f3 36") << int(lm::kSp1Sp2F3) << I << QByteArray("36\r\n") << true;
}

void TestFileCommands::exitOffersToClearAFullFile() {
    QFETCH(int, type);
    QFETCH(int, printing);
    QFETCH(QByteArray, counter);
    QFETCH(bool, asks);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(type, 3);
    auto window = startOn(folder, type, texts, dialogs, printing);
    QVERIFY(window);
    if (counter != "missing") folder.writeFile(lm::kCounterFile, counter);
    if (asks)
        dialogs.expectMessage(
            QStringLiteral("The label file is full. Do you want to clear the file?"),
            MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::No);
    trigger(*window, "mnuFile_Exit");
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(m_ended, 1);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

void TestFileCommands::exitClearsWhenAsked() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSp1, labelSetTexts(lm::kSp1, 41), dialogs);
    QVERIFY(window);
    folder.writeFile(lm::kCounterFile, "41\r\n");
    typeInto(window->spineControl(2), QStringLiteral("x"));
    dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                          MessageAnswer::No);
    dialogs.expectMessage(QStringLiteral("The label file is full. Do you want to clear the file?"),
                          MessageButtons::YesNo, MessageIcon::Question, MessageAnswer::Yes);
    dialogs.expectMessage(QStringLiteral("You will lose all the labels in the file, %1. Do you "
                                         "want to continue?")
                              .arg(workingPath(folder)),
                          MessageButtons::YesNo, MessageIcon::Exclamation, MessageAnswer::Yes);
    dialogs.expectMessage(QStringLiteral("Label file has been cleared!"), MessageButtons::Ok,
                          MessageIcon::Information, MessageAnswer::Ok);
    trigger(*window, "mnuFile_Exit");
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(m_ended, 1);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), QByteArray());
    QCOMPARE(folder.readFile(lm::kCounterFile), QByteArray("0\r\n"));
}

void TestFileCommands::closingTheWindow_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closes");
    QTest::newRow("unchanged") << int(Answer::Unchanged) << true;
    QTest::newRow("No") << int(Answer::No) << true;
    QTest::newRow("Cancel") << int(Answer::Cancel) << false;
    QTest::newRow("Yes, Save dialog cancelled") << int(Answer::YesCancelled) << false;
    QTest::newRow("Yes, save failed") << int(Answer::YesFailed) << false;
    QTest::newRow("Yes, saved") << int(Answer::YesSaved) << true;
}

void TestFileCommands::closingTheWindow() {
    QFETCH(int, answer);
    QFETCH(bool, closes);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 60);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    window->button(QStringLiteral("Command1"))->click();
    if (Answer(answer) != Answer::Unchanged) typeInto(window->spineControl(2), QStringLiteral("&"));
    const Shown before = Shown::of(*window);
    const QString savedPath = folder.path() + QStringLiteral("/closing.dat");
    const QString workingFile = workingPath(folder);
    if (Answer(answer) != Answer::Unchanged) {
        const MessageAnswer replies[] = {MessageAnswer::Ok,     MessageAnswer::No,
                                         MessageAnswer::Cancel, MessageAnswer::Yes,
                                         MessageAnswer::Yes,    MessageAnswer::Yes};
        dialogs.expectMessage(kQuestion, MessageButtons::YesNoCancel, MessageIcon::Question,
                              replies[answer]);
    }
    if (Answer(answer) == Answer::YesCancelled)
        dialogs.expectSaveFile(kSaveTitle, kSaveFilter, std::nullopt);
    if (Answer(answer) == Answer::YesFailed) {
        // The working file itself, made read-only: closing has no reserved-name test.
        makeReadOnly(workingFile);
        dialogs.expectSaveFile(kSaveTitle, kSaveFilter, workingFile);
        dialogs.expectMessage(saveFailure(workingFile, EACCES), MessageButtons::Ok,
                              MessageIcon::Critical, MessageAnswer::Ok);
    }
    if (Answer(answer) == Answer::YesSaved)
        dialogs.expectSaveFile(kSaveTitle, kSaveFilter, savedPath);

    QCOMPARE(window->close(), closes);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->isVisible(), !closes);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
    if (!closes) QVERIFY(Shown::of(*window) == before);
    if (Answer(answer) == Answer::YesSaved) {
        QList<QByteArray> saved = texts;
        saved[40] += "&";
        QCOMPARE(folder.readFile("closing.dat"), labelFileBytes(saved));
        QCOMPARE(window->windowTitle(), titleOf(savedPath, 2, false));
    }
    QCOMPARE(m_ended, 0);
}

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"

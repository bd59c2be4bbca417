#include <QAbstractButton>
#include <QAction>
#include <QGuiApplication>
#include <QTest>

#include "app/forms1.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagestate.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"

using lm::Forms1;
using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

const QString kUnused = QStringLiteral("Unused label(s) are found on this page!");
const QString kNoPrevious = QStringLiteral("No previous page is available!");
const QString kTooFast = QStringLiteral("You have moved too fast!");

// How a page move is chosen: a button or a Page menu item.
enum class Way { Button, Menu };

void next(Forms1& window, Way way = Way::Button) {
    if (way == Way::Button) {
        window.button(QStringLiteral("Command1"))->click();
    } else {
        window.menuItem(QStringLiteral("mnuPage_NextPage"))->trigger();
    }
}

void previous(Forms1& window, Way way = Way::Button) {
    if (way == Way::Button) {
        window.button(QStringLiteral("Command2"))->click();
    } else {
        window.menuItem(QStringLiteral("mnuPage_PreviousPage"))->trigger();
    }
}

QString workingPath(const TempWorkFolder& folder) {
    return QString::fromStdString(folder.filePath(lm::kWorkingLabelFile));
}

// Start-up with Interactive printing on a working file of `texts`.
std::unique_ptr<Forms1> startOn(const TempWorkFolder& folder, int type,
                                const QList<QByteArray>& texts, lm::Dialogs& dialogs) {
    folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(texts));
    return startWith(folder, settingsForType(type, lm::kInteractivePrinting), dialogs);
}

}  // namespace

class TestPageNavigation : public QObject {
    Q_OBJECT
  private slots:
    void pagesForwardAndBack_data();
    void pagesForwardAndBack();
    void nextPageNeedsEverySpineLabelFilled_data();
    void nextPageNeedsEverySpineLabelFilled();
    void pageAfterTheLastPageIsEmptyAndTakesNewLabels();
    void nextPageSavesAChangedPageFirst();
    void previousPageSavesAChangedPageFirst();
    void changedPageWithoutAFileIsSavedUnderAName_data();
    void changedPageWithoutAFileIsSavedUnderAName();
    void pageThatCannotBeSavedIsNotLeft();
    void noPreviousPage_data();
    void noPreviousPage();
    void lastNumberablePageCannotBeLeftForwards();
    void pageCountBelowOneShowsTheFirstPageAgain();
    void failedLayoutShowsTheFirstPageAndEndsTheMove();
    void labelTypeChosenInSetupWaitsForTheRestart();
    void pageMovesLeaveNoBusyPointer();
};

void TestPageNavigation::pagesForwardAndBack_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("sets");
    QTest::addColumn<int>("way");
    QTest::newRow("sp1 85 labels, buttons") << int(lm::kSp1) << 85 << int(Way::Button);
    QTest::newRow("sl4 31 sets") << int(lm::kSl4) << 31 << int(Way::Menu);
    QTest::newRow("Mailer-1 4 sets") << int(lm::kMailer1) << 4 << int(Way::Button);
}

// Forwards through every page to the last, then back to page 1: each page
// shows its own texts, its number and the two-space title.
void TestPageNavigation::pagesForwardAndBack() {
    QFETCH(int, type);
    QFETCH(int, sets);
    QFETCH(int, way);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(type, sets);
    auto window = startOn(folder, type, texts, dialogs);
    QVERIFY(window);
    const int setsPerPage = lm::labelTypeInfo(type)->setsPerPage;
    const int pages = (sets + setsPerPage - 1) / setsPerPage;
    const QString path = workingPath(folder);
    QCOMPARE(window->windowTitle(), titleOf(path, 1, false));
    QCOMPARE(shownTexts(*window), pageTexts(type, texts, 1));

    for (int page = 2; page <= pages; ++page) {
        next(*window, Way(way));
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(window->state().PageNumber, page);
        QCOMPARE(window->windowTitle(), titleOf(path, page, true));
        QCOMPARE(shownTexts(*window), pageTexts(type, texts, page));
        QVERIFY(!window->state().PageChanged);
    }
    for (int page = pages - 1; page >= 1; --page) {
        previous(*window, Way(way));
        LM_VERIFY_DIALOGS(dialogs);
        QCOMPARE(window->state().PageNumber, page);
        QCOMPARE(window->windowTitle(), titleOf(path, page, true));
        QCOMPARE(shownTexts(*window), pageTexts(type, texts, page));
    }
    QCOMPARE(window->state().PageStartPosition, 1);
    // Nothing was changed, so nothing was written.
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

void TestPageNavigation::nextPageNeedsEverySpineLabelFilled_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("sets");
    QTest::addColumn<int>("emptySpine");
    // A short last page: its first empty spine label stops the move.
    QTest::newRow("sp1 short last page") << int(lm::kSp1) << 45 << 0;
    QTest::newRow("sl4 one set on page 2") << int(lm::kSl4) << 11 << 0;
    // A full page whose last spine label was emptied, pocket labels all filled.
    QTest::newRow("sl4 last spine emptied") << int(lm::kSl4) << 20 << 11;
    QTest::newRow("slb first spine emptied") << int(lm::kSlb) << 20 << 2;
    QTest::newRow("empty file") << int(lm::kSl6) << 0 << 0;
}

void TestPageNavigation::nextPageNeedsEverySpineLabelFilled() {
    QFETCH(int, type);
    QFETCH(int, sets);
    QFETCH(int, emptySpine);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, type, labelSetTexts(type, sets), dialogs);
    QVERIFY(window);
    const int setsPerPage = lm::labelTypeInfo(type)->setsPerPage;
    if (sets > setsPerPage) {
        next(*window);
        LM_VERIFY_DIALOGS(dialogs);
    }
    if (emptySpine) window->page().setSpineText(emptySpine, "");
    const int page = window->state().PageNumber;
    const QString title = window->windowTitle();
    const QList<QByteArray> shown = shownTexts(*window);

    dialogs.expectMessage(kUnused, MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok);
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, page);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(shownTexts(*window), shown);
}

void TestPageNavigation::pageAfterTheLastPageIsEmptyAndTakesNewLabels() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl6, 12);  // two full pages
    auto window = startOn(folder, lm::kSl6, texts, dialogs);
    QVERIFY(window);
    next(*window);
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    const lm::AppState& state = window->state();
    QCOMPARE(state.PageNumber, 3);
    QCOMPARE(window->windowTitle(), titleOf(workingPath(folder), 3, true));
    QVERIFY(shownTexts(*window).isEmpty());
    QCOMPARE(state.PageStartPosition, state.LabelFileLength + 1);
    QCOMPARE(state.PageEndPosition, state.LabelFileLength);

    // New labels typed there are added to the end of the file by the next move.
    typeInto(window->spineControl(2), QStringLiteral("NEW"));
    typeInto(window->pocketControl(3), QStringLiteral("Q"));
    QVERIFY(state.PageChanged);
    dialogs.expectMessage(kUnused, MessageButtons::Ok, MessageIcon::Information, MessageAnswer::Ok);
    next(*window);  // five spine labels are still empty
    LM_VERIFY_DIALOGS(dialogs);
    previous(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(state.PageNumber, 2);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile),
             labelFileBytes(texts) + QByteArray("NEW~~~~Q~~"));
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSl6, texts, 2));
}

void TestPageNavigation::nextPageSavesAChangedPageFirst() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 85);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    next(*window);
    typeInto(window->spineControl(3), QStringLiteral("xy"));  // S42 becomes S42xy
    QVERIFY(window->state().PageChanged);
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);

    QList<QByteArray> saved = texts;
    saved[41] = "S42xy";
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(saved));
    // The third page starts right after the last byte of the saved page.
    QCOMPARE(window->state().PageNumber, 3);
    QCOMPARE(window->state().PageStartPosition, labelFileBytes(saved.mid(0, 80)).size() + 1);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSp1, texts, 3));
    QVERIFY(!window->state().PageChanged);
}

void TestPageNavigation::previousPageSavesAChangedPageFirst() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSlb, 25);
    auto window = startOn(folder, lm::kSlb, texts, dialogs);
    QVERIFY(window);
    next(*window);
    next(*window);
    // Page 3 holds five sets; the third one's spine text is emptied, which
    // drops the set from the file.
    window->spineControl(4)->selectAll();
    window->spineControl(4)->replaceSelection(QString());
    typeInto(window->pocketControl(2), QStringLiteral("!"));
    previous(*window);
    LM_VERIFY_DIALOGS(dialogs);

    QList<QByteArray> saved = texts;
    saved[41] += "!";
    saved.remove(44, 2);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(saved));
    QCOMPARE(window->state().PageNumber, 2);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSlb, texts, 2));
    QVERIFY(!window->state().PageChanged);
}

void TestPageNavigation::changedPageWithoutAFileIsSavedUnderAName_data() {
    QTest::addColumn<bool>("named");
    QTest::newRow("Save dialog cancelled") << false;
    QTest::newRow("name given") << true;
}

// Batch printing starts with no file: the save before the move asks for a name.
void TestPageNavigation::changedPageWithoutAFileIsSavedUnderAName() {
    QFETCH(bool, named);
    StartedWindow s(settingsForType(lm::kMailer1, lm::kBatchPrinting));
    QVERIFY(s.window);
    typeInto(s.window->spineControl(2), QStringLiteral("Ann Reader"));
    const QString path = s.folder.path() + QStringLiteral("/mailers.dat");
    s.dialogs.expectSaveFile(QStringLiteral("Save Label File"),
                             QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*"),
                             named ? std::optional<QString>(path) : std::nullopt);
    next(*s.window, Way::Menu);
    LM_VERIFY_DIALOGS(s.dialogs);
    if (!named) {
        QCOMPARE(s.window->state().PageNumber, 1);
        QVERIFY(s.window->state().PageChanged);
        QCOMPARE(s.window->page().spineText(2), std::string("Ann Reader"));
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
        return;
    }
    QCOMPARE(s.folder.readFile("mailers.dat"), QByteArray("Ann Reader~~~~~~"));
    QCOMPARE(s.window->state().PageNumber, 2);
    QCOMPARE(s.window->windowTitle(), titleOf(path, 2, true));
    QVERIFY(shownTexts(*s.window).isEmpty());
    QVERIFY(!s.window->state().PageChanged);
}

void TestPageNavigation::pageThatCannotBeSavedIsNotLeft() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 25);
    auto window = startOn(folder, lm::kSl4, texts, dialogs);
    QVERIFY(window);
    next(*window);
    typeInto(window->pocketControl(4), QStringLiteral("\u0101"));  // not in Windows-1252
    const QString path = workingPath(folder);
    const QString refusal =
        QStringLiteral(
            "The labels could not be saved in %1.\r\n\r\n"
            "The first pocket label of label set 2 on this page holds a character "
            "that a label file cannot store (it stores Windows-1252 characters only). "
            "The page was not saved.")
            .arg(path);
    dialogs.expectMessage(refusal, MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, 2);
    QVERIFY(window->state().PageChanged);
    QCOMPARE(window->pocketControl(4)->toPlainText(), QStringLiteral("P12a\u0101"));
    QCOMPARE(window->windowTitle(), titleOf(path, 2, true));
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));

    // The same refusal going back.
    dialogs.expectMessage(refusal, MessageButtons::Ok, MessageIcon::Critical, MessageAnswer::Ok);
    previous(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, 2);
    QVERIFY(window->state().PageChanged);
}

void TestPageNavigation::noPreviousPage_data() {
    QTest::addColumn<int>("printing");
    QTest::newRow("first page of a file") << int(lm::kInteractivePrinting);
    QTest::newRow("no file open") << int(lm::kBatchPrinting);
}

void TestPageNavigation::noPreviousPage() {
    QFETCH(int, printing);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    folder.writeFile(lm::kWorkingLabelFile, labelFileBytes(labelSetTexts(lm::kSp1, 50)));
    auto window = startWith(folder, settingsForType(lm::kSp1, printing), dialogs);
    QVERIFY(window);
    typeInto(window->spineControl(2), QStringLiteral("x"));
    const QString title = window->windowTitle();
    const QList<QByteArray> shown = shownTexts(*window);
    for (Way way : {Way::Button, Way::Menu}) {
        dialogs.expectMessage(kNoPrevious, MessageButtons::Ok, MessageIcon::Information,
                              MessageAnswer::Ok);
        previous(*window, way);
        LM_VERIFY_DIALOGS(dialogs);
    }
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(shownTexts(*window), shown);
    QVERIFY(window->state().PageChanged);  // nothing was saved
}

void TestPageNavigation::lastNumberablePageCannotBeLeftForwards() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kMailer1, labelSetTexts(lm::kMailer1, 3), dialogs);
    QVERIFY(window);
    window->state().PageNumber = lm::kLastPageNumber - 1;
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, lm::kLastPageNumber);
    dialogs.expectMessage(QString::fromUtf8(lm::kPageLimitMessage), MessageButtons::Ok,
                          MessageIcon::Information, MessageAnswer::Ok);
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, lm::kLastPageNumber);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kMailer1, labelSetTexts(lm::kMailer1, 3), 2));
}

void TestPageNavigation::pageCountBelowOneShowsTheFirstPageAgain() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 35);
    auto window = startOn(folder, lm::kSl4, texts, dialogs);
    QVERIFY(window);
    next(*window);
    next(*window);
    window->state().PageNumber = 1;  // the count has gone astray
    dialogs.expectMessage(kTooFast, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    previous(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, 1);
    QCOMPARE(window->state().PageStartPosition, 1);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSl4, texts, 1));
    QCOMPARE(window->windowTitle(), titleOf(workingPath(folder), 1, true));
    // From there the pages follow on as usual.
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSl4, texts, 2));
}

// The label type was changed since start-up, so the layout a move needs
// fails: page 1 is shown again once, and the move does not go on.
// Choosing another label type in the Setup menu changes the settings only:
// until the restart the page keeps being read, saved and laid out with the
// type its labels were built for, so no text falls outside the page.
void TestPageNavigation::labelTypeChosenInSetupWaitsForTheRestart() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSl4, 25);
    auto window = startOn(folder, lm::kSl4, texts, dialogs);
    QVERIFY(window);
    window->state().settings.LabelType = lm::kSp1;  // 40 spine labels a page; sl4 has 10
    next(*window);
    QCOMPARE(window->state().PageNumber, 2);
    QCOMPARE(shownTexts(*window), pageTexts(lm::kSl4, texts, 2));
    typeInto(window->spineControl(2), QStringLiteral("x"));
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QList<QByteArray> expected = texts;
    expected[30] += "x";  // the spine text of the page's first set
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(expected));
}

void TestPageNavigation::failedLayoutShowsTheFirstPageAndEndsTheMove() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    const QList<QByteArray> texts = labelSetTexts(lm::kSp1, 100);
    auto window = startOn(folder, lm::kSp1, texts, dialogs);
    QVERIFY(window);
    next(*window);
    window->state().PageLabelType = lm::kSpa;  // 50 labels: the page has 40
    dialogs.expectMessage(kTooFast, MessageButtons::Ok, MessageIcon::None, MessageAnswer::Ok);
    next(*window);
    LM_VERIFY_DIALOGS(dialogs);
    QCOMPARE(window->state().PageNumber, 1);
    QCOMPARE(window->state().PageStartPosition, 1);
    QCOMPARE(window->windowTitle(), titleOf(workingPath(folder), 1, true));
    QVERIFY(!window->state().PageChanged);
    QCOMPARE(folder.readFile(lm::kWorkingLabelFile), labelFileBytes(texts));
}

void TestPageNavigation::pageMovesLeaveNoBusyPointer() {
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    auto window = startOn(folder, lm::kSp1, labelSetTexts(lm::kSp1, 40), dialogs);
    QVERIFY(window);
    typeInto(window->spineControl(41), QStringLiteral("z"));
    next(*window);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    previous(*window);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    LM_VERIFY_DIALOGS(dialogs);
}

QTEST_MAIN(TestPageNavigation)
#include "tst_pagenavigation.moc"

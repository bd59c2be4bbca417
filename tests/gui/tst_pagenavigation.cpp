#include <QAbstractButton>
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
#include "testkit.h"

using lm::Forms1;
using lm::MessageIcon;

namespace {

const QString kUnused = QStringLiteral("Unused label(s) are found on this page!");
const QString kTooFast = QStringLiteral("You have moved too fast!");

// A page move by the NP or PP button, or by its Page menu item.
void next(Forms1& window, bool menu = false) {
    if (menu)
        trigger(window, QStringLiteral("mnuPage_NextPage"));
    else
        window.button(QStringLiteral("Command1"))->click();
}

void previous(Forms1& window, bool menu = false) {
    if (menu)
        trigger(window, QStringLiteral("mnuPage_PreviousPage"));
    else
        window.button(QStringLiteral("Command2"))->click();
}

// A window on a working file of labelSetTexts(type, sets), Interactive printing.
struct Session : StartedWindow {
    Session(int type, int sets)
        : StartedWindow(settingsForType(type, lm::kInteractivePrinting),
                        labelFileBytes(labelSetTexts(type, sets))),
          type(type),
          texts(labelSetTexts(type, sets)) {}
    QString path() const { return QString::fromStdString(folder.filePath(lm::kWorkingLabelFile)); }
    QByteArray file() const { return folder.readFile(lm::kWorkingLabelFile); }
    // Page `page` of the file is on display under its title, unchanged.
    void verifyShows(int page, bool twoSpaces = true) {
        QCOMPARE(window->state().PageNumber, page);
        QCOMPARE(window->windowTitle(), titleOf(path(), page, twoSpaces));
        QCOMPARE(shownTexts(*window), pageTexts(type, texts, page));
        QVERIFY(!window->state().PageChanged);
    }
    int type;
    QList<QByteArray> texts;
};

struct TraversalRow {
    const char* name;
    int type, sets;
    bool menu;  // the Page menu items, not the buttons
};

struct EmptySpineRow {
    const char* name;
    int type, sets;
    int emptySpine;  // the spine label emptied on the page shown, 0 for none
};

struct PrintingRow {
    const char* name;
    int printing;
};

struct StrayPageRow {
    const char* name;
    bool countAstray;  // else the layout fails
};

}  // namespace

LM_TEST_ROW(TraversalRow)
LM_TEST_ROW(EmptySpineRow)
LM_TEST_ROW(PrintingRow)
LM_TEST_ROW(StrayPageRow)

class TestPageNavigation : public QObject {
    Q_OBJECT
  private slots:
    void pagesForwardAndBack_data() {
        lmtest::addRows<TraversalRow>({
            {"sp1 85 labels, buttons", lm::kSp1, 85, false},
            {"sl4 31 sets, menu", lm::kSl4, 31, true},
        });
    }
    // Forwards through every page to the last, then back to page 1: each page
    // shows its own texts, its number and the two-space title; nothing being
    // changed, nothing is written.
    void pagesForwardAndBack() {
        QFETCH(TraversalRow, row);
        Session s(row.type, row.sets);
        QVERIFY(s.window);
        const int setsPerPage = lm::labelTypeInfo(row.type)->setsPerPage;
        const int pages = (row.sets + setsPerPage - 1) / setsPerPage;
        s.verifyShows(1, false);
        for (int page = 2; page <= pages; ++page) {
            next(*s.window, row.menu);
            s.verifyShows(page);
        }
        for (int page = pages - 1; page >= 1; --page) {
            previous(*s.window, row.menu);
            s.verifyShows(page);
        }
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.window->state().PageStartPosition, 1);
        QCOMPARE(s.file(), labelFileBytes(s.texts));
    }
    void nextPageNeedsEverySpineLabelFilled_data() {
        lmtest::addRows<EmptySpineRow>({
            // A short last page: its first empty spine label stops the move.
            {"sp1 short last page", lm::kSp1, 45, 0},
            // A full page whose spine label was emptied, pocket labels all filled.
            {"sl4 last spine emptied", lm::kSl4, 20, 11},
        });
    }
    void nextPageNeedsEverySpineLabelFilled() {
        QFETCH(EmptySpineRow, row);
        Session s(row.type, row.sets);
        QVERIFY(s.window);
        if (row.sets > lm::labelTypeInfo(row.type)->setsPerPage) next(*s.window);
        if (row.emptySpine) s.window->page().setSpineText(row.emptySpine, "");
        const int page = s.window->state().PageNumber;
        const QString title = s.window->windowTitle();
        const QList<QByteArray> shown = shownTexts(*s.window);
        s.dialogs.expectOk(kUnused, MessageIcon::Information);
        next(*s.window);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.window->state().PageNumber, page);
        QCOMPARE(s.window->windowTitle(), title);
        QCOMPARE(shownTexts(*s.window), shown);
    }
    // Where the saved page's bytes go is the page store's business; here the
    // move saves first, shows what follows and leaves no busy pointer behind.
    void changedPageIsSavedBeforeTheMove() {
        Session s(lm::kSlb, 25);
        QVERIFY(s.window);
        next(*s.window);
        typeInto(s.window->spineControl(3), QStringLiteral("xy"));  // S12 becomes S12xy
        QVERIFY(s.window->state().PageChanged);
        next(*s.window);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QList<QByteArray> saved = s.texts;
        saved[22] += "xy";
        QCOMPARE(s.file(), labelFileBytes(saved));
        s.texts = saved;
        s.verifyShows(3);

        typeInto(s.window->pocketControl(2), QStringLiteral("!"));
        previous(*s.window);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        s.texts[41] += "!";
        s.verifyShows(2);
        QCOMPARE(s.file(), labelFileBytes(s.texts));
    }
    // Batch printing starts with no file: the save before the move asks for a
    // name; without one the page stays as typed.
    void changedPageWithoutAFileIsSavedUnderAName() {
        StartedWindow s(settingsForType(lm::kMailer1, lm::kBatchPrinting));
        QVERIFY(s.window);
        typeInto(s.window->spineControl(2), QStringLiteral("Ann Reader"));
        const QString path = s.folder.path() + QStringLiteral("/mailers.dat");
        for (bool named : {false, true}) {
            s.dialogs.expectSaveFile(
                QStringLiteral("Save Label File"),
                QStringLiteral("Label Files (*.dat)|*.dat|All Files (*.*)|*.*"),
                named ? std::optional<QString>(path) : std::nullopt);
            next(*s.window, true);
            LM_VERIFY_DIALOGS(s.dialogs);
            QCOMPARE(s.window->state().PageNumber, named ? 2 : 1);
            QCOMPARE(s.window->state().PageChanged, !named);
            QCOMPARE(s.window->windowTitle(),
                     named ? titleOf(path, 2, true) : QStringLiteral("Kelvarine Label Maker"));
            QCOMPARE(shownTexts(*s.window),
                     named ? QList<QByteArray>() : QList<QByteArray>{"Ann Reader"});
        }
        QCOMPARE(s.folder.readFile("mailers.dat"), QByteArray("Ann Reader~~~~~~"));
    }
    // The refusal comes in either direction; the page stays as typed.
    void pageThatCannotBeSavedIsNotLeft() {
        Session s(lm::kSl4, 25);
        QVERIFY(s.window);
        next(*s.window);
        typeInto(s.window->pocketControl(4), QStringLiteral("\u0101"));  // not in Windows-1252
        const QString refusal =
            QStringLiteral(
                "The labels could not be saved in %1.\r\n\r\n"
                "The first pocket label of label set 2 on this page holds a character "
                "that a label file cannot store (it stores Windows-1252 characters only). "
                "The page was not saved.")
                .arg(s.path());
        for (bool forwards : {true, false}) {
            s.dialogs.expectOk(refusal, MessageIcon::Critical);
            forwards ? next(*s.window) : previous(*s.window);
            LM_VERIFY_DIALOGS(s.dialogs);
            QCOMPARE(s.window->state().PageNumber, 2);
            QVERIFY(s.window->state().PageChanged);
            QCOMPARE(s.window->pocketControl(4)->toPlainText(), QStringLiteral("P12a\u0101"));
            QCOMPARE(s.window->windowTitle(), titleOf(s.path(), 2, true));
            QCOMPARE(s.file(), labelFileBytes(s.texts));
        }
    }
    void noPreviousPage_data() {
        lmtest::addRows<PrintingRow>({
            {"first page of a file", lm::kInteractivePrinting},
            {"no file open", lm::kBatchPrinting},
        });
    }
    // Refused by button and menu alike, before any save.
    void noPreviousPage() {
        QFETCH(PrintingRow, row);
        StartedWindow s(settingsForType(lm::kSp1, row.printing),
                        labelFileBytes(labelSetTexts(lm::kSp1, 50)));
        QVERIFY(s.window);
        typeInto(s.window->spineControl(2), QStringLiteral("x"));
        const QString title = s.window->windowTitle();
        const QList<QByteArray> shown = shownTexts(*s.window);
        for (bool menu : {false, true}) {
            s.dialogs.expectOk(QStringLiteral("No previous page is available!"),
                               MessageIcon::Information);
            previous(*s.window, menu);
            LM_VERIFY_DIALOGS(s.dialogs);
        }
        QCOMPARE(s.window->windowTitle(), title);
        QCOMPARE(shownTexts(*s.window), shown);
        QVERIFY(s.window->state().PageChanged);
    }
    void lastNumberablePageCannotBeLeftForwards() {
        Session s(lm::kMailer1, 3);
        QVERIFY(s.window);
        s.window->state().PageNumber = lm::kLastPageNumber - 1;
        next(*s.window);
        QCOMPARE(s.window->state().PageNumber, lm::kLastPageNumber);
        s.dialogs.expectOk(QString::fromUtf8(lm::kPageLimitMessage), MessageIcon::Information);
        next(*s.window);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.window->state().PageNumber, lm::kLastPageNumber);
        QCOMPARE(shownTexts(*s.window), pageTexts(lm::kMailer1, s.texts, 2));
    }
    void strayPageShowsTheFirstPageAgain_data() {
        lmtest::addRows<StrayPageRow>({
            {"page count below one", true},
            {"layout for another type", false},
        });
    }
    // A page count gone below one, or a layout that fails because the label type
    // changed since start-up: page 1 is shown again, once, and the move does not
    // go on; from there the pages follow on as usual.
    void strayPageShowsTheFirstPageAgain() {
        QFETCH(StrayPageRow, row);
        Session s(lm::kSp1, 100);
        QVERIFY(s.window);
        next(*s.window);
        if (row.countAstray) next(*s.window);
        s.dialogs.expectOk(kTooFast);
        if (row.countAstray) {
            s.window->state().PageNumber = 1;
            previous(*s.window);
        } else {
            s.window->state().PageLabelType = lm::kSpa;  // 50 labels: the page has 40
            next(*s.window);
        }
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.window->state().PageStartPosition, 1);
        s.verifyShows(1);
        QCOMPARE(s.file(), labelFileBytes(s.texts));
        if (!row.countAstray) return;
        next(*s.window);
        LM_VERIFY_DIALOGS(s.dialogs);
        s.verifyShows(2);
    }
    // Choosing another label type in the Setup menu changes the settings only:
    // until the restart the page keeps being read, saved and laid out with the
    // type its labels were built for, so no text falls outside the page.
    void labelTypeChosenInSetupWaitsForTheRestart() {
        Session s(lm::kSl4, 25);
        QVERIFY(s.window);
        s.window->state().settings.LabelType = lm::kSp1;  // 40 spine labels a page; sl4 has 10
        next(*s.window);
        s.verifyShows(2);
        typeInto(s.window->spineControl(2), QStringLiteral("x"));
        next(*s.window);
        LM_VERIFY_DIALOGS(s.dialogs);
        s.texts[30] += "x";  // the spine text of the page's first set
        QCOMPARE(s.file(), labelFileBytes(s.texts));
    }
};

QTEST_MAIN(TestPageNavigation)
#include "tst_pagenavigation.moc"

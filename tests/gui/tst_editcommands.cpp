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

// A window on a working file of `texts` (Interactive printing), moved on to `page`.
struct Session : StartedWindow {
    Session(int type, const QList<QByteArray>& texts, int page = 1)
        : StartedWindow(settingsForType(type, lm::kInteractivePrinting), labelFileBytes(texts)) {
        while (window && window->state().PageNumber < page) window->button(q("Command1"))->click();
    }
    QByteArray file() const { return folder.readFile(lm::kWorkingLabelFile); }
};

// Clicks the label SelectedLabel `label` names (pocket n as n + 40 where the type has pockets).
LabelControl* click(Forms1& window, int label) {
    const bool pocket = label >= 40 && window.state().LastPocketIndex > 1;
    LabelControl* control = pocket ? window.pocketControl(label - 40) : window.spineControl(label);
    QTest::mouseClick(control->viewport(), Qt::LeftButton, {}, QPoint(3, 3));
    return control;
}

// A page's texts as shownTexts() gives them: without the empty ones at its end.
QList<QByteArray> shownPart(int type, const QList<QByteArray>& texts, int page) {
    QList<QByteArray> part = pageTexts(type, texts, page);
    while (!part.isEmpty() && part.last().isEmpty()) part.removeLast();
    return part;
}

// The labels of the page whose whole text is selected, as SelectedLabel numbers;
// a partial selection or a caret elsewhere as the negative number.
QList<int> highlighted(Forms1& window) {
    QList<int> labels;
    for (int n = 2; n < 100; ++n) {
        LabelControl* label = n < 40 ? window.spineControl(n) : window.pocketControl(n - 40);
        if (!label) continue;
        if (label->selectionLength() > 0 && label->selectionLength() == label->toPlainText().size())
            labels << n;
        else if (label->selectionLength() != 0 || label->selectionStart() != 0)
            labels << -n;
    }
    return labels;
}

MultiLabel* dialogOf(Forms1& window) {
    const QList<MultiLabel*> open = window.findChildren<MultiLabel*>();
    return open.size() == 1 ? open.first() : nullptr;
}

QLineEdit* field(MultiLabel* dialog, int i) {
    return dialog->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i + 1));
}

QStringList entriesOf(MultiLabel* dialog) {
    QStringList entries;
    for (int i = 0; i < 5; ++i) entries << field(dialog, i)->text();
    return entries;
}

// Opens Multiple Copies on `label` with the ML button and fills in `entries`.
MultiLabel* openSeries(Forms1& window, int label, const QStringList& entries) {
    click(window, label);
    window.button(q("Command3"))->click();
    MultiLabel* dialog = dialogOf(window);
    if (dialog)
        for (int i = 0; i < 5; ++i) field(dialog, i)->setText(entries.value(i));
    return dialog;
}

void press(MultiLabel* dialog, const char* button) {
    dialog->findChild<QPushButton*>(q(button))->click();
}

// Nothing changed: texts and file as they were, nothing highlighted.
void verifyUntouched(Session& s, int type, const QList<QByteArray>& texts) {
    QCOMPARE(shownTexts(*s.window), shownPart(type, texts, 1));
    QCOMPARE(highlighted(*s.window), QList<int>());
    QVERIFY(!s.window->state().PageChanged);
    QCOMPARE(s.file(), labelFileBytes(texts));
}

}  // namespace

class TestEditCommands : public QObject {
    Q_OBJECT
  private slots:
    void insertBlankAndDelete_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sets");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("label");              // SelectedLabel of the label clicked
        QTest::addColumn<QString>("entry");          // Insert Blank's count; Delete: "Yes" or "No"
        QTest::addColumn<QByteArrayList>("change");  // blanks go before the first; Delete: removed
        QTest::newRow("blank slb pocket 7")
            << int(lm::kSlb) << 25 << 1 << 47 << q("2") << QByteArrayList{"S6"};
        QTest::newRow("delete last, alone on its page")
            << int(lm::kSp1) << 41 << 2 << 2 << q("Yes") << QByteArrayList{"S41"};
        QTest::newRow("delete No") << int(lm::kSl4) << 31 << 1 << 45 << q("No") << QByteArrayList{};
    }
    // Blank sets ("<Blank>" and the set's other texts empty) go before the
    // selected set; Yes to Delete leaves the set out of the file, No changes
    // nothing. The same page number is shown with what now falls on it.
    void insertBlankAndDelete() {
        QFETCH(int, type);
        QFETCH(int, sets);
        QFETCH(int, page);
        QFETCH(int, label);
        QFETCH(QString, entry);
        QFETCH(QByteArrayList, change);
        const QList<QByteArray> texts = labelSetTexts(type, sets);
        Session s(type, texts, page);
        QVERIFY(s.window);
        click(*s.window, label);
        QList<QByteArray> expected = texts;
        const bool deleting = entry == q("Yes") || entry == q("No");
        if (deleting) {
            s.dialogs.expectMessageWithDefault(
                q("You want to delete the highlighted label(s). Right?"), MessageButtons::YesNo,
                MessageIcon::Question, MessageAnswer::Yes,
                entry == q("Yes") ? MessageAnswer::Yes : MessageAnswer::No);
            trigger(*s.window, q("mnuEdit_Delete"));
            for (const QByteArray& text : change) expected.removeOne(text);
        } else {
            s.dialogs.expectInput(kPrompt, kTitle, QString(), entry);
            trigger(*s.window, q("mnuEdit_Blank"));
            const int perSet = lm::labelTypeInfo(type)->textsPerSet();
            const qsizetype before = texts.indexOf(change.first());
            for (int i = 0; i < entry.toInt() * perSet; ++i)
                expected.insert(before + i, i % perSet ? QByteArray() : QByteArray("<Blank>"));
        }
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.file(), labelFileBytes(expected));
        QCOMPARE(s.window->state().PageNumber, page);
        QCOMPARE(shownTexts(*s.window), shownPart(type, expected, page));
        QCOMPARE(s.window->windowTitle(),
                 titleOf(QString::fromStdString(s.folder.filePath(lm::kWorkingLabelFile)), page,
                         entry != q("No")));
        QCOMPARE(highlighted(*s.window), QList<int>());
        QVERIFY(!s.window->state().PageChanged);
        QCOMPARE(s.window->state().PendingEdit, std::string(lm::kNoPendingEdit));
    }
    void refusedCountsComeBackUntilCancelled_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("label");
        QTest::addColumn<QStringList>("refused");
        QTest::addColumn<bool>("cancel");  // the last answer: Cancel, else an empty entry
        QTest::newRow("Mailer-1, then Cancel")
            << int(lm::kMailer1) << 2 << QStringList{q("32768"), q("1a")} << true;
        QTest::newRow("sl6 empty at once, empty pocket")
            << int(lm::kSl6) << 3 << QStringList{} << false;
    }
    // A refused entry is the next default; the final Cancel or empty entry takes
    // the highlight off by retyping, which changes nothing.
    void refusedCountsComeBackUntilCancelled() {
        QFETCH(int, type);
        QFETCH(int, label);
        QFETCH(QStringList, refused);
        QFETCH(bool, cancel);
        QList<QByteArray> texts = labelSetTexts(type, 12);
        texts[4] = QByteArray();  // a pocket label of set 3 where there are pockets
        Session s(type, texts);
        QVERIFY(s.window);
        click(*s.window, label);
        QString previous;
        for (const QString& entry : refused) {
            s.dialogs.expectInput(kPrompt, kTitle, previous, entry);
            s.dialogs.expectOk(kIllegal, MessageIcon::Exclamation);
            previous = entry;
        }
        s.dialogs.expectInput(kPrompt, kTitle, previous,
                              cancel ? std::nullopt : std::optional(QString()));
        trigger(*s.window, q("mnuEdit_Blank"));
        LM_VERIFY_DIALOGS(s.dialogs);
        verifyUntouched(s, type, texts);
    }
    // Insert Blank with no label clicked; Multiple Copies on a Mailer-1 label.
    void refusedBeforeAnythingIsHighlighted() {
        Session s(lm::kMailer1, labelSetTexts(lm::kMailer1, 5));
        QVERIFY(s.window);
        s.dialogs.expectOk(q("No label is selected!"), MessageIcon::Information);
        trigger(*s.window, q("mnuEdit_Blank"));
        click(*s.window, 42);
        s.dialogs.expectOk(q("Multilpe Copies is diabled!"), MessageIcon::Information);
        trigger(*s.window, q("mnuEdit_Multicopies"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(highlighted(*s.window), QList<int>());
        QVERIFY(!dialogOf(*s.window));
    }
    // On the label SelectedLabel names (slb pocket 3, as 43): Copy leaves it as it
    // is, Cut removes the selection, Paste puts plain text only in its place, and
    // a clipboard without text just removes the selection.
    void clipboard() {
        Session s(lm::kSlb, labelSetTexts(lm::kSlb, 5));
        QVERIFY(s.window);
        QClipboard* clipboard = QGuiApplication::clipboard();
        LabelControl* label = click(*s.window, 43);
        const auto run = [&](int start, int length, const char* item) {
            label->setSelectionStart(start);
            label->setSelectionLength(length);
            trigger(*s.window, q(item));
        };
        run(0, 2, "mnuEdit_Copy");
        QCOMPARE(clipboard->text(), q("P2"));
        QVERIFY(!s.window->state().PageChanged);
        run(1, 1, "mnuEdit_Cut");
        QCOMPARE(clipboard->text(), q("2"));
        QCOMPARE(label->toPlainText(), q("Pa"));
        QVERIFY(s.window->state().PageChanged);

        auto* formatted = new QMimeData;
        formatted->setHtml(q("<b>Rich</b>"));
        formatted->setText(q("Bold"));
        clipboard->setMimeData(formatted);
        run(0, 1, "mnuEdit_Paste");
        QCOMPARE(label->toPlainText(), q("Bolda"));
        clipboard->setImage(QImage(4, 4, QImage::Format_RGB32));
        run(1, 3, "mnuEdit_Paste");
        QCOMPARE(label->toPlainText(), q("Ba"));
        QCOMPARE(s.window->spineControl(3)->toPlainText(), q("S2"));  // only that label
    }
    // One character map at a time: chosen again while it runs, no second one
    // starts; once it has ended, a new one does. A program that cannot start is reported.
    void characterMap() {
        Session s(lm::kSp1, labelSetTexts(lm::kSp1, 3));
        QVERIFY(s.window);
        lm::CharacterMap& map = s.window->findChild<lm::EditCommands*>()->characterMap();
        map.setProgram(q("lm-no-such-charmap"));
        s.dialogs.expectOk(q("The character map could not be started.\n\nlm-no-such-charmap is not "
                             "installed (it is not on the program path)."),
                           MessageIcon::Exclamation);
        trigger(*s.window, q("mnuEdit_Insert"));
        LM_VERIFY_DIALOGS(s.dialogs);

        map.setProgram(q("sleep"), {q("60")});
        trigger(*s.window, q("mnuEdit_Insert"));
        const qint64 first = map.runningProcessId();
        QVERIFY(first > 0);
        trigger(*s.window, q("mnuEdit_Insert"));
        QCOMPARE(map.runningProcessId(), first);
        ::kill(pid_t(first), SIGTERM);
        QTRY_COMPARE(map.runningProcessId(), qint64(0));
        trigger(*s.window, q("mnuEdit_Insert"));
        const qint64 second = map.runningProcessId();
        QVERIFY(second > 0 && second != first);
        ::kill(pid_t(second), SIGTERM);
    }
    // Modeless, a tool window of the main window, on the highlighted set; a
    // click elsewhere does not move the set, the command run again does and
    // brings back the same dialog with its entries.
    void multipleCopiesOpensOneDialog() {
        Session s(lm::kSl6, labelSetTexts(lm::kSl6, 6));
        QVERIFY(s.window);
        click(*s.window, 44);
        trigger(*s.window, q("mnuEdit_Multicopies"));
        QPointer<MultiLabel> dialog = dialogOf(*s.window);
        QVERIFY(dialog && dialog->isVisible() && !dialog->isModal());
        QCOMPARE(dialog->windowTitle(), q("Multiple Label Production Setup"));
        QCOMPARE(dialog->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(dialog->parentWidget(), s.window.get());
        QCOMPARE(entriesOf(dialog),
                 (QStringList{QString(), QString(), QString(), QString(), q("1")}));
        QCOMPARE(highlighted(*s.window), (QList<int>{3, 44, 45}));

        field(dialog, 0)->setText(q("Vol."));
        click(*s.window, 6);
        QCOMPARE(s.window->state().SelectedSetIndex, 3);
        dialog->hide();
        s.window->button(q("Command3"))->click();
        QCOMPARE(dialogOf(*s.window), dialog.data());
        QVERIFY(dialog->isVisible());
        QCOMPARE(entriesOf(dialog).first(), q("Vol."));
        QCOMPARE(s.window->state().SelectedSetIndex, 6);
        QCOMPARE(highlighted(*s.window), (QList<int>{6, 50, 51}));
    }
    // Every text of the set is numbered (a spine on new lines, a pocket at the
    // end of its first line), each number as many times as there are copies.
    void applyProducesTheSeries() {
        const QByteArray file(
            "S1~~P1a~~P1b~~QA\r\n1\r\nv.5~~Smith v.5\r\nBook~~Jo v.5~~"
            "QA\r\n1\r\nv.5~~Smith v.5\r\nBook~~Jo v.5~~");
        Session s(lm::kSl4, {"S1", "P1a", "P1b", "QA\r\n1", "Smith\r\nBook", "Jo"});
        QVERIFY(s.window);
        QPointer<MultiLabel> dialog =
            openSeries(*s.window, 44, {q("v."), q("5"), QString(), QString(), q("2")});
        QVERIFY(dialog);
        press(dialog, "MultiApply");
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.file(), file);
        QCOMPARE(labelFileBytes(shownTexts(*s.window)), file);
        QTRY_VERIFY(!dialog);
        QCOMPARE(s.window->state().PendingEdit, std::string(lm::kNoPendingEdit));
    }
    void applyRefusalsThenCancel_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("way");  // then Cancel (0), Escape (1) or the window closed (2)
        const QString none;
        QTest::newRow("list 3-1") << QStringList{q("Vol."), q("3-1"), none, none, q("1")}
                                  << kIllegal << 0;
        QTest::newRow("copies 32768")
            << QStringList{none, none, none, none, q("32768")} << kIllegal << 1;
        QTest::newRow("constant outside Windows-1252")
            << QStringList{q("Vol."), q("1"), q("Ω"), q("1"), q("1")}
            << q("Constant 2 holds a character that a label file cannot store (it stores "
                 "Windows-1252 characters only).")
            << 2;
    }
    // A refusal keeps the dialog open with its entries and changes nothing; then
    // Cancel (or Escape, or closing it) takes the highlight off by retyping.
    void applyRefusalsThenCancel() {
        QFETCH(QStringList, entries);
        QFETCH(QString, message);
        QFETCH(int, way);
        QList<QByteArray> texts = labelSetTexts(lm::kSl4, 4);
        texts[4] = QByteArray();  // set 3 (spine 3, pockets 4 and 5) has an empty pocket label
        Session s(lm::kSl4, texts);
        QVERIFY(s.window);
        QPointer<MultiLabel> dialog = openSeries(*s.window, 3, entries);
        QVERIFY(dialog);
        s.dialogs.expectOk(message, MessageIcon::Exclamation);
        press(dialog, "MultiApply");
        LM_VERIFY_DIALOGS(s.dialogs);
        QVERIFY(dialogOf(*s.window) == dialog && dialog->isVisible());
        QCOMPARE(entriesOf(dialog), entries);
        QVERIFY(s.window->state().MultiNumbers1.empty() && s.window->state().PendingEditCount == 0);

        if (way == 0) press(dialog, "MultiCancel");
        if (way == 1) QTest::keyClick(dialog, Qt::Key_Escape);
        if (way == 2) dialog->close();
        QTRY_VERIFY(!dialog);
        verifyUntouched(s, lm::kSl4, texts);
    }
    // With no file open, Save asks for a name; until one is given the dialog stays.
    void applyWithoutAFileAsksForAName() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        typeInto(s.window->spineControl(2), q("QA1"));
        QPointer<MultiLabel> dialog =
            openSeries(*s.window, 2, {q("c."), q("1,2"), QString(), QString(), q("1")});
        QVERIFY(dialog);
        for (const QString& answer : {QString(), s.folder.path() + q("/series.dat")}) {
            s.dialogs.expectSaveFile(lm::kSaveDialogTitle, lm::kSaveDialogFilter,
                                     answer.isEmpty() ? std::nullopt : std::optional(answer));
            press(dialog, "MultiApply");
            LM_VERIFY_DIALOGS(s.dialogs);
            if (answer.isEmpty()) {
                QVERIFY(dialog && dialog->isVisible());
                QCOMPARE(s.window->state().PendingEdit, std::string(lm::kNoPendingEdit));
            }
        }
        QTRY_VERIFY(!dialog);
        QCOMPARE(s.folder.readFile("series.dat"), QByteArray("QA1\r\nc.1~~QA1\r\nc.2~~"));
    }
};

QTEST_MAIN(TestEditCommands)
#include "tst_editcommands.moc"

// Bold, italic and underline set with the button bar belong to the text on
// display: another page read into the labels starts from the settings'
// fonts, the formatting prints as shown, and the label file holds plain text.
#include <QTest>
#include <QToolButton>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "paint/labelsheet.h"
#include "platform/buttonbar.h"
#include "platform/labelcontrol.h"
#include "print/printingpro.h"
#include "scripteddialogs.h"

using lm::Forms1;
using lm::LabelControl;

namespace {

const QString kOpenTitle = QStringLiteral("Open Label File");
const QString kOpenFilter =
    QStringLiteral("Label Files (*.dat; *.txt)|*.dat; *.txt|All Files (*.*)|*.*");

// A window on a working file of `sets` sp1 labels, on screen and active.
struct ShownWindow : StartedWindow {
    explicit ShownWindow(int sets)
        : StartedWindow(settingsForType(lm::kSp1, lm::kInteractivePrinting),
                        labelFileBytes(labelSetTexts(lm::kSp1, sets))) {
        if (!window) return;
        window->resize(1200, 900);
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) window.reset();
    }
};

QToolButton* barButton(Forms1& window, const char* name) {
    return window.findChild<lm::ButtonBar*>()->findChild<QToolButton*>(QString::fromLatin1(name));
}

// The operator clicks the label and makes it bold, italic and underlined.
void formatWithTheBar(Forms1& window, LabelControl* label) {
    QTest::mouseClick(label->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
    for (const char* style : {"bold", "italic", "underline"})
        QTest::mouseClick(barButton(window, style), Qt::LeftButton);
}

}  // namespace

class TestPageFormatting : public QObject {
    Q_OBJECT
  private slots:
    void anotherPageStartsFromTheSettingsFonts_data() {
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("shown");  // the formatted label's text afterwards
        QTest::newRow("next page") << "mnuPage_NextPage"
                                   << "S83";
        QTest::newRow("previous page") << "mnuPage_PreviousPage"
                                       << "S3";
        QTest::newRow("load") << "mnuFile_Load"
                              << "S3";
        QTest::newRow("new") << "mnuFile_NewFile"
                             << "";
    }
    void anotherPageStartsFromTheSettingsFonts() {
        QFETCH(QString, move);
        QFETCH(QString, shown);
        ShownWindow s(120);
        QVERIFY(s.window);
        Forms1& window = *s.window;
        trigger(window, QStringLiteral("mnuPage_NextPage"));
        LabelControl* label = window.spineControl(4);
        const lm::LabelFont settingsFont = label->labelFont();
        QVERIFY(!settingsFont.bold && !settingsFont.italic && !settingsFont.underline);
        formatWithTheBar(window, label);
        QVERIFY(label->labelFont().bold && label->labelFont().italic &&
                label->labelFont().underline);

        if (move == u"mnuFile_Load")
            s.dialogs.expectOpenFile(kOpenTitle, kOpenFilter,
                                     QString::fromStdString(window.state().CurrentFileName));
        trigger(window, move);
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(label->toPlainText(), shown);
        QCOMPARE(label->labelFont(), settingsFont);
        // The bar shows the label as it now is.
        QVERIFY(label->hasFocus());
        for (const char* style : {"bold", "italic", "underline"})
            QVERIFY2(!barButton(window, style)->isChecked(), style);
    }
    void formattingPrintsAsShownAndIsNotSaved() {
        ShownWindow s(3);
        QVERIFY(s.window);
        Forms1& window = *s.window;
        const QByteArray file = s.folder.readFile("$$label.dat");
        formatWithTheBar(window, window.spineControl(3));
        typeInto(window.spineControl(3), QStringLiteral("x"));
        trigger(window, QStringLiteral("mnuFile_Save"));
        LM_VERIFY_DIALOGS(s.dialogs);
        QCOMPARE(s.folder.readFile("$$label.dat"), QByteArray("S1~~S2x~~S3~~"));
        QCOMPARE(file, QByteArray("S1~~S2~~S3~~"));

        const lm::LabelSheet sheet = lm::controlSheet(window);
        const lm::SheetFont& formatted = sheet.spine(3)->font;
        QVERIFY(formatted.bold && formatted.italic && formatted.underline);
        const lm::SheetFont& plain = sheet.spine(2)->font;
        QVERIFY(!plain.bold && !plain.italic && !plain.underline);
        // Saving the page keeps it on display, formatting and all.
        QVERIFY(window.spineControl(3)->labelFont().bold);
    }
};

QTEST_MAIN(TestPageFormatting)
#include "tst_pageformatting.moc"

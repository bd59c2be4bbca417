#include <QLayout>
#include <QRegularExpression>
#include <QTest>

#include "app/form1.h"
#include "app/forms1.h"
#include "app/startup.h"
#include "core/labeltypes.h"
#include "core/settings.h"
#include "core/workfolder.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"

using lm::Forms1;
using lm::LabelControl;

namespace {

// The labels of the page, templates left out, of one kind.
QList<LabelControl*> pageLabels(const Forms1& window, LabelControl::Kind kind) {
    QList<LabelControl*> labels;
    for (LabelControl* label : window.findChildren<LabelControl*>())
        if (label->kind() == kind && label->element() >= 2) labels << label;
    return labels;
}

}  // namespace

class TestStartUp : public QObject {
    Q_OBJECT
  private slots:
    void labelsTakeTheSettingsFontsAlignmentAndMargins() {
        lm::Settings settings = settingsForType(lm::kSlb);
        settings.SpineFontName = "Liberation Sans";
        settings.SpineFontSize = 14;
        settings.SpineFontColor = 0x00FF0000;  // blue
        settings.SpineFontBold = lm::SettingsVariant::fromBool(true);
        settings.PocketFontName = "Liberation Mono";
        settings.PocketFontSize = 9;
        settings.PocketFontItalic = true;
        settings.PocketFontStrikethru = lm::SettingsVariant::fromBool(true);
        settings.LabelAlignment = lm::kAlignCentered;
        settings.SpineLeftMargin = 72;
        settings.PocketLeftMargin = 500;
        StartedWindow s(settings);
        QVERIFY(s.window);
        auto look = [](const LabelControl* label) {
            const lm::LabelFont f = label->labelFont();
            return QStringLiteral("%1 %2 %3 b%4 i%5 s%6 a%7 %8")
                .arg(f.name)
                .arg(f.size)
                .arg(label->palette().color(QPalette::Text).name())
                .arg(f.bold)
                .arg(f.italic)
                .arg(f.strikethrough)
                .arg(label->labelAlignment())
                .arg(label->innerMargins().left);
        };
        const QString spine = QStringLiteral("Liberation Sans 14 #0000ff b1 i0 s0 a2 72");
        const QString pocket = QStringLiteral("Liberation Mono 9 #000000 b0 i1 s1 a2 500");
        for (LabelControl* label : pageLabels(*s.window, LabelControl::Kind::Spine))
            QCOMPARE(look(label), spine);
        for (LabelControl* label : pageLabels(*s.window, LabelControl::Kind::Pocket))
            QCOMPARE(look(label), pocket);
    }
    void sp1BatchStartsEmptyAndUntitled() {
        StartedWindow s(settingsForType(lm::kSp1, lm::kBatchPrinting));
        QVERIFY(s.window);
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Kelvarine Label Maker"));
        QVERIFY(s.window->state().CurrentFileName.empty());
        QVERIFY(shownTexts(*s.window).isEmpty());
        QVERIFY(s.folder.readFile(lm::kWorkingLabelFile).isNull());
        LM_VERIFY_DIALOGS(s.dialogs);
    }
    void interactiveStartLoadsTheWorkingFile() {
        // One sl4 set and a half: the second set's pocket text is cut short.
        StartedWindow s(settingsForType(lm::kSl4, lm::kInteractivePrinting),
                        "PS\r\n3545~~Hemingway\r~~Old man~~FIC~~Sea~~");
        QVERIFY(s.window);
        const std::string path = s.folder.filePath(lm::kWorkingLabelFile);
        QCOMPARE(s.window->windowTitle(), titleOf(QString::fromStdString(path), 1, false));
        QCOMPARE(s.window->state().CurrentFileName, path);
        QVERIFY(!s.window->state().PageChanged);
        QCOMPARE(shownTexts(*s.window),
                 QList<QByteArray>({"PS\r\n3545", "Hemingway\r", "Old man", "FIC", "Sea"}));
        QCOMPARE(s.window->spineControl(2)->toPlainText(), QStringLiteral("PS\n3545"));
        LM_VERIFY_DIALOGS(s.dialogs);
    }
    void missingSettingsFileIsCreatedWithDefaults() {
        TempWorkFolder folder;
        ScriptedDialogs dialogs;
        lm::StartUpResult started = lm::startUp(dialogs);
        QVERIFY(started.window);
        // What the file holds is the settings store's business; here it is only written.
        lm::Result<lm::Settings> written = lm::readSettingsFile(folder.filePath(lm::kSettingsFile));
        QVERIFY(written.ok() && written.value() == lm::defaultSettings());
        QVERIFY(started.window->state().settings == lm::defaultSettings());
        LM_VERIFY_DIALOGS(dialogs);
    }
    void splashShowsItsSevenLines() {
        lm::Form1 splash;
        QCOMPARE(splash.windowTitle(), QStringLiteral("Kelvarine Label Maker (Version 4.11)"));
        QString text = splash.text();
        text.replace(QRegularExpression(QStringLiteral("\\r\\n\\d{4}-\\d{4}\\r\\n")),
                     QStringLiteral("\r\nYEARS\r\n"));
        QCOMPARE(text, QStringLiteral("\r\nKelvarine Technology Company\r\nYEARS\r\n\r\n") +
                           QString(43, QLatin1Char('*')) +
                           QStringLiteral("\r\n\r\nPLEASE WAIT. LOADING LABELS..."));
    }
    void windowOpensMaximizedWithItsNormalSizeKept() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        QWidget* client = s.window->centralWidget();
        s.window->layout()->activate();
        QSize normalClient = client->size();
        lm::showMainWindow(*s.window);
        QVERIFY(s.window->windowState() & Qt::WindowMaximized);
        QCOMPARE(normalClient, QSize(pixelsX(*s.window->spineControl(2), 7740),
                                     pixelsY(*s.window->spineControl(2), 5685)));
        s.window->showNormal();
        QVERIFY(QTest::qWaitFor([&] { return client->size() == normalClient; }));
    }
};

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"

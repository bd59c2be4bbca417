#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include "app/forms1.h"
#include "app/menubar.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "scripteddialogs.h"

namespace {

// One line per entry: indentation for the submenu depth, the caption, and the
// objectName in brackets; "-" for a separator.
void describeMenu(const QMenu* menu, int depth, QStringList& lines) {
    const QString indent(depth * 2, QLatin1Char(' '));
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) {
            lines << indent + QStringLiteral("-");
            continue;
        }
        lines << indent + action->text() + QStringLiteral(" [") + action->objectName() +
                     QStringLiteral("]");
        if (action->menu()) describeMenu(action->menu(), depth + 1, lines);
    }
}

QStringList describeMenuBar(const QMenuBar* bar) {
    QStringList lines;
    for (QAction* action : bar->actions()) {
        lines << action->text() + QStringLiteral(" [") + action->objectName() + QStringLiteral("]");
        describeMenu(action->menu(), 1, lines);
    }
    return lines;
}

const char* const kExpectedMenus[] = {
    "&File [mnuFile]",
    "  &New Label File [mnuFile_NewFile]",
    "  &Load Label File [mnuFile_Load]",
    "  -",
    "  Import C&onnexion Client [mnuImportConnexionClient]",
    "  Import C&onnexion Web [mnuImportConnexionWeb]",
    "    Lable file for &one record [mnuImport_ConnItem]",
    "    Label file for &multiple records [mnuImport_ConnItem2]",
    "  Import P&FW [mnuImportPFW]",
    "  Import Cat&ME [mnuFile_Import]",
    "  Import N&OTIS [MnuImportNOTIS]",
    "  Import D&RA [MnuImportDRA]",
    "  Import &Dynix [mnuImportDynix]",
    "  Import &Innovative [mnuImportInnovative]",
    "  Import &SIRSI-Label [mnuImportOthers]",
    "  Import &SIRSI-Mailer [mnuImportMailer1]",
    "  -",
    "  &Save Label File [mnuFile_Save]",
    "  Save Label File &As... [mnuFile_SaveAs]",
    "  &Clear Current Label File [mnuFile_Clear]",
    "  P&rocess Label File(s) [mnuProcessFile]",
    "  -",
    "  &Select Printer [mnuFile_PrintSetup]",
    "  &Print Current Page [mnuFile_PrintPage]",
    "  Print &All [mnuFile_PrintAll]",
    "  -",
    "  &Exit [mnuFile_Exit]",
    "&Edit [mnuEdit]",
    "  &Cut [mnuEdit_Cut]",
    "  &Copy [mnuEdit_Copy]",
    "  &Paste [mnuEdit_Paste]",
    "  &Delete [mnuEdit_Delete]",
    "  &Multiple Copies [mnuEdit_Multicopies]",
    "  -",
    "  &Insert Special Character... [mnuEdit_Insert]",
    "  -",
    "  Insert &Blank Label [mnuEdit_Blank]",
    "&View [mnuView]",
    "  &Zoom [mnuView_Zoom]",
    "    &30% [mnuView_ZoomItem_1]",
    "    &50% [mnuView_ZoomItem_2]",
    "    &75% [mnuView_ZoomItem_3]",
    "    &100% [mnuView_ZoomItem_4]",
    "    &200% [mnuView_ZoomItem_5]",
    "&Page [mnuPage]",
    "  &Next Page [mnuPage_NextPage]",
    "  &Previous Page [mnuPage_PreviousPage]",
    "&Setup [mnuSetup]",
    "  &Font [mnuSetup_Font]",
    "    &Spine Font [mnuSetup_Font_Spane]",
    "    &Pocket Font [mnuSetup_Font_Pocket]",
    "  &Label Type [mnuSetup_Label]",
    "    sp&1 [mnuSetup_Label_Item_1]",
    "    sp&2 [mnuSetup_Label_Item_2]",
    "    sl&4 [mnuSetup_Label_Item_3]",
    "    sl&6 [mnuSetup_Label_Item_4]",
    "    sl&b [mnuSetup_Label_Item_5]",
    "    slb2 [mnuSetup_Label_Item_6]",
    "    spa [mnuSetup_Label_Item_7]",
    "    sp1/sp2-f2 [mnuSetup_Label_Item_8]",
    "    Mailer-1 [mnuSetup_Label_Item_9]",
    "    sp1/sp2-f3 [mnuSetup_Label_Item_10]",
    "  &Printing [mnuSetup_Printing]",
    "    &Interactive [mnuSetup_Printing_Interactive]",
    "    &Batch [mnuSetup_Printing_Batch]",
    "  Page &Top Margin [MnuSetup_Margin]",
    "  Page Left &Margin [MnuSetup_LeftMargin]",
    "  &Spine Label Left Margin [mnuSetup_Spine_Left_Margin]",
    "  P&ocket Label Left Margin [mnuSetup_Pocket_Left_Margin]",
    "  &Alignment [mnuSetup_Alignment]",
    "    &Left [mnuSetup_Alignment_Item_0]",
    "    &Right [mnuSetup_Alignment_Item_1]",
    "    &Centered [mnuSetup_Alignment_Item_2]",
    "    &Justified [mnuSetup_Alignment_Item_3]",
    "  S&how Setup [mnuSetup_Show]",
    "&Help [mnuHelp]",
    "  &Technical Support [mnuHelp_Technical]",
    "  &About the Maker [mnuHelp_about]",
};

QStringList checkedItems(const QMenuBar* bar) {
    QStringList names;
    for (QAction* action : bar->findChildren<QAction*>())
        if (action->isChecked()) names << action->objectName();
    names.sort();
    return names;
}

}  // namespace

class TestMenuBar : public QObject {
    Q_OBJECT
  private slots:
    void captionsNamesAndOrder();
    void noItemHasAShortcutKey();
    void itemArraysCarryTheirIndex();
    void checkMarksFollowTheSettings_data();
    void checkMarksFollowTheSettings();
    void choosingAnItemLeavesItsCheckMarkToTheCommand();
};

void TestMenuBar::captionsNamesAndOrder() {
    QMenuBar bar;
    lm::buildMenuBar(&bar);
    QStringList expected;
    for (const char* line : kExpectedMenus) expected << QString::fromUtf8(line);
    QStringList actual = describeMenuBar(&bar);
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
        QCOMPARE(actual[i], expected[i]);
    QCOMPARE(actual.size(), expected.size());
}

void TestMenuBar::noItemHasAShortcutKey() {
    QMenuBar bar;
    lm::buildMenuBar(&bar);
    const QList<QAction*> actions = bar.findChildren<QAction*>();
    QVERIFY(actions.size() > 70);
    for (QAction* action : actions)
        QVERIFY2(action->shortcuts().isEmpty(), qPrintable(action->objectName()));
}

void TestMenuBar::itemArraysCarryTheirIndex() {
    QMenuBar bar;
    lm::buildMenuBar(&bar);
    const QList<QAction*> types = lm::menuArray(&bar, QStringLiteral("mnuSetup_Label_Item"));
    QCOMPARE(types.size(), 10);
    for (int i = 0; i < 10; ++i) QCOMPARE(types[i]->data().toInt(), i + 1);
    QCOMPARE(types[9]->text(), QStringLiteral("sp1/sp2-f3"));
    const QList<QAction*> alignment =
        lm::menuArray(&bar, QStringLiteral("mnuSetup_Alignment_Item"));
    QCOMPARE(alignment.size(), 4);
    QCOMPARE(alignment[0]->data().toInt(), 0);
    QCOMPARE(lm::menuArray(&bar, QStringLiteral("mnuView_ZoomItem")).size(), 5);
}

void TestMenuBar::checkMarksFollowTheSettings_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("printing");
    QTest::addColumn<QStringList>("checked");
    const QString zoom = QStringLiteral("mnuView_ZoomItem_4");
    QTest::newRow("defaults") << 1 << 0 << 1
                              << QStringList{QStringLiteral("mnuSetup_Alignment_Item_0"),
                                             QStringLiteral("mnuSetup_Label_Item_1"),
                                             QStringLiteral("mnuSetup_Printing_Interactive"), zoom};
    QTest::newRow("sl4 centered batch")
        << 3 << 2 << 2
        << QStringList{QStringLiteral("mnuSetup_Alignment_Item_2"),
                       QStringLiteral("mnuSetup_Label_Item_3"),
                       QStringLiteral("mnuSetup_Printing_Batch"), zoom};
    QTest::newRow("out of range: no type, no alignment, printing 7 is Interactive")
        << 12 << 5 << 7 << QStringList{QStringLiteral("mnuSetup_Printing_Interactive"), zoom};
}

void TestMenuBar::checkMarksFollowTheSettings() {
    QFETCH(int, type);
    QFETCH(int, alignment);
    QFETCH(int, printing);
    QFETCH(QStringList, checked);
    TempWorkFolder folder;
    ScriptedDialogs dialogs;
    lm::Settings settings = settingsForType(type, printing);
    settings.LabelAlignment = alignment;
    auto window = startWith(folder, settings, dialogs);
    QVERIFY(window);
    checked.sort();
    QCOMPARE(checkedItems(window->menuBar()), checked);
}

void TestMenuBar::choosingAnItemLeavesItsCheckMarkToTheCommand() {
    QMenuBar bar;
    lm::buildMenuBar(&bar);
    lm::setMenuArrayCheck(&bar, QStringLiteral("mnuSetup_Label_Item"), 3);
    QAction* slb = bar.findChild<QAction*>(QStringLiteral("mnuSetup_Label_Item_5"));
    QAction* sl4 = bar.findChild<QAction*>(QStringLiteral("mnuSetup_Label_Item_3"));
    int handled = 0;
    QObject::connect(slb, &QAction::triggered, &bar, [&] {
        ++handled;
        QVERIFY(!slb->isChecked());  // the command sees the marks as they were
    });
    slb->trigger();
    QCOMPARE(handled, 1);
    QVERIFY(!slb->isChecked());
    QVERIFY(sl4->isChecked());
    sl4->trigger();
    QVERIFY(sl4->isChecked());
    lm::setMenuArrayCheck(&bar, QStringLiteral("mnuSetup_Label_Item"), 5);
    QVERIFY(slb->isChecked());
    QVERIFY(!sl4->isChecked());
}

QTEST_MAIN(TestMenuBar)
#include "tst_menubar.moc"

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
    "  Print Pre&view [mnuFile_PrintPreview]",
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
    "  -",
    "  Printer &Calibration... [mnuSetup_Calibration]",
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
    // Every caption and name in its place; no item has a shortcut key.
    void captionsNamesAndOrder() {
        QMenuBar bar;
        lm::buildMenuBar(&bar);
        QStringList expected;
        for (const char* line : kExpectedMenus) expected << QString::fromUtf8(line);
        QCOMPARE(describeMenuBar(&bar).join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
        for (QAction* action : bar.findChildren<QAction*>())
            QVERIFY2(action->shortcuts().isEmpty(), qPrintable(action->objectName()));
    }
    // At start the marks show the settings read; the Setup tests follow them as they change.
    void checkMarksFollowTheSettings() {
        lm::Settings settings = settingsForType(lm::kSl4, lm::kBatchPrinting);
        settings.LabelAlignment = 2;  // centered
        StartedWindow s(settings);
        QVERIFY(s.window);
        QCOMPARE(checkedItems(s.window->menuBar()),
                 QString::fromLatin1("mnuSetup_Alignment_Item_2 mnuSetup_Label_Item_3 "
                                     "mnuSetup_Printing_Batch mnuView_ZoomItem_4")
                     .split(QLatin1Char(' ')));
    }
};

QTEST_MAIN(TestMenuBar)
#include "tst_menubar.moc"

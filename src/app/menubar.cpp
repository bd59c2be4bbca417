#include "app/menubar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

#include "core/labeltypes.h"

namespace lm {
namespace {

QString text(const char* s) {
    return QString::fromUtf8(s);
}

QMenu* addMenu(QWidget* parent, const char* name, const char* caption) {
    auto* menu = new QMenu(text(caption), parent);
    menu->setObjectName(text(name));
    menu->menuAction()->setObjectName(text(name));
    if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
        bar->addMenu(menu);
    } else {
        static_cast<QMenu*>(parent)->addMenu(menu);
    }
    return menu;
}

QAction* addItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* addItem(QMenu* menu, const char* name, const char* caption) {
    return addItem(menu, text(name), text(caption));
}

// A checkable item whose check mark only its command moves.
QAction* addCheckItem(QMenu* menu, const QString& name, const QString& caption) {
    QAction* action = addItem(menu, name, caption);
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action,
                     [action](bool checked) { action->setChecked(!checked); });
    return action;
}

QAction* addArrayItem(QMenu* menu, const char* array, int index, const QString& caption) {
    QAction* action =
        addCheckItem(menu, QStringLiteral("%1_%2").arg(text(array)).arg(index), caption);
    action->setData(index);
    return action;
}

void buildFileMenu(QMenuBar* bar) {
    QMenu* file = addMenu(bar, "mnuFile", "&File");
    addItem(file, "mnuFile_NewFile", "&New Label File");
    addItem(file, "mnuFile_Load", "&Load Label File");
    file->addSeparator();
    addItem(file, "mnuImportConnexionClient", "Import C&onnexion Client");
    QMenu* web = addMenu(file, "mnuImportConnexionWeb", "Import C&onnexion Web");
    addItem(web, "mnuImport_ConnItem", "Lable file for &one record");
    addItem(web, "mnuImport_ConnItem2", "Label file for &multiple records");
    addItem(file, "mnuImportPFW", "Import P&FW");
    addItem(file, "mnuFile_Import", "Import Cat&ME");
    addItem(file, "MnuImportNOTIS", "Import N&OTIS");
    addItem(file, "MnuImportDRA", "Import D&RA");
    addItem(file, "mnuImportDynix", "Import &Dynix");
    addItem(file, "mnuImportInnovative", "Import &Innovative");
    addItem(file, "mnuImportOthers", "Import &SIRSI-Label");
    addItem(file, "mnuImportMailer1", "Import &SIRSI-Mailer");
    file->addSeparator();
    addItem(file, "mnuFile_Save", "&Save Label File");
    addItem(file, "mnuFile_SaveAs", "Save Label File &As...");
    addItem(file, "mnuFile_Clear", "&Clear Current Label File");
    addItem(file, "mnuProcessFile", "P&rocess Label File(s)");
    file->addSeparator();
    addItem(file, "mnuFile_PrintSetup", "&Select Printer");
    addItem(file, "mnuFile_PrintPage", "&Print Current Page");
    addItem(file, "mnuFile_PrintAll", "Print &All");
    addItem(file, "mnuFile_PrintPreview", "Print Pre&view");
    file->addSeparator();
    addItem(file, "mnuFile_Exit", "&Exit");
}

void buildEditMenu(QMenuBar* bar) {
    QMenu* edit = addMenu(bar, "mnuEdit", "&Edit");
    addItem(edit, "mnuEdit_Cut", "&Cut");
    addItem(edit, "mnuEdit_Copy", "&Copy");
    addItem(edit, "mnuEdit_Paste", "&Paste");
    addItem(edit, "mnuEdit_Delete", "&Delete");
    addItem(edit, "mnuEdit_Multicopies", "&Multiple Copies");
    edit->addSeparator();
    addItem(edit, "mnuEdit_Insert", "&Insert Special Character...");
    edit->addSeparator();
    addItem(edit, "mnuEdit_Blank", "Insert &Blank Label");
}

void buildViewMenu(QMenuBar* bar) {
    QMenu* view = addMenu(bar, "mnuView", "&View");
    QMenu* zoom = addMenu(view, "mnuView_Zoom", "&Zoom");
    const char* captions[] = {"&30%", "&50%", "&75%", "&100%", "&200%"};
    for (int i = 1; i <= 5; ++i) addArrayItem(zoom, "mnuView_ZoomItem", i, text(captions[i - 1]));
}

void buildPageMenu(QMenuBar* bar) {
    QMenu* page = addMenu(bar, "mnuPage", "&Page");
    addItem(page, "mnuPage_NextPage", "&Next Page");
    addItem(page, "mnuPage_PreviousPage", "&Previous Page");
}

void buildSetupMenu(QMenuBar* bar) {
    QMenu* setup = addMenu(bar, "mnuSetup", "&Setup");
    QMenu* font = addMenu(setup, "mnuSetup_Font", "&Font");
    addItem(font, "mnuSetup_Font_Spane", "&Spine Font");
    addItem(font, "mnuSetup_Font_Pocket", "&Pocket Font");
    QMenu* label = addMenu(setup, "mnuSetup_Label", "&Label Type");
    for (int type = kFirstLabelType; type <= kLastLabelType; ++type)
        addArrayItem(label, "mnuSetup_Label_Item", type, text(labelTypeInfo(type)->menuCaption));
    QMenu* printing = addMenu(setup, "mnuSetup_Printing", "&Printing");
    addCheckItem(printing, QStringLiteral("mnuSetup_Printing_Interactive"),
                 QStringLiteral("&Interactive"));
    addCheckItem(printing, QStringLiteral("mnuSetup_Printing_Batch"), QStringLiteral("&Batch"));
    addItem(setup, "MnuSetup_Margin", "Page &Top Margin");
    addItem(setup, "MnuSetup_LeftMargin", "Page Left &Margin");
    addItem(setup, "mnuSetup_Spine_Left_Margin", "&Spine Label Left Margin");
    addItem(setup, "mnuSetup_Pocket_Left_Margin", "P&ocket Label Left Margin");
    QMenu* alignment = addMenu(setup, "mnuSetup_Alignment", "&Alignment");
    const char* captions[] = {"&Left", "&Right", "&Centered", "&Justified"};
    for (int i = 0; i <= 3; ++i)
        addArrayItem(alignment, "mnuSetup_Alignment_Item", i, text(captions[i]));
    addItem(setup, "mnuSetup_Show", "S&how Setup");
    setup->addSeparator();
    addItem(setup, "mnuSetup_Calibration", "Printer &Calibration...");
}

void buildHelpMenu(QMenuBar* bar) {
    QMenu* help = addMenu(bar, "mnuHelp", "&Help");
    addItem(help, "mnuHelp_Technical", "&Technical Support");
    addItem(help, "mnuHelp_about", "&About the Maker");
}

}  // namespace

void buildMenuBar(QMenuBar* bar) {
    buildFileMenu(bar);
    buildEditMenu(bar);
    buildViewMenu(bar);
    buildPageMenu(bar);
    buildSetupMenu(bar);
    buildHelpMenu(bar);
}

QList<QAction*> menuArray(const QMenuBar* bar, const QString& arrayName) {
    QList<QAction*> items;
    const QString prefix = arrayName + QLatin1Char('_');
    for (QAction* action : bar->findChildren<QAction*>()) {
        if (!action->objectName().startsWith(prefix)) continue;
        bool isIndex = false;
        action->objectName().mid(prefix.size()).toInt(&isIndex);
        if (isIndex && !items.contains(action)) items << action;
    }
    std::sort(items.begin(), items.end(),
              [](QAction* a, QAction* b) { return a->data().toInt() < b->data().toInt(); });
    return items;
}

void setMenuArrayCheck(const QMenuBar* bar, const QString& arrayName, int index) {
    for (QAction* action : menuArray(bar, arrayName))
        action->setChecked(action->data().toInt() == index);
}

}  // namespace lm

#include "app/forms1.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>

#include "app/clientarea.h"
#include "commandgroups.h"
#include "app/menubar.h"
#include "app/pagebuilder.h"
#include "app/pagelayout.h"
#include "app/pageview.h"
#include "app/startupload.h"
#include "core/pagegeometry.h"
#include "platform/buttonbar.h"
#include "platform/labelcontrol.h"
#include "platform/ruler.h"
#include "platform/sheetcontrol.h"
#include "platform/statusbar.h"
#include "platform/twips.h"
#include "platform/windowevents.h"

namespace lm {
namespace {

// The client area of the window in its normal (not maximized) size.
constexpr int kNormalClientWidth = 7740;
constexpr int kNormalClientHeight = 5685;

}  // namespace

Forms1::Forms1(const Settings& settings, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_page(m_labels, m_state) {
    setObjectName(QStringLiteral("Forms1"));
    setPlainTitle();
    m_state.settings = settings;
    m_state.PageLabelType = settings.LabelType;
    m_state.ZoomValue = 100;

    buildMenuBar(menuBar());
    setMenuChecks();

    m_client = new ClientArea(this);
    setCentralWidget(m_client);
    PageView* view = m_client->pageView();
    PageGeometry geometry = pageGeometry(settings.LabelType, 0, 0);
    view->sheet()->setPageSize(geometry.sheetWidth, geometry.sheetHeight);
    buildPage(m_state, view->page(), m_labels);
    view->fitPage();
    connectLabels();

    resize(twipsToPixels(kNormalClientWidth, logicalDpiX()),
           twipsToPixels(kNormalClientHeight, logicalDpiY()) + menuBar()->sizeHint().height());

    m_state.PageChanged = false;
    m_state.PageEndPosition = 0;
    m_state.PageStartPosition = 1;
    m_state.CurrentFileName.clear();
    m_state.PageNumber = 1;
    m_client->statusBar()->setPage(m_state.PageNumber);

    m_startUpLoad = [this] { loadWorkingFile(*this); };
    installCommandGroups(*this, this);
    if (LabelControl* first = m_labels.spine(2)) {
        setActiveLabel(first);
        first->setFocus(Qt::OtherFocusReason);
    }
}

Forms1::~Forms1() = default;

SheetControl* Forms1::sheet() const {
    return m_client->pageView()->sheet();
}

// Check marks as the settings say: one label type, one alignment, the
// printing method (Batch only for 2), and the zoom of 100%.
void Forms1::setMenuChecks() {
    const Settings& s = m_state.settings;
    setMenuArrayCheck(QStringLiteral("mnuSetup_Label_Item"), s.LabelType);
    setMenuArrayCheck(QStringLiteral("mnuSetup_Alignment_Item"), s.LabelAlignment);
    bool batch = s.PrintingMethod == kBatchPrinting;
    menuItem(QStringLiteral("mnuSetup_Printing_Batch"))->setChecked(batch);
    menuItem(QStringLiteral("mnuSetup_Printing_Interactive"))->setChecked(!batch);
    setMenuArrayCheck(QStringLiteral("mnuView_ZoomItem"), 4);
}

void Forms1::connectLabels() {
    for (LabelControl* label : m_labels.pageLabels()) {
        connect(label, &LabelControl::changed, this, [this] { m_state.PageChanged = true; });
        connect(label, &LabelControl::clicked, this, [this, label] { labelClicked(label); });
        connect(label, &LabelControl::focusEntered, this, [this, label] { setActiveLabel(label); });
    }
}

void Forms1::labelClicked(LabelControl* label) {
    label->setFocus(Qt::MouseFocusReason);
    m_state.SelectedLabel = label->selectedLabelNumber();
}

void Forms1::setActiveLabel(LabelControl* label) {
    m_activeLabel = label;
    m_client->buttonBar()->setLabel(label);
    m_client->ruler()->setLabel(label);
    m_client->statusBar()->setLabel(label);
}

bool Forms1::ViewZoom(int nZoomValue) {
    PageView* view = m_client->pageView();
    // The page is repainted once, when the layout is complete.
    view->setUpdatesEnabled(false);
    view->sheet()->setZoomFactor(nZoomValue);
    letWindowEventsRun();
    bool complete = layOutLabels(m_state, m_labels, nZoomValue);
    view->fitPage();
    view->setUpdatesEnabled(true);
    m_client->ruler()->update();
    if (!complete && m_layoutRecovery && !m_recovering) {
        m_recovering = true;
        m_layoutRecovery();
        m_recovering = false;
    }
    return complete;
}

void Forms1::setLayoutRecovery(std::function<void()> recovery) {
    m_layoutRecovery = std::move(recovery);
}

void Forms1::setPageTitle(TitleSpacing spacing) {
    setWindowTitle(pageTitle(m_state.CurrentFileName, m_state.PageNumber, spacing));
    m_client->statusBar()->setPage(m_state.PageNumber);
}

void Forms1::setPlainTitle() {
    setWindowTitle(kWindowTitle);
}

QAction* Forms1::menuItem(const QString& name) const {
    return menuBar()->findChild<QAction*>(name);
}

QList<QAction*> Forms1::menuArray(const QString& arrayName) const {
    return lm::menuArray(menuBar(), arrayName);
}

void Forms1::setMenuArrayCheck(const QString& arrayName, int index) {
    lm::setMenuArrayCheck(menuBar(), arrayName, index);
}

QAbstractButton* Forms1::button(const QString& name) const {
    return m_client->findChild<QAbstractButton*>(name);
}

void Forms1::setCloseGuard(std::function<bool()> mayClose) {
    m_closeGuard = std::move(mayClose);
}

void Forms1::setStartUpLoad(std::function<void()> load) {
    m_startUpLoad = std::move(load);
}

void Forms1::runStartUpLoad() {
    if (m_state.settings.PrintingMethod == kInteractivePrinting && m_startUpLoad) m_startUpLoad();
}

void Forms1::closeEvent(QCloseEvent* event) {
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

LabelControl* Forms1::activeLabel() const {
    return m_activeLabel;
}

}  // namespace lm

#include "app/clientarea.h"

#include <QPushButton>
#include <QResizeEvent>

#include "app/pageview.h"
#include "platform/buttonbar.h"
#include "platform/ruler.h"
#include "platform/statusbar.h"
#include "platform/twips.h"

namespace lm {
namespace {

constexpr int kButtonWidth = 450;
constexpr int kButtonHeight = 300;
constexpr int kButtonTop = 30;
constexpr int kButtonRightGap = 100;  // from the right edge to the NP button

}  // namespace

ClientArea::ClientArea(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("clientArea"));
    m_buttonBar = new ButtonBar(this);
    m_ruler = new Ruler(this);
    m_pageView = new PageView(this);
    m_statusBar = new StatusBar(this);
    m_next = addButton(QStringLiteral("Command1"), QStringLiteral("NP"));
    m_previous = addButton(QStringLiteral("Command2"), QStringLiteral("PP"));
    m_multiple = addButton(QStringLiteral("Command3"), QStringLiteral("ML"));
    m_next->setToolTip(tr("Next page"));
    m_previous->setToolTip(tr("Previous page"));
    m_multiple->setToolTip(tr("Multiple copies"));
    m_next->setAccessibleName(tr("Next page"));
    m_previous->setAccessibleName(tr("Previous page"));
    m_multiple->setAccessibleName(tr("Multiple copies"));
    // The NP, PP and ML buttons sit over the right end of the button bar: the
    // bar keeps that end free, and the window is never narrower than the bar.
    m_buttonBar->reserveRightEdge(px(3 * kButtonWidth + kButtonRightGap));
    setMinimumWidth(m_buttonBar->minimumSizeHint().width());
    connect(m_pageView, &PageView::pageMoved, m_ruler, qOverload<>(&QWidget::update));
    // The page view's first height, for a client area too low for the resize rule.
    m_pageView->setGeometry(0, py(kButtonBarHeight + kRulerHeight), px(7740), py(15840));
}

QPushButton* ClientArea::addButton(const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void ClientArea::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void ClientArea::layOut() {
    int w = width();
    m_buttonBar->setGeometry(0, 0, w, py(kButtonBarHeight));
    m_ruler->setGeometry(0, py(kButtonBarHeight), w, py(kRulerHeight));
    m_statusBar->setGeometry(0, height() - py(kStatusBarHeight), w, py(kStatusBarHeight));

    int viewTop = py(kButtonBarHeight + kRulerHeight);
    int viewHeight = m_pageView->height();
    if (pixelsToTwips(height(), logicalDpiY()) > kMinimumResizeHeight)
        viewHeight = height() - py(kRulerHeight) - py(kStatusBarHeight) - py(kButtonBarHeight);
    m_pageView->setGeometry(0, viewTop, w, viewHeight);

    // Against the right edge of the client area, NP rightmost.
    int buttonLeft = w - px(kButtonWidth + kButtonRightGap);
    for (QPushButton* button : {m_next, m_previous, m_multiple}) {
        button->setGeometry(buttonLeft, py(kButtonTop), px(kButtonWidth), py(kButtonHeight));
        button->raise();
        buttonLeft -= px(kButtonWidth);
    }
}

int ClientArea::px(double twips) const {
    return twipsToPixels(twips, logicalDpiX());
}
int ClientArea::py(double twips) const {
    return twipsToPixels(twips, logicalDpiY());
}

}  // namespace lm

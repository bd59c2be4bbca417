#include "app/pageview.h"

#include <QScrollBar>

#include "platform/sheetcontrol.h"

namespace lm {
namespace {

// The desk shown around the sheet, in pixels.
constexpr int kDeskMargin = 16;
const QColor kDeskColor(0x8C, 0x8C, 0x8C);

}  // namespace

PageView::PageView(QWidget* parent) : QScrollArea(parent) {
    setObjectName(QStringLiteral("pageView"));
    setFrameStyle(QFrame::NoFrame);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setWidgetResizable(false);
    QPalette desk = palette();
    desk.setColor(QPalette::Window, kDeskColor);
    viewport()->setPalette(desk);
    viewport()->setAutoFillBackground(true);

    m_desk = new QWidget;
    m_desk->setObjectName(QStringLiteral("pageDesk"));
    m_desk->setPalette(desk);
    m_desk->setAutoFillBackground(true);
    m_page = new QWidget(m_desk);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->move(kDeskMargin, kDeskMargin);
    m_sheet = new SheetControl(m_page);
    m_sheet->move(0, 0);
    setWidget(m_desk);

    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &PageView::pageMoved);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &PageView::pageMoved);
    fitPage();
}

void PageView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    emit pageMoved();
}

void PageView::fitPage() {
    QRect bounds(0, 0, 1, 1);
    for (QWidget* child : m_page->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->isHidden()) bounds |= child->geometry();
    m_page->resize(bounds.right() + 1, bounds.bottom() + 1);
    m_desk->resize(m_page->width() + 2 * kDeskMargin, m_page->height() + 2 * kDeskMargin);
}

}  // namespace lm

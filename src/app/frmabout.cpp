#include "app/frmabout.h"

#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/twips.h"

namespace lm {
namespace {

constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3555;

QLabel* addLabel(QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromUtf8(name));
    layout->addWidget(label);
    return label;
}

QFrame* addLine(QVBoxLayout* layout, int index) {
    auto* line = new QFrame;
    line->setObjectName(QStringLiteral("Line1_%1").arg(index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);
    return line;
}

}  // namespace

WebLinkLabel::WebLinkLabel(const QString& address, QWidget* parent) : QLabel(address, parent) {
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setToolTip(address);
    QFont linkFont = font();
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Link));
    setPalette(colours);
}

void WebLinkLabel::open() const {
    // The desktop says nothing useful when no browser is set up; neither do we.
    QDesktopServices::openUrl(QUrl(text()));
}

void WebLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        open();
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void WebLinkLabel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        open();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(caption());
    setModal(false);
    // OK unloads the box; the next Help command makes a new one.
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    QLabel* title = addLabel(layout, "lblTitle", QStringLiteral("Kelvarine Label Maker"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    title->setFont(titleFont);
    addLabel(layout, "lblVersion", QStringLiteral("Version: 4.11"));
    addLine(layout, 0);
    addLabel(layout, "lblSupport", QStringLiteral("Technical Support:"));
    auto* link = new WebLinkLabel(kProductWebPage);
    link->setObjectName(QStringLiteral("lblWebLink"));
    layout->addWidget(link);
    addLine(layout, 1);
    m_copyright = addLabel(layout, "lblCopyRight", QString());
    m_copyright->setWordWrap(true);
    layout->addStretch();

    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    QString notice = copyrightNotice();
    m_copyright->setText(notice.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    setFixedSize(twipsToPixels(kClientWidth, logicalDpiX()),
                 twipsToPixels(kClientHeight, logicalDpiY()));
    // Enter closes the box; the link opens only when the operator tabs to it.
    m_ok->setFocus();
}

QString frmAbout::copyrightNotice() {
    return QStringLiteral(
        "Copyright \u00A9 1996-2025 Kelvarine Technology Company.\r\n"
        "All rights reserved.");
}

void frmAbout::cmdOK_Click() {
    close();
}

}  // namespace lm

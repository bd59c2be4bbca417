#include "app/form1.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTextEdit>
#include <QVBoxLayout>

#include "platform/twips.h"

namespace lm {
namespace {

constexpr int kTextWidth = 5724;
constexpr int kTextHeight = 2220;

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kelvarine"));
    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setReadOnly(true);
    m_text->setEnabled(true);
    m_text->setFocusPolicy(Qt::NoFocus);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_text);
    setFixedSize(twipsToPixels(kTextWidth, logicalDpiX()),
                 twipsToPixels(kTextHeight, logicalDpiY()));

    setWindowTitle(splashCaption());
    QString lines = splashText();
    m_text->setPlainText(lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    m_text->selectAll();
    m_text->setAlignment(Qt::AlignHCenter);
    m_text->moveCursor(QTextCursor::Start);
}

QString Form1::splashCaption() {
    return QStringLiteral("Kelvarine Label Maker (Version 4.11)");
}

QString Form1::splashText() {
    const QStringList lines = {
        QString(),
        QStringLiteral("Kelvarine Technology Company"),
        QStringLiteral("1996-2025"),
        QString(),
        QStringLiteral("*******************************************"),
        QString(),
        QStringLiteral("PLEASE WAIT. LOADING LABELS..."),
    };
    return lines.join(QStringLiteral("\r\n"));
}

QString Form1::text() const {
    QString text = m_text->toPlainText();
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// Its top at half the screen height less 1260 twips, its left edge at half
// the screen width less 2872 twips: about the middle of the screen.
void Form1::placeOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->geometry();
    move(area.left() + area.width() / 2 - twipsToPixels(2872, logicalDpiX()),
         area.top() + area.height() / 2 - twipsToPixels(1260, logicalDpiY()));
}

}  // namespace lm

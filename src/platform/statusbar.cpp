#include "platform/statusbar.h"

#include <QAbstractTextDocumentLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "platform/labelcontrol.h"

namespace lm {
namespace {

QLabel* field(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("Page 00000")));
    return label;
}

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TXStatusBar1"));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(2);
    m_page = field(QStringLiteral("Page"), this);
    m_line = field(QStringLiteral("Line"), this);
    m_column = field(QStringLiteral("Col"), this);
    layout->addWidget(m_page);
    layout->addWidget(m_line);
    layout->addWidget(m_column);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("statusMessage"));
    // A long path is cut off at the window's edge rather than widen the bar.
    m_message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(m_message, 1);
    setPage(1);
    showCaret();
}

void StatusBar::setLabel(LabelControl* label) {
    disconnect(m_caretConnection);
    m_label = label;
    if (label)
        m_caretConnection =
            connect(label, &QTextEdit::cursorPositionChanged, this, &StatusBar::showCaret);
    showCaret();
}

void StatusBar::setPage(int page) {
    m_page->setText(QStringLiteral("Page %1").arg(page));
}

void StatusBar::setMessage(const QString& message) {
    m_message->setText(message);
    m_message->setToolTip(message);
}

QString StatusBar::pageText() const {
    return m_page->text();
}
QString StatusBar::lineText() const {
    return m_line->text();
}
QString StatusBar::columnText() const {
    return m_column->text();
}
QString StatusBar::messageText() const {
    return m_message->text();
}

// Lines as the label shows them, wrapped lines counted, from 1.
void StatusBar::showCaret() {
    int line = 0;
    int column = 0;
    if (m_label) {
        QTextCursor cursor = m_label->textCursor();
        QTextBlock block = cursor.block();
        for (QTextBlock b = m_label->document()->begin(); b.isValid() && b != block; b = b.next())
            line += b.layout() ? std::max(1, b.layout()->lineCount()) : 1;
        column = cursor.positionInBlock();
        if (QTextLayout* layout = block.layout()) {
            QTextLine textLine = layout->lineForTextPosition(cursor.positionInBlock());
            if (textLine.isValid()) {
                line += textLine.lineNumber();
                column -= textLine.textStart();
            }
        }
    }
    m_line->setText(QStringLiteral("Line %1").arg(line + 1));
    m_column->setText(QStringLiteral("Col %1").arg(column + 1));
}

}  // namespace lm

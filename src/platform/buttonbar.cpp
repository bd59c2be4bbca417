#include "platform/buttonbar.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QSpacerItem>
#include <QToolButton>

#include "platform/labelcontrol.h"

namespace lm {
namespace {

// Four lines of text set flush left, flush right, centred or justified.
QIcon alignmentIcon(int alignment, const QColor& color) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(color, 1));
    const int lengths[4] = {14, 9, 12, 7};
    for (int i = 0; i < 4; ++i) {
        int length = alignment == kAlignJustified ? 14 : lengths[i];
        int left = 1;
        if (alignment == kAlignRight) left = 15 - length;
        if (alignment == kAlignCentered) left = (16 - length) / 2;
        int y = 2 + i * 4;
        painter.drawLine(left, y, left + length - 1, y);
    }
    return QIcon(pixmap);
}

}  // namespace

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TXButtonBar1"));
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(2);

    m_fontName = new QFontComboBox(this);
    m_fontName->setObjectName(QStringLiteral("fontName"));
    m_fontName->setToolTip(tr("Font"));
    m_fontName->setFocusPolicy(Qt::ClickFocus);
    m_fontName->setMaximumWidth(150);
    layout->addWidget(m_fontName);

    m_fontSize = new QComboBox(this);
    m_fontSize->setObjectName(QStringLiteral("fontSize"));
    m_fontSize->setToolTip(tr("Font size"));
    m_fontSize->setEditable(true);
    m_fontSize->setInsertPolicy(QComboBox::NoInsert);
    m_fontSize->setFocusPolicy(Qt::ClickFocus);
    for (int size : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72})
        m_fontSize->addItem(QString::number(size));
    m_fontSize->setMinimumContentsLength(3);
    layout->addWidget(m_fontSize);
    layout->addSpacing(6);

    m_bold = addToggle(QStringLiteral("bold"), QStringLiteral("B"), tr("Bold"));
    m_italic = addToggle(QStringLiteral("italic"), QStringLiteral("I"), tr("Italic"));
    m_underline = addToggle(QStringLiteral("underline"), QStringLiteral("U"), tr("Underline"));
    QFont font = m_bold->font();
    font.setBold(true);
    m_bold->setFont(font);
    font = m_italic->font();
    font.setItalic(true);
    m_italic->setFont(font);
    font = m_underline->font();
    font.setUnderline(true);
    m_underline->setFont(font);
    layout->addSpacing(6);

    const QString alignNames[4] = {QStringLiteral("alignLeft"), QStringLiteral("alignRight"),
                                   QStringLiteral("alignCenter"), QStringLiteral("alignJustify")};
    const QString alignTips[4] = {tr("Align left"), tr("Align right"), tr("Centre"), tr("Justify")};
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    // Shown in the order word processors use: left, centre, right, justified.
    for (int alignment : {kAlignLeft, kAlignCentered, kAlignRight, kAlignJustified}) {
        QToolButton* button = addToggle(alignNames[alignment], QString(), alignTips[alignment]);
        button->setIcon(alignmentIcon(alignment, palette().color(QPalette::ButtonText)));
        group->addButton(button, alignment);
        m_align[alignment] = button;
    }
    layout->addStretch(1);
    m_rightEdge = new QSpacerItem(0, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    layout->addSpacerItem(m_rightEdge);

    connect(m_fontName, &QFontComboBox::currentFontChanged, this, &ButtonBar::applyFontName);
    connect(m_fontSize, &QComboBox::textActivated, this, &ButtonBar::applyFontSize);
    connect(m_fontSize->lineEdit(), &QLineEdit::editingFinished, this, &ButtonBar::applyFontSize);
    for (QToolButton* button : {m_bold, m_italic, m_underline})
        connect(button, &QToolButton::clicked, this, &ButtonBar::applyStyle);
    connect(group, &QButtonGroup::idClicked, this, &ButtonBar::applyAlignment);
    showLabel();
}

QToolButton* ButtonBar::addToggle(const QString& name, const QString& text, const QString& tip) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(button);
    return button;
}

void ButtonBar::setLabel(LabelControl* label) {
    disconnect(m_textConnection);
    m_label = label;
    if (label)
        m_textConnection =
            connect(label, &QTextEdit::textChanged, this, &ButtonBar::showChangedFormat);
    showLabel();
}

void ButtonBar::showChangedFormat() {
    if (m_showing || !m_label) return;
    if (m_label->labelFont() != m_shownFont || m_label->labelAlignment() != m_shownAlignment)
        showLabel();
}

void ButtonBar::showLabel() {
    m_showing = true;
    bool enabled = m_label != nullptr;
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->setEnabled(enabled);
    if (m_label) {
        const LabelFont& font = m_label->labelFont();
        m_fontName->setCurrentFont(QFont(font.name));
        m_fontSize->setEditText(QString::number(font.size));
        m_bold->setChecked(font.bold);
        m_italic->setChecked(font.italic);
        m_underline->setChecked(font.underline);
        int alignment = m_label->labelAlignment();
        for (int i = 0; i < 4; ++i) m_align[i]->setChecked(i == alignment);
        m_shownFont = font;
        m_shownAlignment = alignment;
    }
    m_showing = false;
}

void ButtonBar::applyFontName() {
    if (m_showing || !m_label) return;
    LabelFont font = m_label->labelFont();
    font.name = m_fontName->currentFont().family();
    m_label->setLabelFont(font);
    returnFocus();
}

void ButtonBar::applyFontSize() {
    if (m_showing || !m_label) return;
    bool ok = false;
    double size = m_fontSize->currentText().trimmed().toDouble(&ok);
    LabelFont font = m_label->labelFont();
    if (!ok || size < 1 || size > 1638) {
        m_fontSize->setEditText(QString::number(font.size));
        return;
    }
    if (size == font.size) return;
    font.size = size;
    m_label->setLabelFont(font);
    returnFocus();
}

void ButtonBar::applyStyle() {
    if (m_showing || !m_label) return;
    LabelFont font = m_label->labelFont();
    font.bold = m_bold->isChecked();
    font.italic = m_italic->isChecked();
    font.underline = m_underline->isChecked();
    m_label->setLabelFont(font);
    returnFocus();
}

void ButtonBar::applyAlignment(int alignment) {
    if (m_showing || !m_label) return;
    m_label->setLabelAlignment(alignment);
    returnFocus();
}

void ButtonBar::returnFocus() {
    if (!m_label) return;
    // The bar shows what it has just applied.
    m_shownFont = m_label->labelFont();
    m_shownAlignment = m_label->labelAlignment();
    m_label->setFocus(Qt::OtherFocusReason);
}

void ButtonBar::reserveRightEdge(int pixels) {
    m_rightEdge->changeSize(pixels, 0, QSizePolicy::Fixed, QSizePolicy::Minimum);
    layout()->invalidate();
}

LabelControl* ButtonBar::label() const {
    return m_label;
}

}  // namespace lm

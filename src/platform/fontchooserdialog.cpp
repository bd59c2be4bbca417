#include "platform/fontchooserdialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/labelfont.h"

namespace lm {

FontChooserDialog::FontChooserDialog(const FontChoice& preset, QWidget* parent)
    : QDialog(parent), m_color(windowsColorToQColor(preset.color)) {
    setWindowTitle(tr("Font"));

    m_fonts = new QFontDialog(this);
    m_fonts->setWindowFlags(Qt::Widget);
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    QFont font(preset.name);
    font.setPointSizeF(preset.size > 0 ? preset.size : 12.0);
    font.setBold(preset.bold);
    font.setItalic(preset.italic);
    font.setStrikeOut(preset.strikethrough);
    font.setUnderline(preset.underline);
    m_fonts->setCurrentFont(font);

    m_colorButton = new QPushButton(tr("&Colour..."), this);
    connect(m_colorButton, &QPushButton::clicked, this, &FontChooserDialog::chooseColor);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel(tr("Colour:"), this));
    colorRow->addWidget(m_colorButton);
    colorRow->addStretch();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
    showColor();
}

FontChoice FontChooserDialog::choice() const {
    QFont font = m_fonts->currentFont();
    FontChoice choice;
    choice.name = font.family();
    choice.size = font.pointSizeF();
    choice.color = qColorToWindowsColor(m_color);
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.strikethrough = font.strikeOut();
    choice.underline = font.underline();
    return choice;
}

void FontChooserDialog::chooseColor() {
    QColor color = QColorDialog::getColor(m_color, this, tr("Colour"));
    if (!color.isValid()) return;
    m_color = color;
    showColor();
}

void FontChooserDialog::showColor() {
    QPixmap swatch(24, 14);
    swatch.fill(m_color);
    m_colorButton->setIcon(QIcon(swatch));
}

}  // namespace lm

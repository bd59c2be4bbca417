#include "platform/fontchooserdialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/labelfont.h"

namespace lm {

FontChooserDialog::FontChooserDialog(const FontChoice& preset, QWidget* parent)
    : QDialog(parent), m_presetName(preset.name), m_color(windowsColorToQColor(preset.color)) {
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
    // Qt's list knows installed faces only; a name it does not hold would
    // select its default face.
    font.setFamily(QFontInfo(font).family());
    m_fonts->setCurrentFont(font);
    m_shownFace = m_fonts->currentFont().family();
    // Qt's dialog, shown without its buttons, would swallow Enter and hide
    // itself on Escape: both go to this dialog instead.
    m_fonts->installEventFilter(this);

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
    choice.name = font.family() == m_shownFace ? m_presetName : font.family();
    choice.size = font.pointSizeF();
    choice.color = qColorToWindowsColor(m_color);
    choice.bold = font.bold();
    choice.italic = font.italic();
    choice.strikethrough = font.strikeOut();
    choice.underline = font.underline();
    return choice;
}

bool FontChooserDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_fonts && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = key->modifiers() == Qt::NoModifier ||
                           (key->key() == Qt::Key_Enter && key->modifiers() == Qt::KeypadModifier);
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            accept();
            return true;
        }
        if (plain && key->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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

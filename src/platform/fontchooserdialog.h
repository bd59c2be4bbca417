#pragma once

#include <QColor>
#include <QDialog>

#include "platform/dialogs.h"

class QFontDialog;
class QPushButton;

namespace lm {

// Qt's font dialog with a colour choice added, as the label fonts have a
// colour. Face, size, style, strikethrough and underline come from Qt's
// font dialog, shown inside this one.
class FontChooserDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FontChooserDialog(const FontChoice& preset, QWidget* parent = nullptr);

    FontChoice choice() const;

  private:
    void chooseColor();
    void showColor();

    QFontDialog* m_fonts;
    QPushButton* m_colorButton;
    QColor m_color;
};

}  // namespace lm

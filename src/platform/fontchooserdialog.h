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
//
// The face shown first is the one that really draws the preset's name here
// (fontconfig's match: Liberation Serif for Times New Roman, say), not
// whatever the list falls back on. While the operator leaves that face
// alone, choice() gives the preset's own name back, so that an OK without
// changes keeps the name the settings file holds and other machines still
// find their face. Enter accepts and Escape cancels from any field.
class FontChooserDialog : public QDialog {
    Q_OBJECT
  public:
    explicit FontChooserDialog(const FontChoice& preset, QWidget* parent = nullptr);

    FontChoice choice() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void chooseColor();
    void showColor();

    QFontDialog* m_fonts;
    QString m_presetName;
    QString m_shownFace;  // the face the dialog opened on
    QPushButton* m_colorButton;
    QColor m_color;
};

}  // namespace lm

#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/labelfont.h"

class QComboBox;
class QFontComboBox;
class QSpacerItem;
class QToolButton;

namespace lm {

class LabelControl;

// The formatting bar above the page: font, size, bold, italic, underline and
// alignment of the label that last had the focus. A label holds one font, so
// the bar formats the whole label.
class ButtonBar : public QWidget {
    Q_OBJECT
  public:
    explicit ButtonBar(QWidget* parent = nullptr);

    void setLabel(LabelControl* label);
    LabelControl* label() const;

    // Keeps `pixels` at the right end of the bar free of its own buttons, for
    // the window's buttons that sit there; the bar's minimum width includes it.
    void reserveRightEdge(int pixels);

  private:
    void showLabel();
    // After the label's text was replaced: its format may have gone back to
    // the settings'.
    void showChangedFormat();
    void applyFontName();
    void applyFontSize();
    void applyStyle();
    void applyAlignment(int alignment);
    void returnFocus();
    QToolButton* addToggle(const QString& name, const QString& text, const QString& tip);

    QPointer<LabelControl> m_label;
    QMetaObject::Connection m_textConnection;
    LabelFont m_shownFont;  // what the bar shows, to tell when the label's changed
    int m_shownAlignment = -1;
    QFontComboBox* m_fontName;
    QComboBox* m_fontSize;
    QToolButton* m_bold;
    QToolButton* m_italic;
    QToolButton* m_underline;
    QToolButton* m_align[4];
    QSpacerItem* m_rightEdge;
    bool m_showing = false;
};

}  // namespace lm

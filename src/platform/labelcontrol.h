#pragma once

#include <QString>
#include <QTextEdit>

#include <memory>
#include <string>

#include "paint/labellayout.h"
#include "platform/labelfont.h"

class QTimer;

namespace lm {

// Inner text margins of a label, in twips at zoom 100.
struct InnerMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Label alignment as the settings store it.
enum LabelAlignmentValue {
    kAlignLeft = 0,
    kAlignRight = 1,
    kAlignCentered = 2,
    kAlignJustified = 3
};

// One label on the page: a plain-text editor whose text is the label's bytes.
//
// Text: setLabelText() takes the bytes of the label file and labelText() gives
// them back. As long as the shown text is the one that was set, the very same
// bytes come back (undefined Windows-1252 bytes, lone CR or LF included); once
// the operator has changed it, the text is encoded afresh with CR LF line breaks.
//
// Notifications: changed() on every edit that changes the text, never on
// setLabelText() or on font, alignment, margin, zoom or position changes;
// clicked() when the mouse is pressed on the label; focusEntered() when it
// gets the keyboard focus.
//
// Names: spine element n is "TXTextControl1_<n>", pocket element n
// "TXTextControl0_<n>" (objectName), element 1 being its array's template.
//
// Geometry: positions and sizes are twips on the page, shown at the screen's
// logical DPI. The zoom factor scales the drawing of the text (font and inner
// margins), never the control's size; the page layout moves the controls.
//
// Drawing: the text is drawn from the layout the sheet painter prints with
// (LabelTextLayout, in twips at zoom 100), so the label shows the lines the
// paper gets, broken at the same characters, down to the same last line, at
// every zoom. Clicks, the caret and the line keys (Up, Down, Home, End) follow
// that layout; editing, undo and the clipboard are the text editor's own.
// A text that does not fit is marked in the label's top right corner, on
// screen only, and the tooltip and accessible description say why.
class LabelControl : public QTextEdit {
    Q_OBJECT
  public:
    enum class Kind { Spine, Pocket };

    LabelControl(Kind kind, int element, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    // Element number in its control array; 1 is the hidden template.
    int element() const { return m_element; }
    // The value a click gives SelectedLabel: n for spine n, n + 40 for pocket n.
    int selectedLabelNumber() const;

    std::string labelText() const;
    void setLabelText(const std::string& bytes);
    // False when the text holds a character the label file cannot store.
    bool labelTextEncodable() const;
    // True when the shown text differs from the one last set.
    bool isEdited() const;

    // Selection in characters, a line break counting as one. Positions past
    // the end are taken as the end.
    int selectionStart() const;
    int selectionLength() const;
    QString selectedLabelText() const;  // line breaks as "\r\n"
    // Places the caret at `start` with nothing selected.
    void setSelectionStart(int start);
    // Selects `length` characters from the selection start.
    void setSelectionLength(int length);
    // Replaces the selection as typing would ("\r\n", "\r" or "\n" break lines);
    // this is an edit and sends changed().
    void replaceSelection(const QString& text);

    const LabelFont& labelFont() const { return m_font; }
    void setLabelFont(const LabelFont& font);
    int labelAlignment() const { return m_alignment; }
    void setLabelAlignment(int alignment);
    InnerMargins innerMargins() const { return m_margins; }
    void setInnerMargins(const InnerMargins& margins);
    int innerLeftMargin() const { return m_margins.left; }
    void setInnerLeftMargin(int twips);

    int zoomFactor() const { return m_zoom; }
    void setZoomFactor(int percent);

    double leftTwips() const { return m_left; }
    double topTwips() const { return m_top; }
    void moveTwips(double left, double top);
    int widthTwips() const { return m_width; }
    int heightTwips() const { return m_height; }
    void resizeTwips(int width, int height);

    // A new element of an array starts with its template's size, font,
    // alignment and inner margins.
    void copyFormatFrom(const LabelControl& templ);

    // The text as it shows, line breaks as '\n'.
    QString shownText() const;
    // The box, margins, font and alignment the text is laid out with.
    LabelFormat layoutFormat() const;
    // The lines the label shows (and prints).
    const LabelTextLayout& textLayout() const;
    // The text does not fit: it is marked so.
    bool overflowMarked() const;
    // The caret is drawn now: it blinks at the desktop's rate while the label
    // has the focus, and shows steadily for a moment after every move.
    bool caretShown() const;

  signals:
    void changed();
    void clicked();
    void focusEntered();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;

  private:
    class Quiet;

    void onTextChanged();
    void applyFont();
    void applyAlignment();
    void applyMargins();
    void applyGeometry();
    void setBorderColor(const QColor& color);
    void layoutChanged();
    void updateOverflowMark();
    void restartCaretBlink();
    void pastePrimarySelection(const QPointF& viewportPoint);
    void offerPrimarySelection();
    bool moveAlongLayout(QKeyEvent* event);
    int positionAtPixel(const QPointF& viewportPoint) const;
    double drawScaleX() const;
    double drawScaleY() const;
    double dpiX() const;
    double dpiY() const;

    Kind m_kind;
    int m_element;
    std::string m_bytes;  // what setLabelText() was given
    QString m_setText;    // the document's raw text right after that
    QString m_lastText;   // raw text at the last notification, to tell edits from formatting
    int m_quiet = 0;
    LabelFont m_font;
    int m_alignment = kAlignLeft;
    InnerMargins m_margins;
    int m_zoom = 100;
    double m_left = 0;
    double m_top = 0;
    int m_width = 0;
    int m_height = 0;
    mutable std::unique_ptr<LabelTextLayout> m_layout;  // made when first needed
    bool m_marked = false;
    bool m_selecting = false;  // the left button is down in the label
    QTimer* m_caretBlink = nullptr;
    bool m_caretOn = true;
};

}  // namespace lm

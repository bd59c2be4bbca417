#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "paint/labelsheet.h"

class QPainter;
class QTextLayout;

namespace lm {

// What a label's text is laid out in: its box, the margins inside it where no
// text goes, its font and its alignment. All lengths are twips.
struct LabelFormat {
    QSizeF boxSize;
    QMargins innerMargins;
    SheetFont font;
    int alignment = 0;  // 0 Left, 1 Right, 2 Centered, 3 Justified

    bool operator==(const LabelFormat& other) const;
    bool operator!=(const LabelFormat& other) const { return !(*this == other); }
};

LabelFormat labelFormat(const SheetLabel& label);

// The label font in twips: its pixel size is the point size times 20, with
// unhinted design metrics, so a line breaks at the same character on every
// device and at every resolution.
QFont labelTwipFont(const SheetFont& font);

// A label's text broken into lines for its box: the one layout that the
// label on screen and the sheet painter both draw, so the two cannot differ.
//
// Lines are laid out from the inner top margin down, each as high as the
// font (an empty line too), and only while the tops of a line's capitals
// lie inside the box (by a quarter point at least, or no ink would show):
// the last laid-out line may be cut by the box's bottom edge, and text below
// it is never laid out, so a long text costs no more than what shows.
// Positions are characters of the text, a line break ('\n') counting as one.
class LabelTextLayout {
  public:
    struct Line {
        int start = 0;   // position of its first character
        int length = 0;  // its characters, trailing spaces included, its line break not
        QRectF rect;     // twips from the box's top-left corner, as wide as the inner box
        bool wordBroken = false;  // it ends inside a word too long for a line
    };

    LabelTextLayout(const QString& text, const LabelFormat& format);
    ~LabelTextLayout();
    LabelTextLayout(const LabelTextLayout&) = delete;
    LabelTextLayout& operator=(const LabelTextLayout&) = delete;

    const QString& text() const { return m_text; }
    const LabelFormat& format() const { return m_format; }
    const std::vector<Line>& lines() const { return m_lines; }
    // The text of each line as it shows, trailing spaces removed.
    QStringList lineTexts() const;
    qreal lineHeight() const { return m_lineHeight; }

    // Printable text (not only spaces and line breaks) lies below the box's
    // bottom edge, or on a line that edge cuts.
    bool linesBelow() const { return m_linesBelow; }
    // A word had to be broken inside itself to fit a line.
    bool wordBroken() const;
    bool overflows() const { return linesBelow() || wordBroken(); }
    // The problem in a sentence for the operator; empty when the text fits.
    QString overflowDescription() const;

    // Draws the lines with the box's top-left corner at `origin` (twips in
    // the painter's coordinates), clipped to the box. `selectionStart` to
    // `selectionEnd` shows in the highlight colours; `cursor` >= 0 draws
    // the caret there.
    struct Highlight {
        int selectionStart = 0;
        int selectionEnd = 0;
        QColor highlight;
        QColor highlightedText;
        int cursor = -1;
        qreal cursorWidth = 0;  // twips
    };
    void draw(QPainter& painter, const QPointF& origin, const QColor& textColor,
              const Highlight& highlight) const;
    void draw(QPainter& painter, const QPointF& origin, const QColor& textColor) const;

    // The text position nearest to `point` (twips from the box's corner).
    int positionAt(const QPointF& point) const;
    // The line that holds `position`; -1 when it lies below the laid-out lines.
    int lineOf(int position) const;
    // Where the caret at `position` stands on its line, in twips from the box's
    // left edge; -1 when the position is not laid out.
    qreal cursorX(int position) const;
    // The position on line `line` nearest to `x` twips from the box's left edge.
    int positionOnLine(int line, qreal x) const;

  private:
    struct Paragraph;
    void layOut();

    QString m_text;
    LabelFormat m_format;
    qreal m_lineHeight = 0;
    std::vector<std::unique_ptr<Paragraph>> m_paragraphs;
    std::vector<Line> m_lines;
    std::vector<int> m_lineParagraph;  // paragraph index of each line
    bool m_linesBelow = false;
};

// The overflow of `text` laid out in `format`, as LabelTextLayout would find
// it (its overflowDescription(), empty when the text fits), without shaping
// the lines that plainly fit: checking a whole file costs little more than
// reading it.
QString labelOverflow(const QString& text, const LabelFormat& format);

}  // namespace lm

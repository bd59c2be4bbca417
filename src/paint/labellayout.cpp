#include "paint/labellayout.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

namespace lm {
namespace {

constexpr int kTwipsPerPoint = 20;

// An alignment outside 0 to 3 (unchecked from the settings file) is Left.
Qt::Alignment qtAlignment(int alignment) {
    switch (alignment) {
        case 1:
            return Qt::AlignRight;
        case 2:
            return Qt::AlignHCenter;
        case 3:
            return Qt::AlignJustify;
        default:
            return Qt::AlignLeft;
    }
}

// True when something that leaves ink follows `from`: blank lines and
// trailing spaces below a label's bottom lose nothing.
bool inkIn(const QString& text, int from, int to) {
    for (int i = std::max(0, from); i < std::min<int>(to, text.size()); ++i)
        if (!text.at(i).isSpace()) return true;
    return false;
}

bool inkFrom(const QString& text, int from) {
    return inkIn(text, from, text.size());
}

// Twips a line may reach past the bottom edge and still count as whole:
// what the rounding of the font's metrics leaves.
constexpr qreal kEdgeTolerance = 0.5;
// A line is drawn when the tops of its capitals lie inside the box by a
// quarter point at least; a line cut higher up would show no ink at all.
constexpr qreal kLeastShown = 5;

qreal lastTopOffset(const QFontMetricsF& metrics) {
    return std::max<qreal>(0, metrics.ascent() - metrics.capHeight()) + kLeastShown;
}

}  // namespace

struct LabelTextLayout::Paragraph {
    int start = 0;  // position of its first character in the whole text
    int firstLine = 0;
    int lineCount = 0;
    QTextLayout layout;
};

bool LabelFormat::operator==(const LabelFormat& o) const {
    return boxSize == o.boxSize && innerMargins == o.innerMargins && font == o.font &&
           alignment == o.alignment;
}

LabelFormat labelFormat(const SheetLabel& label) {
    return {label.box.size(), label.innerMargins, label.font, label.alignment};
}

QFont labelTwipFont(const SheetFont& sheetFont) {
    QFont font(sheetFont.name);
    // A size of zero or less (a hand-edited settings file) still shows, at
    // the smallest size, rather than at some default the operator never chose.
    font.setPixelSize(std::max(1, sheetFont.pointSize) * kTwipsPerPoint);
    font.setBold(sheetFont.bold);
    font.setItalic(sheetFont.italic);
    font.setStrikeOut(sheetFont.strikethrough);
    font.setUnderline(sheetFont.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

LabelTextLayout::LabelTextLayout(const QString& text, const LabelFormat& format)
    : m_text(text), m_format(format) {
    layOut();
}

LabelTextLayout::~LabelTextLayout() = default;

void LabelTextLayout::layOut() {
    const QFont font = labelTwipFont(m_format.font);
    // Every line, an empty one too, takes the font's height; Qt would give an
    // empty line a slightly different one.
    const QFontMetricsF metrics(font);
    m_lineHeight = metrics.ascent() + metrics.descent();
    const QRectF inner = QRectF(QPointF(0, 0), m_format.boxSize)
                             .marginsRemoved(QMarginsF(m_format.innerMargins));
    const qreal lineWidth = std::max<qreal>(0, inner.width());
    const qreal bottom = m_format.boxSize.height();
    const qreal lastTop = bottom - lastTopOffset(metrics);
    QTextOption option(qtAlignment(m_format.alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Unhinted advances: line breaks must not depend on the device.
    option.setUseDesignMetrics(true);

    qreal y = inner.top();
    int start = 0;
    while (start <= m_text.size()) {
        if (y >= lastTop) {
            m_linesBelow = m_linesBelow || inkFrom(m_text, start);
            return;
        }
        int end = m_text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = m_text.size();
        auto paragraph = std::make_unique<Paragraph>();
        paragraph->start = start;
        paragraph->firstLine = static_cast<int>(m_lines.size());
        QTextLayout& layout = paragraph->layout;
        layout.setText(m_text.mid(start, end - start));
        layout.setFont(font);
        layout.setTextOption(option);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        int laidOutTo = 0;  // end of the last line, in the paragraph
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(lineWidth);
            line.setPosition(QPointF(0, y));
            Line shown;
            shown.start = start + line.textStart();
            shown.length = line.textLength();
            shown.rect = QRectF(inner.left(), y, lineWidth, m_lineHeight);
            m_lines.push_back(shown);
            m_lineParagraph.push_back(static_cast<int>(m_paragraphs.size()));
            ++paragraph->lineCount;
            laidOutTo = line.textStart() + line.textLength();
            y += m_lineHeight;
            if (y >= lastTop) break;
        }
        layout.endLayout();
        // A line that ends where no line may break ends inside a word.
        const QString& words = layout.text();
        if (paragraph->lineCount > 0 && laidOutTo > 0) {
            QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, words);
            for (int i = paragraph->firstLine; i < static_cast<int>(m_lines.size()); ++i) {
                const int at = m_lines[i].start - start + m_lines[i].length;
                if (at <= 0 || at >= words.size()) continue;
                breaks.setPosition(at);
                m_lines[i].wordBroken = !breaks.isAtBoundary();
            }
        }
        // A line the bottom edge cuts prints only in part.
        if (y > bottom + kEdgeTolerance && !m_linesBelow && !m_lines.empty()) {
            const Line& last = m_lines.back();
            m_linesBelow = inkIn(m_text, last.start, last.start + last.length);
        }
        m_paragraphs.push_back(std::move(paragraph));
        if (y >= lastTop && start + laidOutTo < end) {
            m_linesBelow = m_linesBelow || inkFrom(m_text, start + laidOutTo);
            return;
        }
        start = end + 1;
    }
}

QStringList LabelTextLayout::lineTexts() const {
    QStringList texts;
    for (const Line& line : m_lines) {
        QString text = m_text.mid(line.start, line.length);
        while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
        texts << text;
    }
    return texts;
}

bool LabelTextLayout::wordBroken() const {
    return std::any_of(m_lines.begin(), m_lines.end(),
                       [](const Line& line) { return line.wordBroken; });
}

QString LabelTextLayout::overflowDescription() const {
    if (linesBelow() && wordBroken())
        return QStringLiteral(
            "The text does not fit its label: it runs past the bottom edge, and a word is broken "
            "inside itself.");
    if (linesBelow())
        return QStringLiteral(
            "The text does not fit its label: it runs past the bottom edge.");
    if (wordBroken())
        return QStringLiteral("The text does not fit its label: a word is broken inside itself.");
    return QString();
}

void LabelTextLayout::draw(QPainter& painter, const QPointF& origin,
                           const QColor& textColor) const {
    draw(painter, origin, textColor, Highlight());
}

void LabelTextLayout::draw(QPainter& painter, const QPointF& origin, const QColor& textColor,
                           const Highlight& highlight) const {
    if (m_lines.empty()) return;
    const QPointF at = origin + QPointF(m_format.innerMargins.left(), 0);
    painter.save();
    painter.setClipRect(QRectF(origin, m_format.boxSize), Qt::IntersectClip);
    painter.setPen(textColor);
    QTextCharFormat selected;
    selected.setBackground(highlight.highlight);
    selected.setForeground(highlight.highlightedText);
    for (const auto& paragraph : m_paragraphs) {
        const int length = static_cast<int>(paragraph->layout.text().size());
        QList<QTextLayout::FormatRange> selections;
        const int from = std::max(highlight.selectionStart, paragraph->start);
        const int to = std::min(highlight.selectionEnd, paragraph->start + length);
        if (to > from) selections.append({from - paragraph->start, to - from, selected});
        paragraph->layout.draw(&painter, at, selections);
        const int cursor = highlight.cursor - paragraph->start;
        if (highlight.cursor >= 0 && lineOf(highlight.cursor) >= 0 && cursor >= 0 &&
            cursor <= length)
            paragraph->layout.drawCursor(&painter, at, cursor,
                                         std::max(1, int(std::lround(highlight.cursorWidth))));
    }
    painter.restore();
}

int LabelTextLayout::lineOf(int position) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        const int end = line.start + line.length;
        if (position < line.start) return -1;
        if (position < end) return static_cast<int>(i);
        // A line's end belongs to it when no line of its paragraph follows.
        const Paragraph& p = *m_paragraphs[m_lineParagraph[i]];
        const int paragraphEnd = p.start + static_cast<int>(p.layout.text().size());
        if (position == end && end == paragraphEnd) return static_cast<int>(i);
    }
    return -1;
}

qreal LabelTextLayout::cursorX(int position) const {
    const int line = lineOf(position);
    if (line < 0) return -1;
    const Paragraph& p = *m_paragraphs[m_lineParagraph[line]];
    const QTextLine text = p.layout.lineAt(line - p.firstLine);
    return m_format.innerMargins.left() + text.cursorToX(position - p.start);
}

int LabelTextLayout::positionOnLine(int line, qreal x) const {
    if (line < 0 || line >= static_cast<int>(m_lines.size())) return 0;
    const Paragraph& p = *m_paragraphs[m_lineParagraph[line]];
    const QTextLine text = p.layout.lineAt(line - p.firstLine);
    return p.start + text.xToCursor(x - m_format.innerMargins.left());
}

int LabelTextLayout::positionAt(const QPointF& point) const {
    if (m_lines.empty()) return 0;
    int line = static_cast<int>(m_lines.size()) - 1;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (point.y() < m_lines[i].rect.bottom()) {
            line = static_cast<int>(i);
            break;
        }
    }
    return positionOnLine(line, point.x());
}

namespace {

// Advances of one font, in twips, remembered per character.
class AdvanceTable {
  public:
    explicit AdvanceTable(const QFont& font) : m_metrics(font) {
        m_lineHeight = m_metrics.ascent() + m_metrics.descent();
        m_lastTopOffset = lm::lastTopOffset(m_metrics);
    }
    qreal lineHeight() const { return m_lineHeight; }
    qreal lastTopOffset() const { return m_lastTopOffset; }
    qreal advance(QChar c) {
        auto found = m_advances.constFind(c.unicode());
        if (found != m_advances.constEnd()) return *found;
        const qreal width = m_metrics.horizontalAdvance(c);
        m_advances.insert(c.unicode(), width);
        return width;
    }

  private:
    QFontMetricsF m_metrics;
    qreal m_lineHeight = 0;
    qreal m_lastTopOffset = 0;
    QHash<char16_t, qreal> m_advances;
};

AdvanceTable& advanceTable(const SheetFont& font) {
    static QHash<QString, std::shared_ptr<AdvanceTable>> tables;
    const QString key = font.name + QLatin1Char('/') + QString::number(font.pointSize) +
                        QLatin1Char(font.bold ? 'b' : '-') + QLatin1Char(font.italic ? 'i' : '-');
    std::shared_ptr<AdvanceTable>& table = tables[key];
    if (!table) table = std::make_shared<AdvanceTable>(labelTwipFont(font));
    return *table;
}

// Kerning and shaping move a line's width by a few hundredths at most; a
// paragraph whose plain advances stay below this share of the line surely
// takes one line.
constexpr qreal kSureFit = 0.9;

}  // namespace

QString labelOverflow(const QString& text, const LabelFormat& format) {
    AdvanceTable& advances = advanceTable(format.font);
    const QRectF inner =
        QRectF(QPointF(0, 0), format.boxSize).marginsRemoved(QMarginsF(format.innerMargins));
    const qreal sureWidth = std::max<qreal>(0, inner.width()) * kSureFit;
    const qreal bottom = format.boxSize.height();
    const qreal lastTop = bottom - advances.lastTopOffset();
    const qreal lineHeight = advances.lineHeight();
    // The same walk down the box as the layout's, one line per paragraph.
    qreal y = inner.top();
    int start = 0;
    while (start <= text.size()) {
        if (y >= lastTop) {
            if (!inkFrom(text, start)) return QString();
            return LabelTextLayout(text, format).overflowDescription();
        }
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        qreal width = 0;
        for (int i = start; i < end && width <= sureWidth; ++i) width += advances.advance(text.at(i));
        if (width > sureWidth) return LabelTextLayout(text, format).overflowDescription();
        y += lineHeight;
        if (y > bottom + kEdgeTolerance && inkIn(text, start, end))
            return LabelTextLayout(text, format).overflowDescription();
        start = end + 1;
    }
    return QString();
}

}  // namespace lm

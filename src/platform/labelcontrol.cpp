#include "platform/labelcontrol.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QStyleHints>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextOption>

#include <algorithm>
#include <cmath>

#include "platform/labeltextcodec.h"
#include "platform/twips.h"

namespace lm {
namespace {

const QColor kBorder(0xC8, 0xC8, 0xC8);
const QColor kFocusBorder(0x33, 0x7A, 0xD6);
// The overflow mark: a corner triangle in a colour no label is printed in
// (the mark itself never reaches paper).
const QColor kOverflowMark(0xE0, 0x10, 0x80);
constexpr int kOverflowMarkPixels = 9;

Qt::Alignment qtAlignment(int alignment) {
    switch (alignment) {
        case kAlignRight:
            return Qt::AlignRight;
        case kAlignCentered:
            return Qt::AlignHCenter;
        case kAlignJustified:
            return Qt::AlignJustify;
        default:
            return Qt::AlignLeft;
    }
}

// Line breaks as typing makes them: CR LF, a lone CR and a lone LF are one break each.
QString normalizeBreaks(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

}  // namespace

// Holds back the change notification while the program, not the operator,
// changes the document.
class LabelControl::Quiet {
  public:
    explicit Quiet(LabelControl& control) : m_control(control) { ++m_control.m_quiet; }
    ~Quiet() { --m_control.m_quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

  private:
    LabelControl& m_control;
};

LabelControl::LabelControl(Kind kind, int element, QWidget* parent)
    : QTextEdit(parent), m_kind(kind), m_element(element) {
    setObjectName(QStringLiteral("%1_%2")
                      .arg(kind == Kind::Spine ? QStringLiteral("TXTextControl1")
                                               : QStringLiteral("TXTextControl0"))
                      .arg(element));
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    document()->setDocumentMargin(0);

    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setBorderColor(kBorder);

    connect(this, &QTextEdit::textChanged, this, &LabelControl::onTextChanged);
    connect(document(), &QTextDocument::contentsChanged, this, &LabelControl::layoutChanged);
    // The editor repaints only what its own layout covers; the label's lines
    // come from the shared layout, so every caret move repaints the label.
    connect(this, &QTextEdit::cursorPositionChanged, viewport(),
            qOverload<>(&QWidget::update));
    connect(this, &QTextEdit::selectionChanged, viewport(), qOverload<>(&QWidget::update));
    // The editor's own caret is never drawn (the label draws its lines
    // itself), so the label blinks its caret on its own timer.
    m_caretBlink = new QTimer(this);
    connect(m_caretBlink, &QTimer::timeout, this, [this] {
        m_caretOn = !m_caretOn;
        viewport()->update();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, &LabelControl::restartCaretBlink);
    applyFont();
    applyAlignment();
    applyMargins();
}

int LabelControl::selectedLabelNumber() const {
    return m_kind == Kind::Spine ? m_element : m_element + 40;
}

std::string LabelControl::labelText() const {
    QString raw = document()->toRawText();
    if (raw == m_setText) return m_bytes;
    return labelTextToBytes(raw);
}

void LabelControl::setLabelText(const std::string& bytes) {
    Quiet quiet(*this);
    m_bytes = bytes;
    setPlainText(labelBytesToText(bytes));  // also empties the undo history
    m_setText = document()->toRawText();
    m_lastText = m_setText;
}

bool LabelControl::labelTextEncodable() const {
    return !isEdited() || lm::labelTextEncodable(document()->toRawText());
}

bool LabelControl::isEdited() const {
    return document()->toRawText() != m_setText;
}

int LabelControl::selectionStart() const {
    return textCursor().selectionStart();
}

int LabelControl::selectionLength() const {
    QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QString LabelControl::selectedLabelText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void LabelControl::setSelectionStart(int start) {
    int end = document()->characterCount() - 1;
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, end));
    setTextCursor(cursor);
}

void LabelControl::setSelectionLength(int length) {
    int end = document()->characterCount() - 1;
    QTextCursor cursor = textCursor();
    int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + std::max(length, 0), start, end),
                       QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void LabelControl::replaceSelection(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.insertText(normalizeBreaks(text));
    setTextCursor(cursor);
}

void LabelControl::setLabelFont(const LabelFont& font) {
    m_font = font;
    applyFont();
}

void LabelControl::setLabelAlignment(int alignment) {
    m_alignment = alignment;
    applyAlignment();
}

void LabelControl::setInnerMargins(const InnerMargins& margins) {
    m_margins = margins;
    applyMargins();
}

void LabelControl::setInnerLeftMargin(int twips) {
    m_margins.left = twips;
    applyMargins();
}

void LabelControl::setZoomFactor(int percent) {
    if (percent <= 0 || percent == m_zoom) return;
    m_zoom = percent;
    applyFont();
    applyMargins();
}

void LabelControl::moveTwips(double left, double top) {
    m_left = left;
    m_top = top;
    applyGeometry();
}

void LabelControl::resizeTwips(int width, int height) {
    m_width = width;
    m_height = height;
    applyGeometry();
    layoutChanged();
}

void LabelControl::copyFormatFrom(const LabelControl& templ) {
    m_font = templ.m_font;
    m_alignment = templ.m_alignment;
    m_margins = templ.m_margins;
    m_zoom = templ.m_zoom;
    m_width = templ.m_width;
    m_height = templ.m_height;
    applyFont();
    applyAlignment();
    applyMargins();
    applyGeometry();
    layoutChanged();
}

QString LabelControl::shownText() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

LabelFormat LabelControl::layoutFormat() const {
    LabelFormat format;
    format.boxSize = QSizeF(m_width, m_height);
    format.innerMargins = QMargins(m_margins.left, m_margins.top, m_margins.right, m_margins.bottom);
    // Paper takes whole points, and so does the screen, or they would differ.
    format.font = {m_font.name,
                   static_cast<int>(std::lround(m_font.size)),
                   m_font.bold,
                   m_font.italic,
                   m_font.strikethrough,
                   m_font.underline,
                   static_cast<std::uint32_t>(m_font.color)};
    format.alignment = m_alignment;
    return format;
}

const LabelTextLayout& LabelControl::textLayout() const {
    if (!m_layout) m_layout = std::make_unique<LabelTextLayout>(shownText(), layoutFormat());
    return *m_layout;
}

bool LabelControl::overflowMarked() const {
    return m_marked;
}

void LabelControl::layoutChanged() {
    m_layout.reset();
    updateOverflowMark();
    viewport()->update();
}

void LabelControl::updateOverflowMark() {
    const QString problem = textLayout().overflowDescription();
    const bool marked = !problem.isEmpty();
    if (marked == m_marked && toolTip() == problem) return;
    m_marked = marked;
    setToolTip(problem);
    setAccessibleDescription(problem);
    update();
}

double LabelControl::drawScaleX() const {
    return dpiX() / kTwipsPerInch * m_zoom / 100.0;
}

double LabelControl::drawScaleY() const {
    return dpiY() / kTwipsPerInch * m_zoom / 100.0;
}

void LabelControl::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    // Draw in the label's own coordinates: the box starts at its corner,
    // under the frame, as it does on paper.
    painter.translate(-viewport()->pos());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(drawScaleX(), drawScaleY());
    const QTextCursor cursor = textCursor();
    LabelTextLayout::Highlight highlight;
    highlight.selectionStart = cursor.selectionStart();
    highlight.selectionEnd = cursor.selectionEnd();
    const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
    highlight.highlight = palette().color(group, QPalette::Highlight);
    highlight.highlightedText = palette().color(group, QPalette::HighlightedText);
    if (caretShown()) {
        highlight.cursor = cursor.position();
        highlight.cursorWidth = 1.0 / drawScaleX();
    }
    textLayout().draw(painter, QPointF(0, 0), m_font.qColor(), highlight);
    painter.restore();
    if (m_marked) {
        const qreal right = width() - frameWidth();
        const qreal top = frameWidth();
        QPainterPath corner;
        corner.moveTo(right - kOverflowMarkPixels, top);
        corner.lineTo(right, top);
        corner.lineTo(right, top + kOverflowMarkPixels);
        corner.closeSubpath();
        painter.fillPath(corner, kOverflowMark);
    }
}

int LabelControl::positionAtPixel(const QPointF& viewportPoint) const {
    const QPointF inLabel = viewportPoint + QPointF(viewport()->pos());
    return textLayout().positionAt(
        QPointF(inLabel.x() / drawScaleX(), inLabel.y() / drawScaleY()));
}

void LabelControl::mousePressEvent(QMouseEvent* event) {
    emit clicked();
    event->accept();
    if (event->button() == Qt::MiddleButton) return pastePrimarySelection(event->position());
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    QTextCursor cursor = textCursor();
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    cursor.setPosition(positionAtPixel(event->position()),
                       extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
    m_selecting = true;
}

void LabelControl::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!m_selecting || !(event->buttons() & Qt::LeftButton)) return;
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionAtPixel(event->position()), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void LabelControl::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (!m_selecting || event->button() != Qt::LeftButton) return;
    m_selecting = false;
    offerPrimarySelection();
}

// As in any text field of the desktop, what the mouse selects becomes the
// primary selection.
void LabelControl::offerPrimarySelection() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && textCursor().hasSelection())
        clipboard->setText(shownText().mid(textCursor().selectionStart(),
                                           textCursor().selectionEnd() -
                                               textCursor().selectionStart()),
                           QClipboard::Selection);
}

// The middle button pastes the primary selection where it is pressed, as in
// every text field of the desktop; a platform without one pastes nothing.
void LabelControl::pastePrimarySelection(const QPointF& viewportPoint) {
    if (isReadOnly()) return;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) return;
    const QString text = clipboard->text(QClipboard::Selection);
    if (text.isEmpty()) return;
    setFocus(Qt::MouseFocusReason);
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionAtPixel(viewportPoint));
    setTextCursor(cursor);
    textCursor().insertText(normalizeBreaks(text));
}

// Text dragged onto the label goes where the label's own lines put the
// pointer; the editor's hidden layout would place it elsewhere.
void LabelControl::dragMoveEvent(QDragMoveEvent* event) {
    if (isReadOnly() || !canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionAtPixel(event->position()));
    setTextCursor(cursor);
    event->acceptProposedAction();
}

void LabelControl::dropEvent(QDropEvent* event) {
    if (isReadOnly() || !canInsertFromMimeData(event->mimeData())) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionAtPixel(event->position()));
    setTextCursor(cursor);
    insertFromMimeData(event->mimeData());
    // Dropped text is copied: the label never takes it from its source.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

bool LabelControl::caretShown() const {
    return hasFocus() && !isReadOnly() && m_caretOn;
}

void LabelControl::restartCaretBlink() {
    m_caretOn = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_caretBlink->start(flash / 2);
    else
        m_caretBlink->stop();
    viewport()->update();
}

void LabelControl::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionAtPixel(event->position()));
    cursor.select(QTextCursor::WordUnderCursor);
    setTextCursor(cursor);
    m_selecting = false;
    offerPrimarySelection();
}

void LabelControl::keyPressEvent(QKeyEvent* event) {
    if (moveAlongLayout(event)) return;
    QTextEdit::keyPressEvent(event);
}

// Up, Down, Home and End (with Shift: extending the selection) go by the
// lines the label shows. Anything else, or a move out of the laid-out lines,
// is the editor's.
bool LabelControl::moveAlongLayout(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool extend = modifiers == Qt::ShiftModifier;
    if (modifiers != Qt::NoModifier && !extend) return false;
    const int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Home && key != Qt::Key_End)
        return false;
    const LabelTextLayout& layout = textLayout();
    QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const int line = layout.lineOf(position);
    if (line < 0) return false;
    const int lineCount = static_cast<int>(layout.lines().size());
    const LabelTextLayout::Line& shown = layout.lines()[line];
    int target = position;
    switch (key) {
        case Qt::Key_Up:
            if (line == 0) return false;
            target = layout.positionOnLine(line - 1, layout.cursorX(position));
            break;
        case Qt::Key_Down:
            if (line + 1 >= lineCount) return false;
            target = layout.positionOnLine(line + 1, layout.cursorX(position));
            break;
        case Qt::Key_Home:
            target = shown.start;
            break;
        default:
            target = shown.start + shown.length;
            // The end of a wrapped line is where the next one starts; stay
            // before its last character so the caret stays on this line.
            if (layout.lineOf(target) != line && target > shown.start) --target;
            break;
    }
    cursor.setPosition(target, extend ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    setTextCursor(cursor);
    return true;
}

// The label never scrolls: like the paper, it shows its text from the top.
void LabelControl::scrollContentsBy(int, int) {
    viewport()->update();
}

void LabelControl::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    setBorderColor(kFocusBorder);
    restartCaretBlink();
    emit focusEntered();
}

void LabelControl::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    setBorderColor(kBorder);
    restartCaretBlink();
}

// Labels hold plain text only: whatever is pasted or dropped arrives as text.
void LabelControl::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    textCursor().insertText(normalizeBreaks(source->text()));
    ensureCursorVisible();
}

bool LabelControl::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

void LabelControl::onTextChanged() {
    if (m_quiet) return;
    // Format changes reach this signal too; only a change of the text is an edit.
    QString raw = document()->toRawText();
    if (raw == m_lastText) return;
    m_lastText = raw;
    emit changed();
}

void LabelControl::applyFont() {
    {
        Quiet quiet(*this);
        setFont(m_font.toQFont(m_zoom));
        QPalette pal = palette();
        pal.setColor(QPalette::Text, m_font.qColor());
        setPalette(pal);
    }
    layoutChanged();
}

void LabelControl::applyAlignment() {
    {
        Quiet quiet(*this);
        QTextOption option = document()->defaultTextOption();
        option.setAlignment(qtAlignment(m_alignment));
        document()->setDefaultTextOption(option);
    }
    layoutChanged();
}

// The shared layout keeps the inner margins; the editor's own layout,
// which draws nothing, keeps them in its frame so its lines stay alike.
void LabelControl::applyMargins() {
    {
        Quiet quiet(*this);
        const double scale = m_zoom / 100.0;
        QTextFrameFormat frame = document()->rootFrame()->frameFormat();
        frame.setLeftMargin(twipsToPixelsF(m_margins.left * scale, dpiX()));
        frame.setTopMargin(twipsToPixelsF(m_margins.top * scale, dpiY()));
        frame.setRightMargin(twipsToPixelsF(m_margins.right * scale, dpiX()));
        frame.setBottomMargin(twipsToPixelsF(m_margins.bottom * scale, dpiY()));
        document()->rootFrame()->setFrameFormat(frame);
    }
    layoutChanged();
}

void LabelControl::applyGeometry() {
    setGeometry(twipsToPixels(m_left, dpiX()), twipsToPixels(m_top, dpiY()),
                twipsToPixels(m_width, dpiX()), twipsToPixels(m_height, dpiY()));
}

void LabelControl::setBorderColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

double LabelControl::dpiX() const {
    return logicalDpiX();
}
double LabelControl::dpiY() const {
    return logicalDpiY();
}

}  // namespace lm

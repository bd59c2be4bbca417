#include "platform/labelcontrol.h"

#include <QAbstractTextDocumentLayout>
#include <QFocusEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>

#include "platform/labeltextcodec.h"
#include "platform/twips.h"

namespace lm {
namespace {

const QColor kBorder(0xC8, 0xC8, 0xC8);
const QColor kFocusBorder(0x33, 0x7A, 0xD6);

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
}

void LabelControl::mousePressEvent(QMouseEvent* event) {
    emit clicked();
    QTextEdit::mousePressEvent(event);
}

void LabelControl::focusInEvent(QFocusEvent* event) {
    QTextEdit::focusInEvent(event);
    setBorderColor(kFocusBorder);
    emit focusEntered();
}

void LabelControl::focusOutEvent(QFocusEvent* event) {
    QTextEdit::focusOutEvent(event);
    setBorderColor(kBorder);
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
    Quiet quiet(*this);
    setFont(m_font.toQFont(m_zoom));
    QPalette pal = palette();
    pal.setColor(QPalette::Text, m_font.qColor());
    setPalette(pal);
}

void LabelControl::applyAlignment() {
    Quiet quiet(*this);
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(qtAlignment(m_alignment));
    document()->setDefaultTextOption(option);
}

void LabelControl::applyMargins() {
    double scale = m_zoom / 100.0;
    setViewportMargins(twipsToPixels(m_margins.left * scale, dpiX()),
                       twipsToPixels(m_margins.top * scale, dpiY()),
                       twipsToPixels(m_margins.right * scale, dpiX()),
                       twipsToPixels(m_margins.bottom * scale, dpiY()));
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

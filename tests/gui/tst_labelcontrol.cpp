#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>

#include <string>

#include "platform/labelcontrol.h"
#include "platform/twips.h"

using lm::LabelControl;

namespace {

QByteArray bytesOf(const std::string& s) {
    return QByteArray(s.data(), qsizetype(s.size()));
}
std::string stringOf(const QByteArray& b) {
    return std::string(b.constData(), std::size_t(b.size()));
}

// Every byte value once, in order.
QByteArray allBytes() {
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) bytes += char(i);
    return bytes;
}

}  // namespace

class TestLabelControl : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

    void untouchedTextGivesBackItsBytes_data();
    void untouchedTextGivesBackItsBytes();
    void editedTextIsWrittenWithCrLf_data();
    void editedTextIsWrittenWithCrLf();
    void textEditedBackToTheOriginalGivesTheOriginalBytes();
    void undefinedBytesSurviveAnEdit();
    void settingTextDoesNotNotify();
    void formattingDoesNotNotify();
    void typingNotifies();
    void characterOutsideTheCodePageIsFlagged();
    void selectionStartLengthAndText();
    void selectionPastTheEndIsTakenAsTheEnd();
    void replacingTheSelectionIsAnEdit();
    void pasteInsertsPlainText();
    void zoomScalesTheTextNotTheControl();
    void alignmentAppliesToEveryLine_data();
    void alignmentAppliesToEveryLine();
    void placementIsInTwips();
    void clickNotifies();
    void newElementsCopyTheirTemplate();

  private:
    int pixelsFor(double twips) const { return lm::twipsToPixels(twips, m_label->logicalDpiX()); }

    LabelControl* m_label = nullptr;
    QWidget* m_host = nullptr;
};

void TestLabelControl::init() {
    m_host = new QWidget;
    m_host->resize(800, 600);
    m_label = new LabelControl(LabelControl::Kind::Spine, 3, m_host);
    m_label->resizeTwips(2880, 2160);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
}

void TestLabelControl::cleanup() {
    delete m_host;
    m_host = nullptr;
    m_label = nullptr;
}

void TestLabelControl::untouchedTextGivesBackItsBytes_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CR LF") << QByteArray("FIC\r\nSMI\r\n2004");
    QTest::newRow("lone CR") << QByteArray("FIC\rSMI");
    QTest::newRow("LF CR") << QByteArray("A\n\rB");
    QTest::newRow("every byte") << allBytes();
}

void TestLabelControl::untouchedTextGivesBackItsBytes() {
    QFETCH(QByteArray, bytes);
    m_label->setLabelText(stringOf(bytes));
    QCOMPARE(bytesOf(m_label->labelText()), bytes);
    QVERIFY(!m_label->isEdited());
    QVERIFY(m_label->labelTextEncodable());
}

void TestLabelControl::editedTextIsWrittenWithCrLf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("edited");
    QTest::newRow("lone CR") << QByteArray("A\rB") << QByteArray("A\r\nBx");
    QTest::newRow("lone LF") << QByteArray("A\nB") << QByteArray("A\r\nBx");
    QTest::newRow("non-breaking space kept") << QByteArray(
                                                    "1\xa0"
                                                    "2")
                                             << QByteArray(
                                                    "1\xa0"
                                                    "2x");
    QTest::newRow("trailing break") << QByteArray("A\r") << QByteArray("A\r\nx");
}

void TestLabelControl::editedTextIsWrittenWithCrLf() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, edited);
    m_label->setLabelText(stringOf(bytes));
    m_label->setFocus();
    m_label->moveCursor(QTextCursor::End);
    QTest::keyClick(m_label, Qt::Key_X);
    QVERIFY(m_label->isEdited());
    QCOMPARE(bytesOf(m_label->labelText()), edited);
}

void TestLabelControl::textEditedBackToTheOriginalGivesTheOriginalBytes() {
    m_label->setLabelText("A\rB\n\x81");
    m_label->setFocus();
    m_label->moveCursor(QTextCursor::End);
    QTest::keyClick(m_label, Qt::Key_X);
    QTest::keyClick(m_label, Qt::Key_Backspace);
    QCOMPARE(bytesOf(m_label->labelText()), QByteArray("A\rB\n\x81"));
}

void TestLabelControl::undefinedBytesSurviveAnEdit() {
    m_label->setLabelText("\x81\x8d\x8f\x90\x9d\x80");
    m_label->setFocus();
    m_label->moveCursor(QTextCursor::End);
    QTest::keyClick(m_label, Qt::Key_Z);
    QCOMPARE(bytesOf(m_label->labelText()), QByteArray("\x81\x8d\x8f\x90\x9d\x80z"));
    QVERIFY(m_label->labelTextEncodable());
}

void TestLabelControl::settingTextDoesNotNotify() {
    QSignalSpy changed(m_label, &LabelControl::changed);
    m_label->setLabelText("FIC\r\nSMI");
    m_label->setLabelText("");
    m_label->setLabelText(stringOf(allBytes()));
    QCOMPARE(changed.count(), 0);
}

void TestLabelControl::formattingDoesNotNotify() {
    m_label->setLabelText("FIC\r\nSMI");
    QSignalSpy changed(m_label, &LabelControl::changed);
    lm::LabelFont font;
    font.name = QStringLiteral("Liberation Sans");
    font.size = 14;
    font.bold = true;
    font.underline = true;
    m_label->setLabelFont(font);
    m_label->setLabelAlignment(lm::kAlignCentered);
    m_label->setInnerMargins({100, 144, 144, 144});
    m_label->setZoomFactor(200);
    m_label->moveTwips(500, 700);
    m_label->setSelectionStart(1);
    m_label->setSelectionLength(2);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!m_label->isEdited());
}

void TestLabelControl::typingNotifies() {
    m_label->setLabelText("FIC");
    QSignalSpy changed(m_label, &LabelControl::changed);
    m_label->setFocus();
    QTest::keyClicks(m_label, QStringLiteral("ab"));
    QCOMPARE(changed.count(), 2);
    QTest::keyClick(m_label, Qt::Key_Backspace);
    QCOMPARE(changed.count(), 3);
}

void TestLabelControl::characterOutsideTheCodePageIsFlagged() {
    m_label->setLabelText("A");
    m_label->moveCursor(QTextCursor::End);
    m_label->replaceSelection(QStringLiteral("\u0142\u4e2d"));
    QVERIFY(!m_label->labelTextEncodable());
    QCOMPARE(bytesOf(m_label->labelText()), QByteArray("A??"));
    m_label->setLabelText("B");
    QVERIFY(m_label->labelTextEncodable());
}

void TestLabelControl::selectionStartLengthAndText() {
    m_label->setLabelText("FIC\r\nSMI");
    m_label->setSelectionStart(2);
    QCOMPARE(m_label->selectionStart(), 2);
    QCOMPARE(m_label->selectionLength(), 0);
    m_label->setSelectionLength(3);  // "C", the line break, "S"
    QCOMPARE(m_label->selectionLength(), 3);
    QCOMPARE(m_label->selectedLabelText(), QStringLiteral("C\r\nS"));
    m_label->setSelectionStart(0);
    QCOMPARE(m_label->selectionLength(), 0);
}

void TestLabelControl::selectionPastTheEndIsTakenAsTheEnd() {
    m_label->setLabelText("");
    m_label->setSelectionStart(1);
    QCOMPARE(m_label->selectionStart(), 0);
    m_label->setLabelText("AB");
    m_label->setSelectionStart(1);
    m_label->setSelectionLength(10);
    QCOMPARE(m_label->selectionStart(), 1);
    QCOMPARE(m_label->selectionLength(), 1);
}

void TestLabelControl::replacingTheSelectionIsAnEdit() {
    m_label->setLabelText("FIC\r\nSMI");
    QSignalSpy changed(m_label, &LabelControl::changed);
    m_label->setSelectionStart(0);
    m_label->setSelectionLength(3);
    m_label->replaceSelection(QStringLiteral("REF\r\nQ"));
    QCOMPARE(bytesOf(m_label->labelText()), QByteArray("REF\r\nQ\r\nSMI"));
    QVERIFY(changed.count() >= 1);
}

void TestLabelControl::pasteInsertsPlainText() {
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>bold</b> <i>words</i>"));
    mime->setText(QStringLiteral("bold\r\nwords"));
    QApplication::clipboard()->setMimeData(mime);
    m_label->setLabelText("");
    m_label->paste();
    QCOMPARE(bytesOf(m_label->labelText()), QByteArray("bold\r\nwords"));
    // No character of the label carries a weight or slant of its own.
    for (QTextBlock block = m_label->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(!format.hasProperty(QTextFormat::FontWeight));
            QVERIFY(!format.hasProperty(QTextFormat::FontItalic));
        }
    }
}

void TestLabelControl::zoomScalesTheTextNotTheControl() {
    lm::LabelFont font;
    font.size = 11;
    m_label->setLabelFont(font);
    m_label->setInnerMargins({144, 144, 144, 144});
    QSize size = m_label->size();
    QRect textArea = m_label->viewport()->geometry();
    double points = m_label->font().pointSizeF();
    QCOMPARE(points, 11.0);

    m_label->setZoomFactor(200);
    QCOMPARE(m_label->size(), size);
    QCOMPARE(m_label->font().pointSizeF(), 22.0);
    QCOMPARE(m_label->viewport()->x() - m_label->frameWidth(), pixelsFor(288));
    QCOMPARE(m_label->viewport()->y() - m_label->frameWidth(), pixelsFor(288));

    m_label->setZoomFactor(50);
    QCOMPARE(m_label->size(), size);
    QCOMPARE(m_label->font().pointSizeF(), 5.5);
    QCOMPARE(m_label->labelFont().size, 11.0);

    m_label->setZoomFactor(100);
    QCOMPARE(m_label->viewport()->geometry(), textArea);
}

void TestLabelControl::alignmentAppliesToEveryLine_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<double>("from");  // where the line's first character may start,
    QTest::addColumn<double>("to");    // as a share of the text width
    QTest::newRow("left") << int(lm::kAlignLeft) << 0.0 << 0.05;
    QTest::newRow("right") << int(lm::kAlignRight) << 0.8 << 1.0;
    QTest::newRow("centered") << int(lm::kAlignCentered) << 0.35 << 0.65;
    QTest::newRow("justified, last lines flush left") << int(lm::kAlignJustified) << 0.0 << 0.05;
    QTest::newRow("outside 0 to 3 is left") << 7 << 0.0 << 0.05;
}

void TestLabelControl::alignmentAppliesToEveryLine() {
    QFETCH(int, alignment);
    QFETCH(double, from);
    QFETCH(double, to);
    m_label->setLabelAlignment(alignment);
    m_label->setLabelText("A\r\nB");
    // A line typed afterwards follows the same alignment.
    m_label->setFocus();
    m_label->moveCursor(QTextCursor::End);
    QTest::keyClick(m_label, Qt::Key_Return);
    QTest::keyClick(m_label, Qt::Key_C);
    double width = m_label->viewport()->width();
    for (int position : {0, 2, 4}) {
        QTextCursor cursor(m_label->document());
        cursor.setPosition(position);
        double x = m_label->cursorRect(cursor).left() / width;
        QVERIFY2(x >= from && x <= to,
                 qPrintable(QStringLiteral("position %1 at %2").arg(position).arg(x)));
    }
}

void TestLabelControl::placementIsInTwips() {
    m_label->moveTwips(640 + 1386, 920.5);
    m_label->resizeTwips(1290, 2340);
    QCOMPARE(m_label->leftTwips(), 2026.0);
    QCOMPARE(m_label->topTwips(), 920.5);
    QCOMPARE(m_label->pos(),
             QPoint(pixelsFor(2026), lm::twipsToPixels(920.5, m_label->logicalDpiY())));
    QCOMPARE(m_label->size(),
             QSize(pixelsFor(1290), lm::twipsToPixels(2340, m_label->logicalDpiY())));
}

void TestLabelControl::clickNotifies() {
    QSignalSpy clicked(m_label, &LabelControl::clicked);
    QTest::mouseClick(m_label->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(m_label->selectedLabelNumber(), 3);
    LabelControl pocket(LabelControl::Kind::Pocket, 3);
    QCOMPARE(pocket.selectedLabelNumber(), 43);
    QCOMPARE(pocket.objectName(), QStringLiteral("TXTextControl0_3"));
    QCOMPARE(m_label->objectName(), QStringLiteral("TXTextControl1_3"));
}

void TestLabelControl::newElementsCopyTheirTemplate() {
    lm::LabelFont font;
    font.name = QStringLiteral("Liberation Sans");
    font.size = 9;
    font.color = 0x0000FF;  // red, as Windows writes it
    font.italic = true;
    m_label->setLabelFont(font);
    m_label->setLabelAlignment(lm::kAlignRight);
    m_label->setInnerMargins({144, 144, 144, 144});
    m_label->resizeTwips(1296, 2088);

    LabelControl element(LabelControl::Kind::Spine, 4, m_host);
    element.copyFormatFrom(*m_label);
    QVERIFY(element.labelFont() == font);
    QCOMPARE(element.labelAlignment(), int(lm::kAlignRight));
    QCOMPARE(element.innerMargins().top, 144);
    QCOMPARE(element.widthTwips(), 1296);
    QCOMPARE(element.heightTwips(), 2088);
    QCOMPARE(element.palette().color(QPalette::Text), QColor(255, 0, 0));
    QVERIFY(element.font().italic());
}

QTEST_MAIN(TestLabelControl)
#include "tst_labelcontrol.moc"

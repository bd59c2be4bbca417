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
    void onlyTheOperatorsEditsNotify();
    void selectionStartLengthAndText();
    void pasteInsertsPlainText();
    void zoomScalesTheTextNotTheControl();
    void alignmentAppliesToEveryLine_data();
    void alignmentAppliesToEveryLine();

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
    m_label->setLabelText(bytes.toStdString());
    QCOMPARE(QByteArray::fromStdString(m_label->labelText()), bytes);
    QVERIFY(!m_label->isEdited());
    QVERIFY(m_label->labelTextEncodable());
}

void TestLabelControl::editedTextIsWrittenWithCrLf_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("typed");   // at the end
    QTest::addColumn<int>("backspaces");  // pressed then
    QTest::addColumn<QByteArray>("edited");
    QTest::newRow("lone CR") << QByteArray("A\rB") << "x" << 0 << QByteArray("A\r\nBx");
    QTest::newRow("lone LF") << QByteArray("A\nB") << "x" << 0 << QByteArray("A\r\nBx");
    QTest::newRow("trailing break") << QByteArray("A\r") << "x" << 0 << QByteArray("A\r\nx");
    QTest::newRow("non-breaking space") << QByteArray("1\xa0") << "2" << 0
                                        << QByteArray(
                                               "1\xa0"
                                               "2");
    QTest::newRow("bytes Windows-1252 leaves undefined")
        << QByteArray("\x81\x8d\x8f\x90\x9d\x80") << "z" << 0
        << QByteArray("\x81\x8d\x8f\x90\x9d\x80z");
    QTest::newRow("edited back to the original")
        << QByteArray("A\rB\n\x81") << "x" << 1 << QByteArray("A\rB\n\x81");
    QTest::newRow("outside the code page")
        << QByteArray("A") << "\u0142\u4e2d" << 0 << QByteArray("A??");
}

// An edited text is written with CR LF line breaks and keeps every byte it
// can; a character Windows-1252 cannot hold is flagged until the text is set anew.
void TestLabelControl::editedTextIsWrittenWithCrLf() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, typed);
    QFETCH(int, backspaces);
    QFETCH(QByteArray, edited);
    m_label->setLabelText(bytes.toStdString());
    m_label->setFocus();
    m_label->moveCursor(QTextCursor::End);
    QSignalSpy changed(m_label, &LabelControl::changed);
    m_label->replaceSelection(typed);
    for (int i = 0; i < backspaces; ++i) QTest::keyClick(m_label, Qt::Key_Backspace);
    QCOMPARE(m_label->isEdited(), edited != bytes);
    QVERIFY(changed.count() > backspaces);
    QCOMPARE(QByteArray::fromStdString(m_label->labelText()), edited);
    const bool ascii = typed.toLatin1() == typed.toUtf8();
    QCOMPARE(m_label->labelTextEncodable(), ascii);
    m_label->setLabelText("B");
    QVERIFY(m_label->labelTextEncodable());
}

// Neither setting the text nor its look tells of a change; keys typed do.
void TestLabelControl::onlyTheOperatorsEditsNotify() {
    QSignalSpy changed(m_label, &LabelControl::changed);
    m_label->setLabelText("");
    m_label->setLabelText(allBytes().toStdString());
    m_label->setLabelText("FIC\r\nSMI");
    lm::LabelFont font;
    font.name = QStringLiteral("Liberation Sans");
    font.size = 14;
    font.bold = true;
    m_label->setLabelFont(font);
    m_label->setLabelAlignment(lm::kAlignCentered);
    m_label->setInnerMargins({100, 144, 144, 144});
    m_label->setZoomFactor(200);
    m_label->moveTwips(500, 700);
    m_label->setSelectionStart(1);
    m_label->setSelectionLength(2);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!m_label->isEdited());
    m_label->setFocus();
    QTest::keyClicks(m_label, QStringLiteral("ab"));
    QCOMPARE(changed.count(), 2);
    QVERIFY(m_label->isEdited());
}

// Counted in characters, a line break as two; past the end is the end.
void TestLabelControl::selectionStartLengthAndText() {
    m_label->setLabelText("FIC\r\nSMI");
    m_label->setSelectionStart(2);
    QCOMPARE(m_label->selectionLength(), 0);
    m_label->setSelectionLength(3);  // "C", the line break, "S"
    QCOMPARE(m_label->selectionStart(), 2);
    QCOMPARE(m_label->selectionLength(), 3);
    QCOMPARE(m_label->selectedLabelText(), QStringLiteral("C\r\nS"));
    m_label->replaceSelection(QStringLiteral("REF\r\nQ"));
    QCOMPARE(QByteArray::fromStdString(m_label->labelText()), QByteArray("FIREF\r\nQMI"));
    m_label->setSelectionStart(0);
    QCOMPARE(m_label->selectionLength(), 0);
    m_label->setLabelText("AB");
    m_label->setSelectionStart(1);
    m_label->setSelectionLength(10);
    QCOMPARE(m_label->selectionLength(), 1);
    m_label->setLabelText("");
    m_label->setSelectionStart(1);
    QCOMPARE(m_label->selectionStart(), 0);
}

void TestLabelControl::pasteInsertsPlainText() {
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>bold</b> <i>words</i>"));
    mime->setText(QStringLiteral("bold\r\nwords"));
    QApplication::clipboard()->setMimeData(mime);
    m_label->setLabelText("");
    m_label->paste();
    QCOMPARE(QByteArray::fromStdString(m_label->labelText()), QByteArray("bold\r\nwords"));
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
    const QSize size = m_label->size();
    const QRect textArea = m_label->viewport()->geometry();
    QCOMPARE(m_label->font().pointSizeF(), 11.0);

    m_label->setZoomFactor(200);
    QCOMPARE(m_label->size(), size);
    QCOMPARE(m_label->font().pointSizeF(), 22.0);
    QCOMPARE(m_label->viewport()->x() - m_label->frameWidth(), pixelsFor(288));
    QCOMPARE(m_label->viewport()->y() - m_label->frameWidth(), pixelsFor(288));

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

QTEST_MAIN(TestLabelControl)
#include "tst_labelcontrol.moc"

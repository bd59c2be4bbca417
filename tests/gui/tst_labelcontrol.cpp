#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <QTextCursor>

#include <string>

#include "platform/labelcontrol.h"

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
    void init() {
        m_host = new QWidget;
        m_host->resize(800, 600);
        m_label = new LabelControl(LabelControl::Kind::Spine, 3, m_host);
        m_label->resizeTwips(2880, 2160);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host));
    }
    void cleanup() {
        delete m_host;
        m_host = nullptr;
        m_label = nullptr;
    }

    void untouchedTextGivesBackItsBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("CR LF") << QByteArray("FIC\r\nSMI\r\n2004");
        QTest::newRow("every byte") << allBytes();
    }
    void untouchedTextGivesBackItsBytes() {
        QFETCH(QByteArray, bytes);
        m_label->setLabelText(bytes.toStdString());
        QCOMPARE(QByteArray::fromStdString(m_label->labelText()), bytes);
        QVERIFY(!m_label->isEdited());
        QVERIFY(m_label->labelTextEncodable());
    }
    void editedTextIsWrittenWithCrLf_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("typed");   // at the end
        QTest::addColumn<int>("backspaces");  // pressed then
        QTest::addColumn<QByteArray>("edited");
        QTest::newRow("lone CR") << QByteArray("A\rB") << "x" << 0 << QByteArray("A\r\nBx");
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
    void editedTextIsWrittenWithCrLf() {
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
    void onlyTheOperatorsEditsNotify() {
        QSignalSpy changed(m_label, &LabelControl::changed);
        m_label->setLabelText("FIC\r\nSMI");
        m_label->setLabelAlignment(lm::kAlignCentered);
        m_label->setZoomFactor(200);
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
    void selectionStartLengthAndText() {
        m_label->setLabelText("FIC\r\nSMI");
        m_label->setSelectionStart(2);
        QCOMPARE(m_label->selectionLength(), 0);
        m_label->setSelectionLength(3);  // "C", the line break, "S"
        QCOMPARE(m_label->selectionStart(), 2);
        QCOMPARE(m_label->selectionLength(), 3);
        QCOMPARE(m_label->selectedLabelText(), QStringLiteral("C\r\nS"));
        m_label->replaceSelection(QStringLiteral("REF\r\nQ"));
        QCOMPARE(QByteArray::fromStdString(m_label->labelText()), QByteArray("FIREF\r\nQMI"));
        m_label->setLabelText("AB");
        m_label->setSelectionStart(1);
        m_label->setSelectionLength(10);
        QCOMPARE(m_label->selectionLength(), 1);
    }
    // Text dropped onto the label goes in where the label's own lines have the
    // pointer, as plain text, and is an edit the page hears of.
    void dropGoesWhereTheLabelsLinesPutThePointer_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("at");
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("alignment");
        QTest::newRow("second line") << "FIC\nSMITH\n2004" << 6 << "XY"
                                     << "FIC\nSMXYITH\n2004" << 100 << int(lm::kAlignLeft);
        QTest::newRow("a line break dropped") << "QA76\nB3" << 2 << "+\r\n-"
                                              << "QA+\n-76\nB3" << 100 << int(lm::kAlignLeft);
        QTest::newRow("third line at zoom 150")
            << "FIC\nSMITH\n2004" << 11 << "XY"
            << "FIC\nSMITH\n2XY004" << 150 << int(lm::kAlignLeft);
        QTest::newRow("justified, a long line")
            << "ABC DEFG HI\nJ" << 9 << "XY"
            << "ABC DEFG XYHI\nJ" << 100 << int(lm::kAlignJustified);
        QTest::newRow("centred at zoom 150")
            << "FIC\nSMITH\n2004" << 5 << "XY"
            << "FIC\nSXYMITH\n2004" << 150 << int(lm::kAlignCentered);
        QTest::newRow("third line at zoom 50") << "FIC\nSMITH\n2004" << 13 << "XY"
                                               << "FIC\nSMITH\n200XY4" << 50 << int(lm::kAlignLeft);
    }
    void dropGoesWhereTheLabelsLinesPutThePointer() {
        QFETCH(QString, text);
        QFETCH(int, at);
        QFETCH(QString, dropped);
        QFETCH(QString, result);
        QFETCH(int, zoom);
        QFETCH(int, alignment);
        m_label->setZoomFactor(zoom);
        m_label->setLabelAlignment(alignment);
        m_label->setLabelText(text.replace(u'\n', QStringLiteral("\r\n")).toStdString());
        QSignalSpy changed(m_label, &LabelControl::changed);
        QMimeData mime;
        mime.setText(dropped);
        const QPoint pixel = pixelOf(at);
        QDragEnterEvent enter(pixel, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_label->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(pixel, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_label->viewport(), &move);
        QVERIFY(move.isAccepted());
        QDropEvent drop(QPointF(pixel), Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m_label->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(m_label->shownText(), result);
        QVERIFY(m_label->isEdited());
        QVERIFY(!changed.isEmpty());
    }
    // The caret blinks while the label has the focus, at the desktop's rate;
    // it shows at once after a move, and not at all without the focus.
    void caretBlinksAtTheDesktopsRate() {
        QStyleHints* hints = QGuiApplication::styleHints();
        const int flash = hints->cursorFlashTime();
        hints->setCursorFlashTime(200);
        m_label->setLabelText("QA76");
        m_label->clearFocus();
        QTRY_VERIFY(!m_label->hasFocus());
        QVERIFY(!m_label->caretShown());
        m_label->setFocus();
        QTRY_VERIFY(m_label->hasFocus());
        QVERIFY(m_label->caretShown());
        QTRY_VERIFY(!m_label->caretShown());
        QTRY_VERIFY(m_label->caretShown());
        QTRY_VERIFY(!m_label->caretShown());
        m_label->setSelectionStart(2);
        QVERIFY(m_label->caretShown());
        m_label->clearFocus();
        QTRY_VERIFY(!m_label->hasFocus());
        QVERIFY(!m_label->caretShown());
        hints->setCursorFlashTime(flash);
    }

  private:
    // The pixel, in the label's viewport, of the caret place before
    // character `position` of the text.
    QPoint pixelOf(int position) const {
        const lm::LabelTextLayout& layout = m_label->textLayout();
        const int line = layout.lineOf(position);
        const QRectF rect = layout.lines()[std::size_t(line)].rect;
        const double twipsPerPixel = 1440.0 / m_label->logicalDpiX() * 100 / m_label->zoomFactor();
        const QPointF inLabel(layout.cursorX(position) + 10, rect.center().y());
        return (inLabel / twipsPerPixel).toPoint() - m_label->viewport()->pos();
    }

    LabelControl* m_label = nullptr;
    QWidget* m_host = nullptr;
};

QTEST_MAIN(TestLabelControl)
#include "tst_labelcontrol.moc"

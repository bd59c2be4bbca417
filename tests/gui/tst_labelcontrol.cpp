#include <QSignalSpy>
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
    void init();
    void cleanup();

    void untouchedTextGivesBackItsBytes_data();
    void untouchedTextGivesBackItsBytes();
    void editedTextIsWrittenWithCrLf_data();
    void editedTextIsWrittenWithCrLf();
    void onlyTheOperatorsEditsNotify();
    void selectionStartLengthAndText();

  private:
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
    m_label->setLabelText("AB");
    m_label->setSelectionStart(1);
    m_label->setSelectionLength(10);
    QCOMPARE(m_label->selectionLength(), 1);
}

QTEST_MAIN(TestLabelControl)
#include "tst_labelcontrol.moc"

// The shared text layout: what counts as not fitting, and the quick check
// the file check uses agreeing with the full layout.

#include <QGuiApplication>
#include <QTest>

#include "paint/labellayout.h"

using lm::LabelFormat;
using lm::LabelTextLayout;

namespace {

LabelFormat spineFormat(int pointSize, int alignment = 0) {
    LabelFormat format;
    format.boxSize = QSizeF(1290, 2340);
    format.innerMargins = QMargins(35, 144, 144, 144);
    format.font.name = QStringLiteral("Liberation Serif");
    format.font.pointSize = pointSize;
    format.alignment = alignment;
    return format;
}

QString lines(int count, const QString& line = QStringLiteral("QA")) {
    QStringList list;
    for (int i = 0; i < count; ++i) list << line + QString::number(i);
    return list.join(QLatin1Char('\n'));
}

}  // namespace

class TestLabelLayout : public QObject {
    Q_OBJECT
  private slots:
    void overflow_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("below");
        QTest::addColumn<bool>("broken");
        QTest::addColumn<int>("shown");  // lines laid out
        QTest::newRow("empty") << QString() << 11 << false << false << 1;
        QTest::newRow("call number")
            << QStringLiteral("QA76\n.C153\n2004") << 11 << false << false << 3;
        QTest::newRow("long class number")
            << QStringLiteral("HF5415.1265") << 11 << false << true << 2;
        QTest::newRow("class number at 8 points")
            << QStringLiteral("HF5415.1265") << 8 << false << false << 1;
        QTest::newRow("words wrap at spaces")
            << QStringLiteral("The quick brown fox") << 11 << false << false << 2;
        QTest::newRow("hyphenated words break at the hyphen")
            << QStringLiteral("Smith-Jones") << 14 << false << false << 2;
        QTest::newRow("nine lines fit at 11 points") << lines(9) << 11 << false << false << 9;
        QTest::newRow("a tenth would show too little to draw")
            << lines(10) << 11 << true << false << 9;
        QTest::newRow("the ninth is cut by the bottom edge at 12 points")
            << lines(9) << 12 << true << false << 9;
        QTest::newRow("blank lines below")
            << lines(3) + QString(20, QLatin1Char('\n')) << 11 << false << false << 9;
        QTest::newRow("trailing spaces below")
            << lines(8) + QStringLiteral("\n   \n \n") << 11 << false << false << 9;
        QTest::newRow("word longer than the label, many lines")
            << QString(60, QLatin1Char('W')) << 14 << true << true << 7;
    }
    // The full layout's findings, and the quick check giving the same answer.
    void overflow() {
        QFETCH(QString, text);
        QFETCH(int, size);
        QFETCH(bool, below);
        QFETCH(bool, broken);
        QFETCH(int, shown);
        for (int alignment = 0; alignment < 4; ++alignment) {
            const LabelFormat format = spineFormat(size, alignment);
            const LabelTextLayout layout(text, format);
            QCOMPARE(layout.linesBelow(), below);
            QCOMPARE(layout.wordBroken(), broken);
            QCOMPARE(int(layout.lines().size()), shown);
            QCOMPARE(layout.overflowDescription().isEmpty(), !below && !broken);
            QCOMPARE(lm::labelOverflow(text, format), layout.overflowDescription());
            // Every line's top lies inside the box.
            for (const LabelTextLayout::Line& line : layout.lines())
                QVERIFY(line.rect.top() < format.boxSize.height());
        }
    }
};

QTEST_MAIN(TestLabelLayout)
#include "tst_labellayout.moc"

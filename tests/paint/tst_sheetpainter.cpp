// The sheet painter: drawing order, device resolution and origin, where each
// kind of label lands on paper, alignment, line breaks, wrapping, clipping to
// the label's box, colours and font styles. PDF positions are read back with
// pdftotext -bbox within 0.5 twip (the writer works at one unit per twip; a
// word's top is its line's top): enough to tell a row pitch carried as a
// fraction (4 x 3002.4) from one rounded per row.

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "core/labeltypes.h"
#include "paint/labelsheet.h"
#include "paint/sheetpainter.h"
#include "paintfixtures.h"
#include "pdfwords.h"
#include "recordingdevice.h"

using lm::LabelSheet;
using lm::SheetLabel;

namespace {

// A sheet with one spine label in `box`.
LabelSheet oneLabel(const QString& text, const QRectF& box, const QMargins& margins,
                    int alignment = 0, int pointSize = 11) {
    LabelSheet sheet;
    sheet.labelType = lm::kSp1;
    SheetLabel label;
    label.number = 2;
    label.text = text;
    label.box = box;
    label.font.name = QStringLiteral("Times New Roman");
    label.font.pointSize = pointSize;
    label.alignment = alignment;
    label.innerMargins = margins;
    sheet.labels.push_back(label);
    return sheet;
}

QList<RecordedText> record(const LabelSheet& sheet, int dpi) {
    RecordingDevice device(dpi);
    QPainter painter(&device);
    lm::paintSheet(painter, sheet);
    painter.end();
    return device.texts();
}

QStringList recordedWords(const QList<RecordedText>& texts) {
    QStringList words;
    for (const RecordedText& t : texts) words << t.text;
    return words;
}

// The sheet on a white image of `dpi` covering the Letter page.
QImage render(const LabelSheet& sheet, int dpi) {
    QImage image(int(8.5 * dpi), 11 * dpi, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    lm::paintSheet(painter, sheet);
    return image;
}

// The pixels that are not (nearly) white.
QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 250) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// The font the painter uses for an 11-point label, in twips.
QFontMetricsF twipMetrics(int pointSize) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pointSize * 20);
    font.setHintingPreference(QFont::PreferNoHinting);
    return QFontMetricsF(font);
}

}  // namespace

class TestSheetPainter : public QObject {
    Q_OBJECT

  private slots:
    // Every spine label is printed before the first pocket label, even where
    // the caller lists them otherwise; empty labels draw nothing.
    void spineLabelsBeforePocketLabels() {
        LabelSheet sheet = numberedSheet(lm::kSlb);
        std::reverse(sheet.labels.begin(), sheet.labels.end());
        const QStringList words = recordedWords(record(sheet, 300));
        QCOMPARE(words.size(), 20);
        for (int i = 0; i < 20; ++i)
            QVERIFY2(words[i].startsWith(i < 10 ? QLatin1Char('S') : QLatin1Char('P')),
                     qPrintable(words.join(QLatin1Char(' '))));

        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSlb);
        page.setSpineText(11, "LAST");
        const LabelSheet last = lm::labelSheet(settingsForType(lm::kSlb), page);
        QCOMPARE(last.labels.size(), std::size_t(20));
        QCOMPARE(recordedWords(record(last, 300)), QStringList{QStringLiteral("LAST")});
    }
    void positionsFollowTheDeviceResolution_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QPoint>("origin");  // where the caller moved the painter
        for (int dpi : {96, 300, 1440}) QTest::addRow("%d dpi", dpi) << dpi << QPoint();
        // A printer puts the origin at the printable area's corner.
        QTest::newRow("moved origin") << 300 << QPoint(-37, 25);
    }
    // Baselines in device pixels: twips x dpi / 1440, the first line's baseline
    // one font ascent below the top inner margin, from the painter's origin; the
    // painter's own state is left as it was.
    void positionsFollowTheDeviceResolution() {
        QFETCH(int, dpi);
        QFETCH(QPoint, origin);
        RecordingDevice device(dpi);
        QPainter painter(&device);
        painter.translate(origin);
        const QTransform before = painter.transform();
        painter.setPen(Qt::green);
        lm::paintSheet(painter, numberedSheet(lm::kSp1));
        QCOMPARE(painter.transform(), before);
        QCOMPARE(painter.pen(), QPen(Qt::green));
        QVERIFY(!painter.hasClipping());
        painter.end();

        const QList<RecordedText>& texts = device.texts();
        QCOMPARE(texts.size(), 40);
        const double scale = dpi / 1440.0;
        const double ascent = twipMetrics(11).ascent();
        for (int element = 2; element <= 41; ++element) {
            const int column = (element - 2) % 8, row = (element - 2) / 8;
            const RecordedText& text = texts[element - 2];
            QCOMPARE(text.text, spineWord(element));
            const QPointF expected((640 + 35 + column * 1386) * scale + origin.x(),
                                   (920 + 144 + row * 3015 + ascent) * scale + origin.y());
            // Only floating-point rounding may differ.
            QVERIFY2((text.origin - expected).manhattanLength() < 0.02,
                     qPrintable(QStringLiteral("%1 at %2,%3")
                                    .arg(text.text)
                                    .arg(text.origin.x())
                                    .arg(text.origin.y())));
        }
    }
    void firstLineOnPaper_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<QString>("word");
        QTest::addColumn<double>("left");  // twips: where the line of text starts
        QTest::addColumn<double>("top");
        // sl4: rows 3002.4 apart, the fraction carried; pockets at +1386 and
        // +1170 inside the set with their own left margin 30 and no top margin.
        QTest::newRow("sl4 row 5 second column")
            << int(lm::kSl4) << spineWord(11) << 710.0 + 5508 + 35 << 827 + 144 + 4 * 3002.4;
        QTest::newRow("sl4 set 10 pocket 2") << int(lm::kSl4) << pocketWord(21)
                                             << 710.0 + 5508 + 1386 + 30 << 827 + 4 * 3002.4 + 1170;
        // sp1/sp2-f2: every spine label 150 twips higher than on screen.
        QTest::newRow("sp1/sp2-f2 element 57")
            << int(lm::kSp1Sp2F2) << spineWord(57) << 390.0 + 7 * 1440 + 35
            << 690.0 + 6 * 2160 + 144 - 150;
        // Mailer-1: all three labels 700 twips higher, inner left margin 50.
        QTest::newRow("Mailer-1 spine 2")
            << int(lm::kMailer1) << spineWord(2) << 360.0 + 50 << 1090.0 + 1620 + 144 - 700;
        QTest::newRow("Mailer-1 pocket 3")
            << int(lm::kMailer1) << pocketWord(3) << 360.0 + 50 << 1090.0 + 1620 + 3780 - 700;
    }
    void firstLineOnPaper() {
        QFETCH(int, labelType);
        QFETCH(QString, word);
        QFETCH(double, left);
        QFETCH(double, top);
        const PdfPage page = pdfPageOf(numberedSheet(labelType));
        const PdfWord* found = page.word(word);
        QVERIFY2(found, qPrintable(word));
        QVERIFY2(qAbs(found->left - left) <= 0.5, qPrintable(QString::number(found->left)));
        QVERIFY2(qAbs(found->top - top) <= 0.5, qPrintable(QString::number(found->top)));
    }
    void alignment_data() {
        QTest::addColumn<int>("alignment");
        QTest::addColumn<double>("anchor");  // the fixed point of the word: 0 left, 1 right edge
        QTest::newRow("0 Left") << 0 << 0.0;
        QTest::newRow("1 Right") << 1 << 1.0;
        QTest::newRow("2 Centered") << 2 << 0.5;
        // An alignment the settings file should not hold prints as Left.
        QTest::newRow("7 unknown") << 7 << 0.0;
    }
    // Tolerance 1 twip: pdftotext measures a word from the font's width table,
    // kept in thousandths of an em, so five glyphs may be off by about half a twip.
    void alignment() {
        QFETCH(int, alignment);
        QFETCH(double, anchor);
        const QRectF box(1000, 2000, 3000, 1500);
        const QMargins margins(200, 144, 300, 144);
        const QRectF inner = box.marginsRemoved(QMarginsF(margins));
        const PdfPage page = pdfPageOf(oneLabel(QStringLiteral("Right"), box, margins, alignment));
        const PdfWord* word = page.word(QStringLiteral("Right"));
        QVERIFY(word);
        const double actual = word->left + anchor * (word->right - word->left);
        QVERIFY2(qAbs(actual - (inner.left() + anchor * inner.width())) <= 1.0,
                 qPrintable(QString::number(actual)));
        QVERIFY(qAbs(word->top - inner.top()) <= 0.5);
    }
    void justifiedLinesFillTheWidth() {
        const QRectF box(1000, 2000, 3000, 3000);
        const QMargins margins(200, 144, 300, 144);
        const QRectF inner = box.marginsRemoved(QMarginsF(margins));
        const PdfPage page = pdfPageOf(oneLabel(
            QStringLiteral("aa bb cc dd ee ff gg hh ii jj kk ll mm nn oo pp qq"), box, margins, 3));
        QList<PdfWord> words = page.words;
        QVERIFY(words.size() == 17);
        const double firstTop = words.first().top, lastTop = words.last().top;
        QVERIFY2(lastTop > firstTop, "the text should need more than one line");
        for (int i = 0; i < words.size(); ++i) {
            const bool endsLine = i + 1 == words.size() || words[i + 1].top > words[i].top + 1;
            const bool startsLine = i == 0 || words[i - 1].top < words[i].top - 1;
            if (startsLine) QVERIFY(qAbs(words[i].left - inner.left()) <= 1.0);
            if (endsLine && words[i].top < lastTop)
                QVERIFY2(qAbs(words[i].right - inner.right()) <= 1.0, qPrintable(words[i].text));
            if (endsLine && words[i].top == lastTop) QVERIFY(words[i].right < inner.right() - 100);
        }
    }
    // Each line one font height (ascent + descent) below the last; an empty line
    // keeps its place.
    void lineBreaksAndBlankLines() {
        const PdfPage page =
            pdfPageOf(oneLabel(lm::labelTextFromBytes("ONE\r\nTWO\r\n\r\nFOUR"),
                               QRectF(1000, 2000, 3000, 3000), QMargins(35, 144, 144, 144)));
        const PdfWord* one = page.word(QStringLiteral("ONE"));
        const PdfWord* two = page.word(QStringLiteral("TWO"));
        const PdfWord* four = page.word(QStringLiteral("FOUR"));
        QVERIFY(one && two && four);
        const double lineHeight = twipMetrics(11).ascent() + twipMetrics(11).descent();
        QVERIFY(qAbs(two->top - one->top - lineHeight) <= 0.5);
        QVERIFY(qAbs(four->top - one->top - 3 * lineHeight) <= 0.5 &&
                qAbs(four->left - one->left) <= 0.5);
    }
    void wrapsInsideTheInnerMargins_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("minimumLines");
        QTest::newRow("words") << QStringLiteral("alpha beta gamma delta epsilon zeta eta theta")
                               << 3;
        // A word wider than the label breaks where it must.
        QTest::newRow("one long word") << QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ") << 2;
    }
    void wrapsInsideTheInnerMargins() {
        QFETCH(QString, text);
        QFETCH(int, minimumLines);
        const QRectF box(2000, 2000, 1290, 2340);
        const QMargins margins(35, 144, 144, 144);
        const QRectF inner = box.marginsRemoved(QMarginsF(margins));
        const PdfPage page = pdfPageOf(oneLabel(text, box, margins));
        QSet<int> lineTops;
        QString joined;
        for (const PdfWord& word : page.words) {
            QVERIFY2(word.left >= inner.left() - 0.5 && word.right <= inner.right() + 0.5,
                     qPrintable(word.text));
            lineTops.insert(qRound(word.top));
            joined += word.text;
        }
        QVERIFY(lineTops.size() >= minimumLines);
        QCOMPARE(joined, QString(text).remove(QLatin1Char(' ')));
    }
    void clippedToItsOwnBox_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("font taller than the label")
            << QStringLiteral("WW") << QMargins(0, 0, 0, 0) << 60;
        QTest::newRow("margin left of the box")
            << QStringLiteral("WWWWWWWW") << QMargins(-3000, 0, 0, 0) << 24;
        QTest::newRow("margins wider than the box")
            << QStringLiteral("WWWW WWWW") << QMargins(1000, 0, 1000, 0) << 24;
        QTest::newRow("a whole file's worth in one label")
            << QString(20000, QLatin1Char('W')) << QMargins(35, 144, 144, 144) << 11;
    }
    // Rendered at 144 dpi (10 twips a pixel): every inked pixel lies inside the
    // label's box, allowing one pixel for anti-aliased edges.
    void clippedToItsOwnBox() {
        QFETCH(QString, text);
        QFETCH(QMargins, margins);
        QFETCH(int, pointSize);
        const QRectF box(2880, 2880, 1440, 720);  // pixels 288..432 x 288..360
        const QImage image = render(oneLabel(text, box, margins, 0, pointSize), 144);
        const QRect ink = inkBounds(image);
        QVERIFY2(!ink.isEmpty(), "something of the text should show");
        const QRect allowed = QRect(288, 288, 144, 72).adjusted(-1, -1, 1, 1);
        QVERIFY2(allowed.contains(ink), qPrintable(QStringLiteral("ink %1,%2 to %3,%4")
                                                       .arg(ink.left())
                                                       .arg(ink.top())
                                                       .arg(ink.right())
                                                       .arg(ink.bottom())));
    }
    // Colours are Windows' 0x00BBGGRR; the high byte is no part of the colour.
    void fontStyles() {
        LabelSheet sheet = numberedSheet(lm::kSlb);
        for (SheetLabel& label : sheet.labels) {
            label.font.color = label.pocket ? 0xFF0000FFu : 0x00336699u;
            label.font.name = QStringLiteral("Liberation Sans");
            label.font.bold = label.pocket;
            label.font.italic = !label.pocket;
            label.font.underline = label.number == 2;
            label.font.strikethrough = label.number == 3;
            label.font.pointSize = label.pocket ? 0 : 14;
        }
        const QList<RecordedText> texts = record(sheet, 600);
        QCOMPARE(texts.size(), 20);
        for (const RecordedText& text : texts) {
            const bool pocket = text.text.startsWith(QLatin1Char('P'));
            const int number = text.text.mid(1).toInt();
            QCOMPARE(text.color, pocket ? QColor(255, 0, 0) : QColor(0x99, 0x66, 0x33));
            QCOMPARE(text.font.family(), QStringLiteral("Liberation Sans"));
            QCOMPARE(text.font.bold(), pocket);
            QCOMPARE(text.font.italic(), !pocket);
            QCOMPARE(text.font.underline(), number == 2);
            QCOMPARE(text.font.strikeOut(), number == 3);
            // Sizes are twips (20 a point) in the painter's twip space; a size of
            // zero from a hand-edited settings file prints at one point.
            QCOMPARE(text.font.pixelSize(), pocket ? 20 : 14 * 20);
        }
    }

  private:
    // The sheet written to PDF and read back; an empty page when that fails.
    PdfPage pdfPageOf(const LabelSheet& sheet) {
        const QString path = m_dir.filePath(QStringLiteral("painter%1.pdf").arg(++m_files));
        QString error;
        QList<PdfPage> pages;
        if (!writePdf(path, {sheet}, &error) || !readPdfWords(path, &pages, &error))
            qWarning("%s", qPrintable(error));
        return pages.size() == 1 ? pages[0] : PdfPage();
    }
    QTemporaryDir m_dir;
    int m_files = 0;
};

QTEST_MAIN(TestSheetPainter)
#include "tst_sheetpainter.moc"

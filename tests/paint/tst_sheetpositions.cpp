// Where the labels' texts land on paper: sheets written to PDF and read back
// with pdftotext -bbox, which gives each word's box in points from the page's
// top-left corner.
//
// Tolerance: 0.5 twip. The PDF writer works at one device unit per twip and
// pdftotext reports to a millionth of a point, so a position that is right
// comes back within a few thousandths of a twip; the word's top is the line's
// top because both Qt and pdftotext take the ascent from the same font. Half a
// twip still tells a fractional row pitch carried from row to row (4 x 3002.4)
// from one rounded per row (4 x 3002), which differ by 1.6 twips.

#include <QTemporaryDir>
#include <QtTest>

#include "core/labeltypes.h"
#include "paintfixtures.h"
#include "pdfwords.h"
#include "print/labelsheet.h"

namespace {

constexpr double kTolerance = 0.5;  // twips, see above

}  // namespace

class TestSheetPositions : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void firstLineOfEachLabel_data();
    void firstLineOfEachLabel();
    void movedPageMargins();

  private:
    QList<PdfPage> pagesOf(const QList<lm::LabelSheet>& sheets);

    QTemporaryDir m_dir;
    int m_files = 0;
};

void TestSheetPositions::initTestCase() {
    QVERIFY(m_dir.isValid());
}

QList<PdfPage> TestSheetPositions::pagesOf(const QList<lm::LabelSheet>& sheets) {
    const QString path = m_dir.filePath(QStringLiteral("sheet%1.pdf").arg(++m_files));
    QString error;
    QList<PdfPage> pages;
    if (!writePdf(path, sheets, &error) || !readPdfWords(path, &pages, &error))
        qWarning("%s", qPrintable(error));
    return pages;
}

void TestSheetPositions::firstLineOfEachLabel_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<QString>("word");
    QTest::addColumn<double>("left");  // twips: where the line of text starts
    QTest::addColumn<double>("top");

    // sp1: 8 x 5 from (640, 920), column pitch 1386, row pitch 3015; text at
    // the spine margins 35 (left) and 144 (top).
    const double sp1X = 640 + 35, sp1Y = 920 + 144;
    QTest::newRow("sp1 element 2") << int(lm::kSp1) << QStringLiteral("S02") << sp1X << sp1Y;
    QTest::newRow("sp1 element 10")
        << int(lm::kSp1) << QStringLiteral("S10") << sp1X << sp1Y + 3015;
    QTest::newRow("sp1 element 41")
        << int(lm::kSp1) << QStringLiteral("S41") << sp1X + 7 * 1386 << sp1Y + 4 * 3015;
    // sl4: rows 3002.4 apart, the fraction carried; pockets at +1386 and
    // +1170 inside the set with their own left margin 30 and no top margin.
    const double sl4X = 710 + 35, sl4Y = 827 + 144;
    QTest::newRow("sl4 row 5 spine") << int(lm::kSl4) << spineWord(10) << sl4X << sl4Y + 4 * 3002.4;
    QTest::newRow("sl4 row 5 second column")
        << int(lm::kSl4) << spineWord(11) << sl4X + 5508 << sl4Y + 4 * 3002.4;
    QTest::newRow("sl4 set 1 pocket 2")
        << int(lm::kSl4) << QStringLiteral("P03") << 710.0 + 1386 + 30 << 827.0 + 1170;
    QTest::newRow("sl4 set 10 pocket 2") << int(lm::kSl4) << QStringLiteral("P21")
                                         << 710.0 + 5508 + 1386 + 30 << 827 + 4 * 3002.4 + 1170;

    // slb: the same fractional rows; spine and pocket labels uncorrected.
    QTest::newRow("slb pocket 11")
        << int(lm::kSlb) << QStringLiteral("P11") << 690.0 + 5508 + 1386 + 30 << 890 + 4 * 3002.4;

    QTest::newRow("sl6 row 3 pocket 2")
        << int(lm::kSl6) << QStringLiteral("P11") << 690.0 + 1386 + 30 << 1685.0 + 9040 + 1900;
    QTest::newRow("slb2 pocket 9")
        << int(lm::kSlb2) << QStringLiteral("P09") << 2376.0 + 3456 + 30 << 1382.0 + 7 * 1728;
    QTest::newRow("spa element 51") << int(lm::kSpa) << QStringLiteral("S51")
                                    << 380.0 + 4 * 2340 + 35 << 890.0 + 9 * 1440 + 144;
    QTest::newRow("sp1/sp2-f3 element 37") << int(lm::kSp1Sp2F3) << QStringLiteral("S37")
                                           << 860.0 + 5 * 1800 + 35 << 1140.0 + 5 * 2340 + 144;

    // sp1/sp2-f2: every spine label 150 twips higher than on screen.
    QTest::newRow("sp1/sp2-f2 element 2")
        << int(lm::kSp1Sp2F2) << QStringLiteral("S02") << 390.0 + 35 << 690.0 + 144 - 150;
    QTest::newRow("sp1/sp2-f2 element 57") << int(lm::kSp1Sp2F2) << QStringLiteral("S57")
                                           << 390.0 + 7 * 1440 + 35 << 690.0 + 6 * 2160 + 144 - 150;

    // Mailer-1: all three labels 700 twips higher, inner left margin 50.
    QTest::newRow("Mailer-1 spine 2")
        << int(lm::kMailer1) << QStringLiteral("S02") << 360.0 + 50 << 1090.0 + 1620 + 144 - 700;
    QTest::newRow("Mailer-1 pocket 3")
        << int(lm::kMailer1) << QStringLiteral("P03") << 360.0 + 50 << 1090.0 + 1620 + 3780 - 700;
}

void TestSheetPositions::firstLineOfEachLabel() {
    QFETCH(int, labelType);
    QFETCH(QString, word);
    QFETCH(double, left);
    QFETCH(double, top);
    const QList<PdfPage> pages = pagesOf({numberedSheet(labelType)});
    QCOMPARE(pages.size(), 1);
    const PdfWord* found = pages[0].word(word);
    QVERIFY2(found, qPrintable(word));
    QVERIFY2(qAbs(found->left - left) <= kTolerance,
             qPrintable(QStringLiteral("left %1, expected %2").arg(found->left).arg(left)));
    QVERIFY2(qAbs(found->top - top) <= kTolerance,
             qPrintable(QStringLiteral("top %1, expected %2").arg(found->top).arg(top)));
}

// The sheet follows the page margins of the settings, not the type's defaults.
void TestSheetPositions::movedPageMargins() {
    lm::Settings settings = settingsForType(lm::kSp1);
    settings.PageTopMargin = 1500;
    settings.PageLeftMargin = 100;
    settings.SpineLeftMargin = 0;
    const QList<PdfPage> pages = pagesOf({lm::labelSheet(settings, numberedPage(lm::kSp1))});
    QCOMPARE(pages.size(), 1);
    const PdfWord* last = pages[0].word(QStringLiteral("S41"));
    QVERIFY(last);
    QVERIFY(qAbs(last->left - (100 + 7 * 1386)) <= kTolerance);
    QVERIFY(qAbs(last->top - (1500 + 4 * 3015 + 144)) <= kTolerance);
}

QTEST_MAIN(TestSheetPositions)
#include "tst_sheetpositions.moc"

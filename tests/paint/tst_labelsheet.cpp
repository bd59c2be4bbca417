// The sheet description built from the settings, the label type's geometry
// and the page texts: which labels, in which order, with which boxes, fonts,
// alignment and inner margins.

#include <QtTest>

#include "core/labeltypes.h"
#include "core/pagegeometry.h"
#include "paint/labelsheet.h"
#include "paintfixtures.h"

using lm::LabelSheet;
using lm::SheetLabel;

class TestLabelSheet : public QObject {
    Q_OBJECT

  private slots:
    void textFromBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("lone CR") << QByteArray("A\rB") << QStringLiteral("A\nB");
        QTest::newRow("LF CR is two breaks") << QByteArray("A\n\rB") << QStringLiteral("A\n\nB");
    }
    void textFromBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(lm::labelTextFromBytes(bytes.toStdString()), text);
    }
    void labelsInPrintingOrder_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<int>("correction");
        QTest::addColumn<QSizeF>("pageSize");
        const QSizeF letter(12240, 15840);
        QTest::newRow("sp1") << int(lm::kSp1) << 0 << letter;
        QTest::newRow("sl4") << int(lm::kSl4) << 0 << letter;
        QTest::newRow("sp1/sp2-f2") << int(lm::kSp1Sp2F2) << 150 << letter;
        QTest::newRow("Mailer-1") << int(lm::kMailer1) << 700 << QSizeF(12960, 7920);
    }
    // Every spine element 2.. first, then every pocket element 2.., nothing
    // skipped: the printer gets the labels in this order.
    void labelsInPrintingOrder() {
        QFETCH(int, labelType);
        QFETCH(int, correction);
        QFETCH(QSizeF, pageSize);
        LabelSheet sheet = numberedSheet(labelType);
        QCOMPARE(sheet.labelType, labelType);
        QCOMPARE(sheet.verticalCorrection, correction);
        QCOMPARE(sheet.pageSize, pageSize);
        // Each label as "element=text"; the numbered page holds the element's name.
        const lm::MemoryPage page = numberedPage(labelType);
        QStringList expected, printed;
        for (int i = 2; i <= page.lastSpineIndex(); ++i)
            expected << spineWord(i) + QLatin1Char('=') + spineWord(i);
        for (int i = 2; i <= page.lastPocketIndex(); ++i)
            expected << pocketWord(i) + QLatin1Char('=') + pocketWord(i);
        for (const SheetLabel& label : sheet.labels)
            printed << (label.pocket ? pocketWord(label.number) : spineWord(label.number)) +
                           QLatin1Char('=') + label.text;
        QCOMPARE(printed, expected);
    }
    // Flags a hand-edited settings file holds as numbers or texts print as the
    // program reads them: a number other than zero is true, a text is not.
    void fontsAndAlignmentFromSettings() {
        lm::Settings settings = settingsForType(lm::kSlb);
        settings.SpineFontName = "Liberation Sans";
        settings.SpineFontSize = 14;
        settings.SpineFontColor = 0x00112233;
        settings.SpineFontBold.kind = lm::SettingsVariant::Kind::Number;
        settings.SpineFontBold.number = -1;
        settings.SpineFontItalic.kind = lm::SettingsVariant::Kind::Text;
        settings.SpineFontItalic.text = "yes";
        settings.SpineFontUnderline = true;
        settings.PocketFontName = "Liberation Mono";
        settings.PocketFontSize = 8;
        settings.PocketFontColor = 0x000000FF;
        settings.PocketFontBold.kind = lm::SettingsVariant::Kind::Empty;
        settings.PocketFontItalic = true;
        settings.PocketFontStrikethru = lm::SettingsVariant::fromBool(true);
        settings.LabelAlignment = 2;
        settings.SpineLeftMargin = 0;
        settings.PocketLeftMargin = 1999;
        LabelSheet sheet = lm::labelSheet(settings, numberedPage(lm::kSlb));

        const lm::SheetFont spineFont{
            QStringLiteral("Liberation Sans"), 14, true, false, false, true, 0x00112233};
        const lm::SheetFont pocketFont{
            QStringLiteral("Liberation Mono"), 8, false, true, true, false, 0x000000FF};
        for (const SheetLabel& label : sheet.labels) {
            QCOMPARE(label.font, label.pocket ? pocketFont : spineFont);
            QCOMPARE(label.alignment, 2);
            QCOMPARE(label.innerMargins.left(), label.pocket ? 1999 : 0);
        }
        settings.PocketFontStrikethru.kind = lm::SettingsVariant::Kind::Number;
        settings.PocketFontStrikethru.number = 0;
        QVERIFY(!lm::labelSheet(settings, numberedPage(lm::kSlb)).pocket(2)->font.strikethrough);
    }
    void textsComeFromThePage() {
        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSl4);
        page.setSpineText(2, "FIC\r\nSMI\r\n\x80");
        LabelSheet sheet = lm::labelSheet(settingsForType(lm::kSl4), page);
        QCOMPARE(sheet.spine(2)->text, QStringLiteral("FIC\nSMI\n\u20AC"));
        // Empty labels stay on the sheet: they print as blank labels.
        QVERIFY(sheet.spine(11) && sheet.spine(11)->text.isEmpty());

        // The window hands over the texts its label controls show.
        LabelSheet shown =
            lm::labelSheet(settingsForType(lm::kSl4), lm::kSl4, [](bool pocket, int number) {
                return (pocket ? QStringLiteral("p") : QStringLiteral("s")) +
                       QString::number(number) + QStringLiteral(" \u2192");
            });
        QCOMPARE(shown.spine(5)->text, QStringLiteral("s5 \u2192"));
        QCOMPARE(shown.pocket(20)->text, QStringLiteral("p20 \u2192"));
    }
    // The command-line tool prints a file as another label type than the
    // settings name; the sheet then has that type's labels and size.
    void typeOverridesTheSettings() {
        lm::Settings settings = settingsForType(lm::kSp1);
        LabelSheet sheet = lm::labelSheet(settings, lm::kMailer1, numberedPage(lm::kMailer1));
        QCOMPARE(sheet.labels.size(), std::size_t(3));
        QCOMPARE(sheet.pageSize, QSizeF(12960, 7920));
        // Mailer-1 laid out from the sp1 margins the settings hold.
        QCOMPARE(sheet.spine(2)->box, QRectF(640, 920 + 1620, 11880, 3780));

        // A page smaller than the type fills the rest with empty labels.
        sheet = lm::labelSheet(settingsForType(lm::kSl4), lm::kSl4, numberedPage(lm::kMailer1));
        QCOMPARE(sheet.labels.size(), std::size_t(30));
        QCOMPARE(sheet.pocket(3)->text, pocketWord(3));
        QVERIFY(sheet.spine(3)->text.isEmpty() && sheet.pocket(4)->text.isEmpty());
    }
    void unknownTypeHasNoLabels() {
        for (int labelType : {0, -1}) {
            lm::Settings settings = settingsForType(lm::kSp1);
            settings.LabelType = labelType;
            LabelSheet sheet = lm::labelSheet(settings, numberedPage(lm::kSp1));
            QVERIFY(sheet.labels.empty());
            QCOMPARE(sheet.verticalCorrection, 0);
        }
    }
};

QTEST_MAIN(TestLabelSheet)
#include "tst_labelsheet.moc"

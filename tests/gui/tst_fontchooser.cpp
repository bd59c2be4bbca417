// The Setup menu's font dialog: it opens on the face that really draws the
// settings' font, gives the settings' own face name back while the operator
// leaves the face alone, and answers the keyboard as a dialog does.
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QTest>

#include "platform/fontchooserdialog.h"

using lm::FontChoice;
using lm::FontChooserDialog;

Q_DECLARE_METATYPE(lm::FontChoice)

namespace {

FontChoice font(const QString& name, double size = 11, bool bold = false) {
    FontChoice choice;
    choice.name = name;
    choice.size = size;
    choice.bold = bold;
    return choice;
}

QFontDialog* fontsOf(FontChooserDialog& dialog) {
    return dialog.findChild<QFontDialog*>();
}

// The size field: the one line of Qt's font dialog the operator types into.
QLineEdit* sizeField(FontChooserDialog& dialog) {
    for (QLineEdit* line : fontsOf(dialog)->findChildren<QLineEdit*>())
        if (!line->isReadOnly()) return line;
    return nullptr;
}

}  // namespace

class TestFontChooser : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        const QStringList families = QFontDatabase::families();
        if (!families.contains(QStringLiteral("Liberation Serif")) ||
            !families.contains(QStringLiteral("Liberation Mono")))
            QSKIP("the Liberation fonts (fonts-liberation) are not installed");
        if (families.contains(QStringLiteral("Times New Roman")))
            QSKIP("Times New Roman is installed: nothing stands in for it");
    }
    void opensOnTheFaceThatDrawsTheFont() {
        FontChooserDialog dialog(font(QStringLiteral("Times New Roman"), 11, true));
        const QFont shown = fontsOf(dialog)->currentFont();
        QCOMPARE(shown.family(), QStringLiteral("Liberation Serif"));
        QCOMPARE(shown.pointSizeF(), 11.0);
        QVERIFY(shown.bold());
    }
    void faceLeftAloneKeepsItsName_data() {
        QTest::addColumn<FontChoice>("preset");
        QTest::addColumn<QString>("chosenFace");  // empty: the face is left as it opened
        QTest::addColumn<FontChoice>("expected");
        const QString times = QStringLiteral("Times New Roman");
        const QString mono = QStringLiteral("Liberation Mono");
        QTest::newRow("nothing touched") << font(times) << QString() << font(times);
        QTest::newRow("another face") << font(times) << mono << font(mono);
        QTest::newRow("the stand-in chosen by name")
            << font(times) << QStringLiteral("Liberation Serif") << font(times);
        QTest::newRow("installed face") << font(mono) << QString() << font(mono);
        QTest::newRow("a face no machine has")
            << font(QStringLiteral("Kelvarine Gothic")) << QString()
            << font(QStringLiteral("Kelvarine Gothic"));
    }
    void faceLeftAloneKeepsItsName() {
        QFETCH(FontChoice, preset);
        QFETCH(QString, chosenFace);
        QFETCH(FontChoice, expected);
        FontChooserDialog dialog(preset);
        if (!chosenFace.isEmpty()) {
            QFont chosen = fontsOf(dialog)->currentFont();
            chosen.setFamily(chosenFace);
            fontsOf(dialog)->setCurrentFont(chosen);
        }
        const FontChoice choice = dialog.choice();
        QCOMPARE(choice.name, expected.name);
        QCOMPARE(choice.size, expected.size);
        QCOMPARE(choice.bold, expected.bold);
    }
    void keysOfTheSizeFieldEndTheDialog_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    }
    void keysOfTheSizeFieldEndTheDialog() {
        QFETCH(int, key);
        QFETCH(int, result);
        FontChooserDialog dialog(font(QStringLiteral("Times New Roman")));
        dialog.setResult(-1);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QLineEdit* field = sizeField(dialog);
        QVERIFY(field);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("14"));
        QTest::keyClick(field, Qt::Key(key));
        QCOMPARE(dialog.result(), result);
        QVERIFY(!dialog.isVisible());
        // The font dialog inside stays whole for the next showing.
        QVERIFY(fontsOf(dialog)->isVisibleTo(&dialog));
        QCOMPARE(dialog.choice().size, 14.0);
    }
};

QTEST_MAIN(TestFontChooser)
#include "tst_fontchooser.moc"

// Accessible names and descriptions of the labels and the page buttons, so
// that a screen reader (and a test driving the real window) finds a label by
// what it is and where, not by its coordinates.
#include <QAbstractButton>
#include <QSet>
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "platform/labelcontrol.h"

class TestAccessibleNames : public QObject {
    Q_OBJECT
  private slots:
    void labelSaysWhatAndWhere_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("pocket");
        QTest::addColumn<int>("element");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("sp1 second row") << int(lm::kSp1) << false << 11 << "Spine label 10"
                                        << "Row 2, column 2 on the sheet";
        QTest::newRow("sp2 pair, second") << int(lm::kSp2) << false << 5 << "Spine label 2, second"
                                          << "Row 1, column 4 on the sheet";
        QTest::newRow("sp2 last") << int(lm::kSp2) << false << 41 << "Spine label 20, second"
                                  << "Row 5, column 8 on the sheet";
        QTest::newRow("sl4 first pocket") << int(lm::kSl4) << true << 6 << "Pocket label 3, first"
                                          << "Row 2, column 1 on the sheet";
        QTest::newRow("sl4 second pocket") << int(lm::kSl4) << true << 7 << "Pocket label 3, second"
                                           << "Row 2, column 1 on the sheet";
        QTest::newRow("slb pocket") << int(lm::kSlb) << true << 4 << "Pocket label 3"
                                    << "Row 2, column 1 on the sheet";
        QTest::newRow("Mailer-1 second pocket")
            << int(lm::kMailer1) << true << 3 << "Pocket label 1, second"
            << "Row 1, column 1 on the sheet";
    }
    void labelSaysWhatAndWhere() {
        QFETCH(int, type);
        QFETCH(bool, pocket);
        QFETCH(int, element);
        QFETCH(QString, name);
        QFETCH(QString, description);
        StartedWindow s(settingsForType(type));
        QVERIFY(s.window);
        lm::LabelControl* label =
            pocket ? s.window->pocketControl(element) : s.window->spineControl(element);
        QVERIFY(label);
        QCOMPARE(label->accessibleName(), name);
        QCOMPARE(label->accessibleDescription(), description);
    }
    // No two labels of a page share a name, on any sheet.
    void everyLabelHasANameOfItsOwn() {
        for (int type = lm::kFirstLabelType; type <= lm::kLastLabelType; ++type) {
            StartedWindow s(settingsForType(type));
            QVERIFY(s.window);
            const lm::AppState& state = s.window->state();
            QSet<QString> names;
            int labels = 0;
            for (int i = 2; i <= state.LastSpineIndex; ++i, ++labels)
                names.insert(s.window->spineControl(i)->accessibleName());
            for (int i = 2; i <= state.LastPocketIndex; ++i, ++labels)
                names.insert(s.window->pocketControl(i)->accessibleName());
            QVERIFY2(!names.contains(QString()), lm::labelTypeName(type).c_str());
            QVERIFY2(names.size() == labels, lm::labelTypeName(type).c_str());
        }
    }
    void pageButtonsAreNamed() {
        StartedWindow s(settingsForType(lm::kSp1));
        QVERIFY(s.window);
        const QList<QPair<QString, QString>> buttons = {
            {QStringLiteral("Command1"), QStringLiteral("Next page")},
            {QStringLiteral("Command2"), QStringLiteral("Previous page")},
            {QStringLiteral("Command3"), QStringLiteral("Multiple copies")}};
        for (const auto& [objectName, name] : buttons) {
            QAbstractButton* button = s.window->button(objectName);
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), name);
        }
    }
};

QTEST_MAIN(TestAccessibleNames)
#include "tst_accessiblenames.moc"

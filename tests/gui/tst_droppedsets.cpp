// A set whose spine label is empty is not written, which is how a set is
// removed by clearing it. When such a set still holds other text the save
// asks first; after a save that left sets out, the page shows what the file
// now holds.
#include <QTest>

#include "app/forms1.h"
#include "core/labeltypes.h"
#include "guitestsupport.h"
#include "pagefixtures.h"
#include "platform/labelcontrol.h"
#include "scripteddialogs.h"

using lm::MessageAnswer;
using lm::MessageButtons;
using lm::MessageIcon;

namespace {

QString question(int set) {
    return QStringLiteral(
               "Label set %1 on this page has no spine label, so its other labels will not be "
               "saved. Save anyway?")
        .arg(set);
}

// "s3" is spine element 3, "p4" pocket element 4.
lm::LabelControl* control(lm::Forms1& window, const QString& code) {
    const int element = code.mid(1).toInt();
    return code.startsWith(u's') ? window.spineControl(element) : window.pocketControl(element);
}

// The texts of `sets` sets of `type` without the sets numbered in `left`
// (for sp2, where the fixture's sets are single texts, the texts numbered).
QList<QByteArray> withoutSets(int type, int sets, const QList<int>& left) {
    const int perSet = lm::labelTypeInfo(type)->textsPerSet();
    QList<QByteArray> texts = labelSetTexts(type, sets);
    QList<QByteArray> kept;
    for (int i = 0; i < texts.size(); ++i)
        if (!left.contains(i / perSet + 1)) kept << texts[i];
    return kept;
}

// "s3 p4": the words of a row, as a list.
QStringList words(const char* list) {
    return QString::fromLatin1(list).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

}  // namespace

class TestDroppedSets : public QObject {
    Q_OBJECT
  private slots:
    void clearedSpineLabel_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sets");  // in the working file
        QTest::addColumn<QStringList>("cleared");
        QTest::addColumn<QList<int>>("asked");  // the sets the save asks about, in order
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QList<int>>("dropped");  // the sets the file no longer holds
        const int sl4 = lm::kSl4;
        QTest::newRow("pockets kept, saved anyway")
            << sl4 << 12 << words("s3") << QList<int>{2} << words("Yes") << QList<int>{2};
        QTest::newRow("pockets kept, not saved")
            << sl4 << 12 << words("s3") << QList<int>{2} << words("No") << QList<int>{};
        QTest::newRow("whole set cleared")
            << sl4 << 12 << words("s3 p4 p5") << QList<int>{} << QStringList() << QList<int>{2};
        QTest::newRow("two sets, the second not saved")
            << sl4 << 12 << words("s3 s5") << QList<int>{2, 4} << words("Yes No") << QList<int>{};
        // The page's first set, alone in the file, with one pocket label left:
        // after the save the page is as empty as the file.
        QTest::newRow("first set, one pocket left")
            << sl4 << 1 << words("s2 p3") << QList<int>{1} << words("Yes") << QList<int>{1};
        QTest::newRow("slb, last set of a short page")
            << int(lm::kSlb) << 3 << words("s4") << QList<int>{3} << words("Yes") << QList<int>{3};
        // An sp2 set is a pair of spine labels: the second goes with the first.
        QTest::newRow("sp2 pair, second kept") << int(lm::kSp2) << 6 << words("s4") << QList<int>{2}
                                               << words("Yes") << QList<int>{3, 4};
    }
    void clearedSpineLabel() {
        QFETCH(int, type);
        QFETCH(int, sets);
        QFETCH(QStringList, cleared);
        QFETCH(QList<int>, asked);
        QFETCH(QStringList, answers);
        QFETCH(QList<int>, dropped);
        const QByteArray file = labelFileBytes(labelSetTexts(type, sets));
        StartedWindow s(settingsForType(type, lm::kInteractivePrinting), file);
        QVERIFY(s.window);
        lm::Forms1& window = *s.window;
        for (const QString& code : cleared) control(window, code)->clear();
        QVERIFY(window.state().PageChanged);
        const QList<QByteArray> before = shownTexts(window);
        for (int i = 0; i < asked.size(); ++i)
            s.dialogs.expectMessage(question(asked[i]), MessageButtons::YesNo,
                                    MessageIcon::Question,
                                    answers[i] == u"Yes" ? MessageAnswer::Yes : MessageAnswer::No);
        trigger(window, QStringLiteral("mnuFile_Save"));
        LM_VERIFY_DIALOGS(s.dialogs);

        if (dropped.isEmpty()) {
            QCOMPARE(s.folder.readFile("$$label.dat"), file);
            QCOMPARE(shownTexts(window), before);
            QVERIFY(window.state().PageChanged);
            return;
        }
        const QList<QByteArray> saved = withoutSets(type, sets, dropped);
        QCOMPARE(s.folder.readFile("$$label.dat"), labelFileBytes(saved));
        // The page is read again: the sets after the dropped ones move up, and the
        // next page's first sets come onto it.
        QCOMPARE(shownTexts(window), pageTexts(type, saved, 1));
        QCOMPARE(window.state().PageEndPosition,
                 int(labelFileBytes(pageTexts(type, saved, 1)).size()));
        QCOMPARE(window.state().PageNumber, 1);
        QVERIFY(!window.state().PageChanged);
    }
};

QTEST_MAIN(TestDroppedSets)
#include "tst_droppedsets.moc"

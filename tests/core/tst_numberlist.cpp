#include <QTest>

#include "core/labeltypes.h"
#include "core/numberlist.h"

Q_DECLARE_METATYPE(std::string)

class TestNumberList : public QObject {
    Q_OBJECT
  private slots:
    // The copies entry of Multiple Copies and the count of Insert Blank Label:
    // whole numbers only, within 16 bits, Insert within the type's limit.
    void countEntries_data() {
        QTest::addColumn<int>("labelType");  // 0: the copies entry
        QTest::addColumn<std::string>("entry");
        QTest::addColumn<int>("outcome");  // InsertCountEntry; for copies Accepted or Refused
        QTest::addColumn<int>("count");
        const int empty = int(lm::InsertCountEntry::Empty);
        const int refused = int(lm::InsertCountEntry::Refused);
        const int accepted = int(lm::InsertCountEntry::Accepted);
        auto row = [](const char* name, int type, const char* entry, int outcome, int count) {
            QTest::newRow(name) << type << std::string(entry) << outcome << count;
        };
        row("copies 32767", 0, "32767", accepted, 32767);
        row("copies 0", 0, "0", refused, 0);
        row("copies blank first", 0, " 2", refused, 0);
        row("copies 2^32+1", 0, "4294967297", refused, 0);
        row("insert sl4 9", lm::kSl4, "9", accepted, 9);
        row("insert sl4 10", lm::kSl4, "10", refused, 0);
        row("insert Mailer-1 65539", lm::kMailer1, "65539", refused, 0);
        row("insert 0", lm::kSp1, "0", accepted, 0);
        row("insert -1", lm::kSp1, "-1", refused, 0);
        row("insert empty", lm::kSp1, "", empty, 0);
    }
    void countEntries() {
        QFETCH(int, labelType);
        QFETCH(std::string, entry);
        QFETCH(int, outcome);
        QFETCH(int, count);
        int got = 0;
        lm::InsertCountEntry result = lm::InsertCountEntry::Refused;
        if (labelType == 0) {
            std::optional<int> copies = lm::parseCopiesEntry(entry);
            if (copies) result = lm::InsertCountEntry::Accepted;
            got = copies.value_or(0);
        } else {
            result =
                lm::checkInsertCountEntry(entry, lm::labelTypeInfo(labelType)->insertLimit, &got);
        }
        QCOMPARE(int(result), outcome);
        QCOMPARE(got, count);
    }
};

QTEST_APPLESS_MAIN(TestNumberList)
#include "tst_numberlist.moc"

#include <QTest>

#include "core/editrequest.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"
#include "core/production.h"

using Strings = std::vector<std::string>;
Q_DECLARE_METATYPE(Strings)
Q_DECLARE_METATYPE(std::string)

namespace {

// The series a request produces for a one-spine set "T": each copy's spine
// text. `lists` holds the first constant, first list, second constant and
// second list.
Strings spineSeries(const Strings& lists, int copies) {
    lm::EditRequest request;
    request.PendingEdit = lm::kMultipleCopyPrinting;
    request.MultiConstant1 = lists[0];
    request.MultiNumbers1 = lists[1];
    request.MultiConstant2 = lists[2];
    request.MultiNumbers2 = lists[3];
    request.PendingEditCount = copies;
    Strings series;
    lm::LabelSetTexts set{"T", {}, {}, {}};
    lm::Status status = lm::produceNumberedCopies(*lm::labelTypeInfo(lm::kSp1), set, request,
                                                  [&](const lm::LabelSetTexts& copy) {
                                                      series.push_back(copy.s1);
                                                      return lm::Status();
                                                  });
    if (!status.ok()) series.push_back("refused: " + status.error().reason);
    return series;
}

}  // namespace

class TestNumberList : public QObject {
    Q_OBJECT
  private slots:
    void validateNumbers_data() {
        QTest::addColumn<std::string>("list");
        QTest::addColumn<int>("valid");
        for (const char* list :
             {"3-1", "1-1", "1,,2", "1-", "1 -2", "5-,6", "1-32768", "99999999999999999999"})
            QTest::addRow("refused %s", list) << std::string(list) << 0;
        for (const char* list : {"", "1-5,", "2-4-9", "1-5-", "007", "32767"})
            QTest::addRow("accepted '%s'", list) << std::string(list) << 1;
    }
    void validateNumbers() {
        QFETCH(std::string, list);
        QFETCH(int, valid);
        QCOMPARE(lm::ValidateNumbers(list), valid);
    }
    void getNumberYieldsEachNumber_data() {
        QTest::addColumn<std::string>("list");
        QTest::addColumn<Strings>("numbers");
        QTest::newRow("range then item") << std::string("1-3,7") << Strings{" 1", " 2", " 3", "7"};
        QTest::newRow("item kept as typed") << std::string("007,8") << Strings{"007", "8"};
        QTest::newRow("range with leading zeros")
            << std::string("08-10") << Strings{" 8", " 9", " 10"};
        QTest::newRow("range read as the range alone")
            << std::string("2-4-9") << Strings{" 2", " 3", " 4"};
    }
    void getNumberYieldsEachNumber() {
        QFETCH(std::string, list);
        QFETCH(Strings, numbers);
        Strings got;
        for (std::string n = lm::GetNumber(list); !n.empty() && got.size() < 100;
             n = lm::GetNumber(list))
            got.push_back(n);
        QCOMPARE(got, numbers);
        QCOMPARE(list, std::string());
    }
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
    void composition_data() {
        QTest::addColumn<bool>("pocket");
        QTest::addColumn<std::string>("text");
        QTest::addColumn<bool>("twoNumbers");
        QTest::addColumn<std::string>("composed");
        auto row = [](const char* name, bool pocket, const char* text, bool two,
                      const char* composed) {
            QTest::newRow(name) << pocket << std::string(text) << two << std::string(composed);
        };
        // Spine: the numbers become new last lines.
        row("spine ends with a line feed", false, "QA76\r\n", false, "QA76\r\nVol.1");
        row("spine otherwise", false, "QA76\r\nS77", false, "QA76\r\nS77\r\nVol.1");
        row("spine empty", false, "", false, "\r\nVol.1");
        // Pocket: the numbers end the first line; the line break stays whole.
        row("pocket one line, two", true, "Smith", true, "Smith Vol.1 Copy 2");
        row("pocket line feed first", true, "\nSmith", false, "Vol.1\nSmith");
        row("pocket CR LF", true, "Smith\r\nJones", false, "Smith Vol.1\r\nJones");
        row("pocket lone LF", true, "Smith\nJones", false, "Smith Vol.1\nJones");
        row("pocket empty first line", true, "\r\nJones", false, " Vol.1\r\nJones");
    }
    void composition() {
        QFETCH(bool, pocket);
        QFETCH(std::string, text);
        QFETCH(bool, twoNumbers);
        QFETCH(std::string, composed);
        lm::CopyNumbers numbers{"Vol.1", std::nullopt};
        if (twoNumbers) numbers.b = "Copy 2";
        QCOMPARE(
            pocket ? lm::composePocketText(text, numbers) : lm::composeSpineText(text, numbers),
            composed);
    }
    void productionSeries_data() {
        QTest::addColumn<Strings>("lists");
        QTest::addColumn<int>("copies");
        QTest::addColumn<Strings>("series");
        const Strings refused{"refused: You entered illegal numbers!"};
        QTest::newRow("no lists, 3 copies")
            << Strings{"Vol.", "", "", ""} << 3 << Strings{"T\r\nVol.", "T\r\nVol.", "T\r\nVol."};
        QTest::newRow("second list only") << Strings{"Vol.", "", "Copy ", "1-2"} << 1
                                          << Strings{"T\r\nVol.\r\nCopy 1", "T\r\nVol.\r\nCopy 2"};
        QTest::newRow("second constant without list")
            << Strings{"Vol.", "1", "Copy ", ""} << 1 << refused;
    }
    void productionSeries() {
        QFETCH(Strings, lists);
        QFETCH(int, copies);
        QFETCH(Strings, series);
        QCOMPARE(spineSeries(lists, copies), series);
    }
    void everyTextOfACopyIsNumbered() {
        lm::LabelSetTexts set{"QA76\r\nS77", "second", "Smith\r\nJones", "Brown"};
        lm::CopyNumbers numbers{"Vol.2", std::string("c.1")};
        lm::LabelSetTexts sl4 = lm::composeCopy(*lm::labelTypeInfo(lm::kSl4), set, numbers);
        QCOMPARE(sl4.s1, std::string("QA76\r\nS77\r\nVol.2\r\nc.1"));
        QCOMPARE(sl4.s2, std::string());
        QCOMPARE(sl4.p1, std::string("Smith Vol.2 c.1\r\nJones"));
        QCOMPARE(sl4.p2, std::string("Brown Vol.2 c.1"));
        lm::LabelSetTexts sp2 = lm::composeCopy(*lm::labelTypeInfo(lm::kSp2), set, numbers);
        QCOMPARE(sp2.s2, std::string("second\r\nVol.2\r\nc.1"));
        QCOMPARE(sp2.p1, std::string());
        lm::LabelSetTexts slb = lm::composeCopy(*lm::labelTypeInfo(lm::kSlb), set, numbers);
        QCOMPARE(slb.p2, std::string());
    }
};

QTEST_APPLESS_MAIN(TestNumberList)
#include "tst_numberlist.moc"

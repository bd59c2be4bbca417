#include <QTest>

#include <random>

#include "core/editrequest.h"
#include "core/labeltypes.h"
#include "core/numberlist.h"
#include "core/production.h"

using Strings = std::vector<std::string>;
Q_DECLARE_METATYPE(Strings)
Q_DECLARE_METATYPE(std::string)

namespace {

// The series a request produces for a one-spine set "T": each copy's spine text.
Strings spineSeries(const std::string& constant1, const std::string& numbers1,
                    const std::string& constant2, const std::string& numbers2, int copies) {
    lm::EditRequest request;
    request.PendingEdit = lm::kMultipleCopyPrinting;
    request.MultiConstant1 = constant1;
    request.MultiNumbers1 = numbers1;
    request.MultiConstant2 = constant2;
    request.MultiNumbers2 = numbers2;
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
    void validateNumbers_data();
    void validateNumbers();
    void getNumberYieldsEachNumber_data();
    void getNumberYieldsEachNumber();
    void everyValidListComesToAnEnd();
    void copiesEntry_data();
    void copiesEntry();
    void insertCountEntry_data();
    void insertCountEntry();
    void spineComposition_data();
    void spineComposition();
    void pocketComposition_data();
    void pocketComposition();
    void productionSeries_data();
    void productionSeries();
    void everyTextOfACopyIsNumbered();
};

void TestNumberList::validateNumbers_data() {
    QTest::addColumn<std::string>("list");
    QTest::addColumn<int>("valid");
    const char* refused[] = {"3-1",   "1-1",   "1,,2",    ",1",          "1,",
                             "1-",    "1 -2",  "a",       "-",           "5-,6",
                             "1-5,,", "32768", "1-32768", "32768-40000", "99999999999999999999",
                             "7,1-2x"};
    const char* accepted[] = {"",      "1-5", "1-5,", "2-4-9", "1-5-",    "7",
                              "1,2,3", "0-3", "007",  "32767", "1-32767", "1-3,7"};
    for (const char* list : refused) QTest::addRow("refused %s", list) << std::string(list) << 0;
    for (const char* list : accepted)
        QTest::addRow("accepted '%s'", list) << std::string(list) << 1;
}

void TestNumberList::validateNumbers() {
    QFETCH(std::string, list);
    QFETCH(int, valid);
    QCOMPARE(lm::ValidateNumbers(list), valid);
}

void TestNumberList::getNumberYieldsEachNumber_data() {
    QTest::addColumn<std::string>("list");
    QTest::addColumn<Strings>("numbers");
    QTest::newRow("range then item") << std::string("1-3,7") << Strings{" 1", " 2", " 3", "7"};
    QTest::newRow("single") << std::string("5") << Strings{"5"};
    QTest::newRow("item kept as typed") << std::string("007,8") << Strings{"007", "8"};
    QTest::newRow("range of two") << std::string("4-5") << Strings{" 4", " 5"};
    QTest::newRow("range with leading zeros") << std::string("08-10") << Strings{" 8", " 9", " 10"};
    QTest::newRow("trailing comma") << std::string("1-2,") << Strings{" 1", " 2"};
    QTest::newRow("range read as the range alone")
        << std::string("2-4-9") << Strings{" 2", " 3", " 4"};
    QTest::newRow("empty") << std::string() << Strings{};
}

void TestNumberList::getNumberYieldsEachNumber() {
    QFETCH(std::string, list);
    QFETCH(Strings, numbers);
    Strings got;
    for (int guard = 0; guard < 100; ++guard) {
        std::string number = lm::GetNumber(list);
        if (number.empty()) break;
        got.push_back(number);
    }
    QCOMPARE(got, numbers);
    QCOMPARE(list, std::string());
}

void TestNumberList::everyValidListComesToAnEnd() {
    std::mt19937 random(11);
    const char alphabet[] = "0123456789,-";
    int validLists = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string list;
        int length = int(random() % 9);
        for (int i = 0; i < length; ++i) list += alphabet[random() % 12];
        if (!lm::ValidateNumbers(list)) continue;
        ++validLists;
        // No valid list yields more numbers than its ranges span.
        int steps = 0;
        while (!lm::GetNumber(list).empty()) QVERIFY2(++steps <= 32768 * 4, list.c_str());
    }
    QVERIFY(validLists > 100);
}

void TestNumberList::copiesEntry_data() {
    QTest::addColumn<std::string>("entry");
    QTest::addColumn<int>("copies");  // 0 = refused
    QTest::newRow("one") << std::string("1") << 1;
    QTest::newRow("largest") << std::string("32767") << 32767;
    QTest::newRow("zero") << std::string("0") << 0;
    QTest::newRow("nothing") << std::string() << 0;
    QTest::newRow("2a") << std::string("2a") << 0;
    QTest::newRow("blank first") << std::string(" 2") << 0;
    QTest::newRow("above 16 bits") << std::string("32768") << 0;
    QTest::newRow("far above") << std::string("4294967297") << 0;
}

void TestNumberList::copiesEntry() {
    QFETCH(std::string, entry);
    QFETCH(int, copies);
    std::optional<int> parsed = lm::parseCopiesEntry(entry);
    QCOMPARE(parsed.value_or(0), copies);
}

void TestNumberList::insertCountEntry_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<std::string>("entry");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("count");
    const int empty = int(lm::InsertCountEntry::Empty);
    const int refused = int(lm::InsertCountEntry::Refused);
    const int accepted = int(lm::InsertCountEntry::Accepted);
    QTest::newRow("sl4 9") << int(lm::kSl4) << std::string("9") << accepted << 9;
    QTest::newRow("sl4 10") << int(lm::kSl4) << std::string("10") << refused << 0;
    QTest::newRow("sp2 19") << int(lm::kSp2) << std::string("19") << accepted << 19;
    QTest::newRow("sp2 20") << int(lm::kSp2) << std::string("20") << refused << 0;
    QTest::newRow("slb2 7") << int(lm::kSlb2) << std::string("7") << accepted << 7;
    QTest::newRow("slb2 8") << int(lm::kSlb2) << std::string("8") << refused << 0;
    QTest::newRow("Mailer-1 any") << int(lm::kMailer1) << std::string("500") << accepted << 500;
    QTest::newRow("Mailer-1 above 16 bits")
        << int(lm::kMailer1) << std::string("32768") << refused << 0;
    QTest::newRow("Mailer-1 65539") << int(lm::kMailer1) << std::string("65539") << refused << 0;
    QTest::newRow("zero") << int(lm::kSp1) << std::string("0") << accepted << 0;
    QTest::newRow("1a") << int(lm::kSp1) << std::string("1a") << refused << 0;
    QTest::newRow("-1") << int(lm::kSp1) << std::string("-1") << refused << 0;
    QTest::newRow("2.5") << int(lm::kSp1) << std::string("2.5") << refused << 0;
    QTest::newRow("blank 3") << int(lm::kSp1) << std::string(" 3") << refused << 0;
    QTest::newRow("empty") << int(lm::kSp1) << std::string() << empty << 0;
}

void TestNumberList::insertCountEntry() {
    QFETCH(int, labelType);
    QFETCH(std::string, entry);
    QFETCH(int, outcome);
    QFETCH(int, count);
    int got = 0;
    lm::InsertCountEntry result =
        lm::checkInsertCountEntry(entry, lm::labelTypeInfo(labelType)->insertLimit, &got);
    QCOMPARE(int(result), outcome);
    QCOMPARE(got, count);
}

void TestNumberList::spineComposition_data() {
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("twoNumbers");
    QTest::addColumn<std::string>("composed");
    QTest::newRow("ends with a line feed")
        << std::string("QA76\r\n") << false << std::string("QA76\r\nVol.1");
    QTest::newRow("ends with a line feed, two")
        << std::string("QA76\r\n") << true << std::string("QA76\r\nVol.1\r\nCopy 2");
    QTest::newRow("otherwise") << std::string("QA76\r\nS77") << false
                               << std::string("QA76\r\nS77\r\nVol.1");
    QTest::newRow("otherwise, two")
        << std::string("QA76") << true << std::string("QA76\r\nVol.1\r\nCopy 2");
    QTest::newRow("empty second spine") << std::string() << false << std::string("\r\nVol.1");
}

void TestNumberList::spineComposition() {
    QFETCH(std::string, text);
    QFETCH(bool, twoNumbers);
    QFETCH(std::string, composed);
    lm::CopyNumbers numbers{"Vol.1", std::nullopt};
    if (twoNumbers) numbers.b = "Copy 2";
    QCOMPARE(lm::composeSpineText(text, numbers), composed);
}

void TestNumberList::pocketComposition_data() {
    QTest::addColumn<std::string>("text");
    QTest::addColumn<bool>("twoNumbers");
    QTest::addColumn<std::string>("composed");
    QTest::newRow("one line") << std::string("Smith") << false << std::string("Smith Vol.1");
    QTest::newRow("one line, two")
        << std::string("Smith") << true << std::string("Smith Vol.1 Copy 2");
    QTest::newRow("line feed first")
        << std::string("\nSmith") << false << std::string("Vol.1\nSmith");
    QTest::newRow("line feed first, two")
        << std::string("\nSmith") << true << std::string("Vol.1 Copy 2\nSmith");
    // The line break stays whole: the numbers go before its CR LF.
    QTest::newRow("CR LF after the first line")
        << std::string("Smith\r\nJones") << false << std::string("Smith Vol.1\r\nJones");
    QTest::newRow("CR LF after the first line, two")
        << std::string("Smith\r\nJones") << true << std::string("Smith Vol.1 Copy 2\r\nJones");
    QTest::newRow("lone LF after the first line")
        << std::string("Smith\nJones") << false << std::string("Smith Vol.1\nJones");
    QTest::newRow("empty first line")
        << std::string("\r\nJones") << false << std::string(" Vol.1\r\nJones");
    QTest::newRow("empty pocket") << std::string() << false << std::string(" Vol.1");
}

void TestNumberList::pocketComposition() {
    QFETCH(std::string, text);
    QFETCH(bool, twoNumbers);
    QFETCH(std::string, composed);
    lm::CopyNumbers numbers{"Vol.1", std::nullopt};
    if (twoNumbers) numbers.b = "Copy 2";
    QCOMPARE(lm::composePocketText(text, numbers), composed);
}

void TestNumberList::productionSeries_data() {
    QTest::addColumn<std::string>("constant1");
    QTest::addColumn<std::string>("numbers1");
    QTest::addColumn<std::string>("constant2");
    QTest::addColumn<std::string>("numbers2");
    QTest::addColumn<int>("copies");
    QTest::addColumn<Strings>("series");
    const std::string c = "Vol.";
    QTest::newRow("no lists, 3 copies") << c << std::string() << std::string() << std::string() << 3
                                        << Strings{"T\r\nVol.", "T\r\nVol.", "T\r\nVol."};
    QTest::newRow("no constant, no lists") << std::string() << std::string() << std::string()
                                           << std::string() << 1 << Strings{"T\r\n"};
    QTest::newRow("first list 5") << c << std::string("5") << std::string() << std::string() << 1
                                  << Strings{"T\r\nVol.5"};
    QTest::newRow("1-3, 2 copies") << c << std::string("1-3") << std::string() << std::string() << 2
                                   << Strings{"T\r\nVol.1", "T\r\nVol.1", "T\r\nVol.2",
                                              "T\r\nVol.2", "T\r\nVol.3", "T\r\nVol.3"};
    QTest::newRow("second list only")
        << c << std::string() << std::string("Copy ") << std::string("1-2") << 1
        << Strings{"T\r\nVol.\r\nCopy 1", "T\r\nVol.\r\nCopy 2"};
    QTest::newRow("Vol. 1-3 x Copy 1,2")
        << c << std::string("1-3") << std::string("Copy ") << std::string("1,2") << 1
        << Strings{"T\r\nVol.1\r\nCopy 1", "T\r\nVol.1\r\nCopy 2", "T\r\nVol.2\r\nCopy 1",
                   "T\r\nVol.2\r\nCopy 2", "T\r\nVol.3\r\nCopy 1", "T\r\nVol.3\r\nCopy 2"};
    QTest::newRow("refused: second constant without list")
        << c << std::string("1") << std::string("Copy ") << std::string() << 1
        << Strings{"refused: You entered illegal numbers!"};
    QTest::newRow("refused: range past 32767")
        << c << std::string("1-40000") << std::string() << std::string() << 1
        << Strings{"refused: You entered illegal numbers!"};
    QTest::newRow("refused: copies past 32767")
        << c << std::string("1") << std::string() << std::string() << 32768
        << Strings{"refused: You entered illegal numbers!"};
    QTest::newRow("refused: no copies") << c << std::string("1") << std::string() << std::string()
                                        << 0 << Strings{"refused: You entered illegal numbers!"};
}

void TestNumberList::productionSeries() {
    QFETCH(std::string, constant1);
    QFETCH(std::string, numbers1);
    QFETCH(std::string, constant2);
    QFETCH(std::string, numbers2);
    QFETCH(int, copies);
    QFETCH(Strings, series);
    QCOMPARE(spineSeries(constant1, numbers1, constant2, numbers2, copies), series);
}

void TestNumberList::everyTextOfACopyIsNumbered() {
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
    QCOMPARE(slb.p1, std::string("Smith Vol.2 c.1\r\nJones"));
    QCOMPARE(slb.p2, std::string());
}

QTEST_APPLESS_MAIN(TestNumberList)
#include "tst_numberlist.moc"

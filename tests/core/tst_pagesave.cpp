#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>

#include "core/atomicfile.h"
#include "core/editrequest.h"
#include "core/labelpage.h"
#include "core/labelset.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"
#include "core/production.h"
#include "core/selection.h"
#include "storefixtures.h"

using lmtest::labelFile;
using lmtest::numberedLabels;
using lmtest::readBytes;
using lmtest::writeBytes;

using Texts = std::vector<std::string>;
Q_DECLARE_METATYPE(Texts)
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(lm::EditRequest)

namespace {

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

Texts numbered(const std::string& prefix, int from, int to) {
    Texts texts;
    for (int i = from; i <= to; ++i) texts.push_back(prefix + std::to_string(i));
    return texts;
}

Texts operator+(Texts a, const Texts& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A label file opened in a fresh folder, with one page of it on display.
struct OpenFile {
    QTemporaryDir dir;
    QString path;
    lm::PageState state;
    lm::MemoryPage page;
    int labelType;

    OpenFile(int type, const std::string& content, int pageNumber)
        : path(dir.filePath(QStringLiteral("labels.dat"))),
          page(lm::MemoryPage::forLabelType(type)),
          labelType(type) {
        writeBytes(path, bytes(content));
        state.CurrentFileName = path.toStdString();
        lm::Status shown = lm::showPage(state, page, type, pageNumber);
        if (!shown.ok()) qFatal("could not show the page: %s", shown.error().message().c_str());
    }
    lm::Result<lm::SaveOutcome> save(const lm::EditRequest& edit = {}) {
        return lm::SaveLabelFile(state, page, labelType, edit, state.CurrentFileName);
    }
    std::string content() const { return readBytes(path).toStdString(); }
};

// The texts of page `pageNumber` of a file of `texts`, split by hand the way
// the page reader fills spine and pocket elements.
std::pair<Texts, Texts> expectedPage(int labelType, const Texts& texts, int pageNumber) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    std::size_t next = std::size_t(type->textsPerPage()) * std::size_t(pageNumber - 1);
    int pocket = 2;
    for (int spine = 2; spine <= type->setsPerPage + 1 && next < texts.size(); ++spine) {
        page.setSpineText(spine, texts[next++]);
        for (int p = 0; p < type->pocketsPerSet && next < texts.size(); ++p)
            page.setPocketText(pocket++, texts[next++]);
    }
    return {lmtest::spineTexts(page), lmtest::pocketTexts(page)};
}

bool sameState(const lm::PageState& a, const lm::PageState& b) {
    return a.CurrentFileName == b.CurrentFileName && a.PageStartPosition == b.PageStartPosition &&
           a.PageEndPosition == b.PageEndPosition && a.LabelFileLength == b.LabelFileLength &&
           a.PageNumber == b.PageNumber;
}

lm::EditRequest editAt(const char* pendingEdit, int labelType, int selectedLabel, int count = 0) {
    lm::EditRequest edit;
    edit.PendingEdit = pendingEdit;
    edit.SelectedSetIndex = lm::decodeSelectedLabel(labelType, selectedLabel)->setPosition;
    edit.PendingEditCount = count;
    return edit;
}

lm::EditRequest series(int labelType, int selectedLabel, const std::string& constant1,
                       const std::string& numbers1, const std::string& constant2,
                       const std::string& numbers2, int copies) {
    lm::EditRequest edit = editAt(lm::kMultipleCopyPrinting, labelType, selectedLabel, copies);
    edit.MultiConstant1 = constant1;
    edit.MultiNumbers1 = numbers1;
    edit.MultiConstant2 = constant2;
    edit.MultiNumbers2 = numbers2;
    return edit;
}

}  // namespace

class TestPageSave : public QObject {
    Q_OBJECT
  private slots:
    void changedTextMovesOnlyWhatFollows();
    void emptiedSpineDropsItsSet();
    void emptySetsAtTheEndAreNotWritten();
    void sp2PairWithEmptyFirstSpineIsNotWritten();
    void saveAsReplacesALongerFile();
    void saveWithNoFileOpen();
    void newPageAfterAnUnfinishedText();
    void untouchedPagesRoundTrip_data();
    void untouchedPagesRoundTrip();
    void rememberedPageStartsFollowTheSave();
    void edits_data();
    void edits();
    void randomEditsAgreeWithAModel_data();
    void randomEditsAgreeWithAModel();
    void unstorableTextsAreRefused_data();
    void unstorableTextsAreRefused();
    void failedWritesKeepTheOldFile_data();
    void failedWritesKeepTheOldFile();
};

void TestPageSave::changedTextMovesOnlyWhatFollows() {
    const std::string page1 = numberedLabels("x", 1, 40);
    const std::string before = page1 + numberedLabels("x", 41, 60);
    OpenFile file(lm::kSp1, before, 2);
    const std::int32_t oldEnd = file.state.PageEndPosition;
    file.page.setSpineText(6, "x45ab");  // the 45th label gets two letters more
    lm::Result<lm::SaveOutcome> saved = file.save();
    QVERIFY(saved.ok());
    QVERIFY(!saved->pageReread);
    const std::string after = file.content();
    QCOMPARE(after.size(), before.size() + 2);
    QCOMPARE(after, page1 + numberedLabels("x", 41, 44) + "x45ab~~" + numberedLabels("x", 46, 60));
    QCOMPARE(file.state.PageEndPosition, oldEnd + 2);
    QCOMPARE(file.state.LabelFileLength, std::int32_t(after.size()));
    QCOMPARE(file.state.PageStartPosition, std::int32_t(page1.size()) + 1);
    QCOMPARE(lmtest::entriesIn(file.dir.path()), 1);
}

void TestPageSave::emptiedSpineDropsItsSet() {
    Texts texts;
    for (int i = 1; i <= 15; ++i)
        texts = texts + Texts{"S" + std::to_string(i), "P" + std::to_string(i)};
    OpenFile file(lm::kSlb, labelFile(texts), 1);
    const std::int32_t oldEnd = file.state.PageEndPosition;
    file.page.setSpineText(5, "");
    QVERIFY(file.save().ok());
    Texts kept = texts;
    kept.erase(kept.begin() + 6, kept.begin() + 8);
    QCOMPARE(file.content(), labelFile(kept));
    // The page on display is not read again: the gap stays and the first set
    // of the next page is not pulled onto it.
    QCOMPARE(file.page.spineText(5), std::string());
    QCOMPARE(file.page.pocketText(6), std::string("P5"));
    QCOMPARE(file.state.PageEndPosition, oldEnd - std::int32_t(std::string("S4~~P4~~").size()));
    QCOMPARE(file.content().substr(std::size_t(file.state.PageEndPosition)),
             std::string("S11~~P11~~S12~~P12~~S13~~P13~~S14~~P14~~S15~~P15~~"));
}

void TestPageSave::emptySetsAtTheEndAreNotWritten() {
    OpenFile file(lm::kSl4, labelFile({"S1", "P1", "Q1", "S2", "P2", "Q2"}), 1);
    file.page.setSpineText(4, "S3");
    QVERIFY(file.save().ok());
    QCOMPARE(file.content(), labelFile({"S1", "P1", "Q1", "S2", "P2", "Q2", "S3", "", ""}));
    QCOMPARE(file.state.PageEndPosition, file.state.LabelFileLength);
}

void TestPageSave::sp2PairWithEmptyFirstSpineIsNotWritten() {
    OpenFile file(lm::kSp2, labelFile({"A1", "A2", "B1", "B2", "C1", "C2"}), 1);
    file.page.setSpineText(4, "");
    QVERIFY(file.save().ok());
    QCOMPARE(file.content(), labelFile({"A1", "A2", "C1", "C2"}));
}

void TestPageSave::saveAsReplacesALongerFile() {
    const std::string content = numberedLabels("L", 1, 50);
    OpenFile file(lm::kSp1, content, 2);
    QString other = file.dir.filePath(QStringLiteral("other.dat"));
    writeBytes(other, QByteArray(10000, 'z'));
    file.page.setSpineText(3, "changed");
    lm::Result<lm::SaveOutcome> saved =
        lm::SaveLabelFile(file.state, file.page, lm::kSp1, {}, other.toStdString());
    QVERIFY(saved.ok());
    QCOMPARE(readBytes(other).toStdString(),
             numberedLabels("L", 1, 41) + "changed~~" + numberedLabels("L", 43, 50));
    QCOMPARE(file.content(), content);
    QCOMPARE(file.state.CurrentFileName, other.toStdString());
    QCOMPARE(file.state.LabelFileLength, std::int32_t(readBytes(other).size()));
    QCOMPARE(lmtest::entriesIn(file.dir.path()), 2);
}

void TestPageSave::saveWithNoFileOpen() {
    QTemporaryDir dir;
    QString target = dir.filePath(QStringLiteral("new.dat"));
    lm::PageState state;
    state.PageStartPosition = 500;  // left over from a file closed by New
    state.PageEndPosition = 900;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSlb);
    page.setSpineText(2, "S1");
    page.setPocketText(2, "P1");
    page.setSpineText(3, "S2");
    lm::Result<lm::SaveOutcome> saved =
        lm::SaveLabelFile(state, page, lm::kSlb, {}, target.toStdString());
    QVERIFY(saved.ok());
    QCOMPARE(readBytes(target).toStdString(), std::string("S1~~P1~~S2~~~~"));
    QCOMPARE(state.CurrentFileName, target.toStdString());
    QCOMPARE(state.PageStartPosition, 1);
    QCOMPARE(state.PageEndPosition, 14);
    QCOMPARE(state.LabelFileLength, 14);
}

void TestPageSave::newPageAfterAnUnfinishedText() {
    // The file ends in bytes that never end a label. A label typed on the
    // empty page after the end must come back as typed, not glued to them.
    const std::string labels = numberedLabels("L", 1, 40);
    OpenFile file(lm::kSp1, labels + "tail", 3);
    QCOMPARE(file.state.PageStartPosition, std::int32_t(labels.size() + 5));
    file.page.setSpineText(2, "X");
    QVERIFY(file.save().ok());
    QCOMPARE(file.content(), labels + "X~~");
    QCOMPARE(file.state.PageStartPosition, std::int32_t(labels.size()) + 1);
    QCOMPARE(file.state.PageEndPosition, std::int32_t(labels.size()) + 3);
}

void TestPageSave::untouchedPagesRoundTrip_data() {
    QTest::addColumn<int>("labelType");
    for (int t = lm::kFirstLabelType; t <= lm::kLastLabelType; ++t)
        QTest::addRow("%s", lm::labelTypeName(t).c_str()) << t;
}

void TestPageSave::untouchedPagesRoundTrip() {
    QFETCH(int, labelType);
    std::mt19937 random{unsigned(labelType)};
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    Texts texts;
    const char* samples[] = {"QA76.73\r\n.C153\r\nS77\r\n2011",
                             "~lead",
                             "a~b",
                             "é\xe9\x80\x81",
                             "x",
                             "",
                             "Line\r\n",
                             "\t~x~y"};
    // Whole sets only: a set cut short at the end of the file is written back
    // with its missing texts as empty ones.
    const int count = type->textsPerPage() * 3 + lm::textsPerSetPosition(*type) * int(random() % 4);
    for (int i = 0; i < count; ++i) {
        std::string text = samples[random() % 8];
        // A set needs its first spine text to be written back.
        bool firstOfSet = i % lm::textsPerSetPosition(*type) == 0;
        if (firstOfSet && text.empty()) text = "spine";
        texts.push_back(text + std::to_string(i));
    }
    const std::string content = labelFile(texts);
    for (int pageNumber = 1; pageNumber <= 5; ++pageNumber) {
        OpenFile file(labelType, content, pageNumber);
        lm::PageState before = file.state;
        lm::Result<lm::SaveOutcome> saved = file.save();
        QVERIFY(saved.ok());
        QCOMPARE(file.content(), content);
        QVERIFY(sameState(file.state, before));
    }
}

void TestPageSave::rememberedPageStartsFollowTheSave() {
    OpenFile file(lm::kSp1, numberedLabels("L", 1, 400), 6);
    QVERIFY(file.state.PageStarts.knownPages() >= 6);
    auto forwardStart = [&](int pageNumber) {
        lm::PageState fresh;
        fresh.CurrentFileName = file.state.CurrentFileName;
        return lm::locatePage(fresh, lm::kSp1, pageNumber)->start;
    };

    // A longer text on page 3: every later page moves by the same bytes and
    // the remembered starts follow without a new scan.
    QVERIFY(lm::showPage(file.state, file.page, lm::kSp1, 3).ok());
    file.page.setSpineText(10, "a much longer label");
    QVERIFY(file.save().ok());
    QVERIFY(file.state.PageStarts.knownPages() >= 6);
    for (int p = 1; p <= file.state.PageStarts.knownPages(); ++p)
        QCOMPARE(std::int32_t(file.state.PageStarts.start(p)), forwardStart(p));

    // A set dropped on page 2: the page ends a label earlier than paging
    // forward would end it, so the later starts are found anew.
    QVERIFY(lm::showPage(file.state, file.page, lm::kSp1, 2).ok());
    file.page.setSpineText(5, "");
    QVERIFY(file.save().ok());
    for (int p = 8; p >= 2; --p) {
        lm::Result<std::int32_t> previous =
            lm::FindNewPagePosition(file.state, lm::kSp1, forwardStart(p));
        QVERIFY(previous.ok());
        QCOMPARE(*previous, forwardStart(p - 1));
    }
}

void TestPageSave::edits_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<Texts>("before");
    QTest::addColumn<int>("pageNumber");
    QTest::addColumn<lm::EditRequest>("edit");
    QTest::addColumn<Texts>("after");

    const Texts l45 = numbered("L", 1, 45);
    const Texts blank1 = {"<Blank>"};
    const Texts blank2 = {"<Blank>", ""};
    const Texts blank3 = {"<Blank>", "", ""};
    auto sets = [](int count, int pockets) {
        Texts texts;
        for (int i = 1; i <= count; ++i) {
            texts.push_back("S" + std::to_string(i));
            for (int p = 1; p <= pockets; ++p)
                texts.push_back("P" + std::to_string(i) + "." + std::to_string(p));
        }
        return texts;
    };
    auto slice = [](const Texts& t, int from, int to) {  // 1-based, inclusive
        return Texts(t.begin() + from - 1, t.begin() + to);
    };

    // Insert Blank.
    QTest::newRow("sp1 insert 2 before L4")
        << int(lm::kSp1) << l45 << 1 << editAt(lm::kInsertBlankLabel, lm::kSp1, 5, 2)
        << slice(l45, 1, 3) + blank1 + blank1 + slice(l45, 4, 45);
    QTest::newRow("sp1 insert 0 saves and re-reads")
        << int(lm::kSp1) << l45 << 1 << editAt(lm::kInsertBlankLabel, lm::kSp1, 5, 0) << l45;
    QTest::newRow("sp2 spine 6 is the pair 6 and 7")
        << int(lm::kSp2) << l45 << 1 << editAt(lm::kInsertBlankLabel, lm::kSp2, 6, 1)
        << slice(l45, 1, 4) + blank2 + slice(l45, 5, 45);
    const Texts slb = sets(15, 1);
    QTest::newRow("slb pocket 7") << int(lm::kSlb) << slb << 1
                                  << editAt(lm::kInsertBlankLabel, lm::kSlb, 47, 1)
                                  << slice(slb, 1, 10) + blank2 + slice(slb, 11, 30);
    const Texts sl4 = sets(14, 2);
    QTest::newRow("sl4 three blanks at set position 4")
        << int(lm::kSl4) << sl4 << 1 << editAt(lm::kInsertBlankLabel, lm::kSl4, 4, 3)
        << slice(sl4, 1, 6) + blank3 + blank3 + blank3 + slice(sl4, 7, 42);
    const Texts l60 = numbered("L", 1, 60);
    QTest::newRow("spa before the last label of the page")
        << int(lm::kSpa) << l60 << 1 << editAt(lm::kInsertBlankLabel, lm::kSpa, 51, 1)
        << slice(l60, 1, 49) + blank1 + slice(l60, 50, 60);
    const Texts mailers = sets(5, 2);
    QTest::newRow("Mailer-1 page 4, three blanks")
        << int(lm::kMailer1) << mailers << 4 << editAt(lm::kInsertBlankLabel, lm::kMailer1, 2, 3)
        << slice(mailers, 1, 9) + blank3 + blank3 + blank3 + slice(mailers, 10, 15);
    const Texts sl6 = sets(8, 2);
    QTest::newRow("sl6 page 2") << int(lm::kSl6) << sl6 << 2
                                << editAt(lm::kInsertBlankLabel, lm::kSl6, 42, 1)
                                << slice(sl6, 1, 18) + blank3 + slice(sl6, 19, 24);
    const Texts slb2 = sets(10, 1);
    QTest::newRow("slb2 seven blanks")
        << int(lm::kSlb2) << slb2 << 1 << editAt(lm::kInsertBlankLabel, lm::kSlb2, 2, 7)
        << Texts{} + blank2 + blank2 + blank2 + blank2 + blank2 + blank2 + blank2 + slb2;
    const Texts l120 = numbered("L", 1, 120);
    QTest::newRow("sp1/sp2-f2 page 2")
        << int(lm::kSp1Sp2F2) << l120 << 2 << editAt(lm::kInsertBlankLabel, lm::kSp1Sp2F2, 3, 2)
        << slice(l120, 1, 57) + blank1 + blank1 + slice(l120, 58, 120);
    QTest::newRow("sp1/sp2-f3 last set")
        << int(lm::kSp1Sp2F3) << l45 << 1 << editAt(lm::kInsertBlankLabel, lm::kSp1Sp2F3, 37, 1)
        << slice(l45, 1, 35) + blank1 + slice(l45, 36, 45);
    QTest::newRow("selected set is an empty position")
        << int(lm::kSp1) << numbered("L", 1, 3) << 1
        << editAt(lm::kInsertBlankLabel, lm::kSp1, 10, 2) << numbered("L", 1, 3);

    // Delete.
    QTest::newRow("sp1 delete L2")
        << int(lm::kSp1) << l45 << 1 << editAt(lm::kDeleteLabel, lm::kSp1, 3)
        << slice(l45, 1, 1) + slice(l45, 3, 45);
    QTest::newRow("sp2 delete the pair 6 and 7")
        << int(lm::kSp2) << l45 << 1 << editAt(lm::kDeleteLabel, lm::kSp2, 7)
        << slice(l45, 1, 4) + slice(l45, 7, 45);
    QTest::newRow("sl4 pocket 5 deletes set 3")
        << int(lm::kSl4) << sl4 << 1 << editAt(lm::kDeleteLabel, lm::kSl4, 45)
        << slice(sl4, 1, 3) + slice(sl4, 7, 42);
    QTest::newRow("slb2 last set of the page")
        << int(lm::kSlb2) << slb2 << 1 << editAt(lm::kDeleteLabel, lm::kSlb2, 9)
        << slice(slb2, 1, 14) + slice(slb2, 17, 20);
    QTest::newRow("Mailer-1 last page")
        << int(lm::kMailer1) << slice(mailers, 1, 9) << 3
        << editAt(lm::kDeleteLabel, lm::kMailer1, 2) << slice(mailers, 1, 6);
    QTest::newRow("the last label of the file, alone on its page")
        << int(lm::kSp1) << numbered("L", 1, 41) << 2 << editAt(lm::kDeleteLabel, lm::kSp1, 2)
        << numbered("L", 1, 40);
    QTest::newRow("delete on an empty position")
        << int(lm::kSp1) << numbered("L", 1, 3) << 1 << editAt(lm::kDeleteLabel, lm::kSp1, 9)
        << numbered("L", 1, 3);

    // Multiple copies.
    const Texts twoLines = {"QA76\r\nS77", "L2", "L3"};
    QTest::newRow("sp1 Vol. 1-3 x Copy 1,2")
        << int(lm::kSp1) << twoLines << 1 << series(lm::kSp1, 2, "Vol.", "1-3", "Copy ", "1,2", 1)
        << Texts{"QA76\r\nS77\r\nVol.1\r\nCopy 1",
                 "QA76\r\nS77\r\nVol.1\r\nCopy 2",
                 "QA76\r\nS77\r\nVol.2\r\nCopy 1",
                 "QA76\r\nS77\r\nVol.2\r\nCopy 2",
                 "QA76\r\nS77\r\nVol.3\r\nCopy 1",
                 "QA76\r\nS77\r\nVol.3\r\nCopy 2",
                 "L2",
                 "L3"};
    QTest::newRow("sl4 every text numbered")
        << int(lm::kSl4) << Texts{"S", "Smith", "Brown\r\nX", "T", "U", "V"} << 1
        << series(lm::kSl4, 42, "v.", "1-2", "", "", 1)
        << Texts{"S\r\nv.1", "Smith v.1", "Brown v.1\r\nX",
                 "S\r\nv.2", "Smith v.2", "Brown v.2\r\nX",
                 "T",        "U",         "V"};
    QTest::newRow("slb pocket keeps its line break")
        << int(lm::kSlb) << Texts{"S", "Smith\r\nJones"} << 1
        << series(lm::kSlb, 2, "Vol.", "1", "", "", 2)
        << Texts{"S\r\nVol.1", "Smith Vol.1\r\nJones", "S\r\nVol.1", "Smith Vol.1\r\nJones"};
    QTest::newRow("sp2 both spines numbered")
        << int(lm::kSp2) << Texts{"A", "B", "C", "D"} << 1
        << series(lm::kSp2, 5, "c.", "1,2", "", "", 1)
        << Texts{"A", "B", "C\r\nc.1", "D\r\nc.1", "C\r\nc.2", "D\r\nc.2"};
    QTest::newRow("copies without lists")
        << int(lm::kSp1) << Texts{"A", "B"} << 1 << series(lm::kSp1, 3, "x", "", "", "", 3)
        << Texts{"A", "B\r\nx", "B\r\nx", "B\r\nx"};
    QTest::newRow("series past the end of the page")
        << int(lm::kSl6) << sets(6, 2) << 1 << series(lm::kSl6, 7, "n", "1-4", "", "", 1)
        << slice(sets(6, 2), 1, 15) + Texts{"S6\r\nn1", "P6.1 n1",  "P6.2 n1",  "S6\r\nn2",
                                            "P6.1 n2",  "P6.2 n2",  "S6\r\nn3", "P6.1 n3",
                                            "P6.2 n3",  "S6\r\nn4", "P6.1 n4",  "P6.2 n4"};
    QTest::newRow("series on an empty position produces nothing")
        << int(lm::kSp1) << Texts{"A"} << 1 << series(lm::kSp1, 4, "x", "1-3", "", "", 1)
        << Texts{"A"};
}

void TestPageSave::edits() {
    QFETCH(int, labelType);
    QFETCH(Texts, before);
    QFETCH(int, pageNumber);
    QFETCH(lm::EditRequest, edit);
    QFETCH(Texts, after);
    OpenFile file(labelType, labelFile(before), pageNumber);
    lm::Result<lm::SaveOutcome> saved = file.save(edit);
    QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message().c_str());
    QVERIFY(saved->pageReread);
    QCOMPARE(file.content(), labelFile(after));

    // The same page number shows what now falls on it.
    QCOMPARE(file.state.PageNumber, pageNumber);
    std::pair<Texts, Texts> shown = expectedPage(labelType, after, pageNumber);
    QCOMPARE(lmtest::spineTexts(file.page), shown.first);
    QCOMPARE(lmtest::pocketTexts(file.page), shown.second);
    lm::PageState fresh;
    fresh.CurrentFileName = file.state.CurrentFileName;
    lm::Result<lm::PageBounds> bounds = lm::locatePage(fresh, labelType, pageNumber);
    QCOMPARE(file.state.PageStartPosition, bounds->start);
    QCOMPARE(file.state.PageEndPosition, bounds->end);
    QCOMPARE(file.state.LabelFileLength, std::int32_t(labelFile(after).size()));
}

void TestPageSave::randomEditsAgreeWithAModel_data() {
    QTest::addColumn<int>("labelType");
    for (int t = lm::kFirstLabelType; t <= lm::kLastLabelType; ++t)
        QTest::addRow("%s", lm::labelTypeName(t).c_str()) << t;
}

void TestPageSave::randomEditsAgreeWithAModel() {
    // The model: the file as a list of texts. The page is its slice; it is
    // written back set by set (a set with an empty first text is left out)
    // with the edit applied at its set position.
    QFETCH(int, labelType);
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    const int perSet = lm::textsPerSetPosition(*type);
    const int perPage = type->textsPerPage();
    std::mt19937 random{unsigned(100 + labelType)};
    const char* pendingEdits[] = {lm::kNoPendingEdit, lm::kInsertBlankLabel, lm::kDeleteLabel,
                                  lm::kMultipleCopyPrinting};

    for (int round = 0; round < 40; ++round) {
        Texts texts;
        const int count = int(random() % std::size_t(perPage * 4)) + 1;
        for (int i = 0; i < count; ++i)
            texts.push_back(random() % 9 == 0 ? std::string()
                                              : "t" + std::to_string(i) + (i % 5 ? "" : "~x"));
        const int pages = (count + perPage - 1) / perPage;
        const int pageNumber =
            int(random() % std::size_t(pages + 1)) + 1;  // sometimes past the end
        lm::EditRequest edit = series(labelType, 2, "v", "1-2", "", "", 1);
        edit.PendingEdit = pendingEdits[random() % 4];
        edit.SelectedSetIndex = 2 + int(random() % std::size_t(type->lastSetPosition() - 1));
        edit.PendingEditCount = edit.producesCopies() ? 1 + int(random() % 2) : int(random() % 3);

        const std::size_t first = std::min(texts.size(), std::size_t(perPage) * (pageNumber - 1));
        const std::size_t last = std::min(texts.size(), first + std::size_t(perPage));
        Texts expected(texts.begin(), texts.begin() + long(first));
        for (std::size_t at = first; at < last; at += std::size_t(perSet)) {
            Texts set(static_cast<std::size_t>(perSet), std::string());
            for (std::size_t i = 0; i < set.size() && at + i < last; ++i) set[i] = texts[at + i];
            if (set[0].empty()) continue;
            const bool selected =
                int((at - first) / std::size_t(perSet)) + 2 == edit.SelectedSetIndex;
            if (selected && edit.deletesSet()) continue;
            if (selected && edit.insertsBlankSets()) {
                for (int b = 0; b < edit.PendingEditCount; ++b) {
                    expected.push_back("<Blank>");
                    for (int i = 1; i < perSet; ++i) expected.push_back("");
                }
            }
            if (selected && edit.producesCopies()) {
                for (const char* number : {"1", "2"}) {
                    lm::LabelSetTexts numbered =
                        lm::composeCopy(*type,
                                        {set[0], type->pairsSpines() ? set[1] : "",
                                         type->pocketsPerSet > 0 ? set[1] : "",
                                         type->pocketsPerSet > 1 ? set[2] : ""},
                                        {std::string("v") + number, std::nullopt});
                    Texts copy = {numbered.s1};
                    if (type->pairsSpines()) copy.push_back(numbered.s2);
                    if (type->pocketsPerSet > 0) copy.push_back(numbered.p1);
                    if (type->pocketsPerSet > 1) copy.push_back(numbered.p2);
                    for (int c = 0; c < edit.PendingEditCount; ++c)
                        expected.insert(expected.end(), copy.begin(), copy.end());
                }
                continue;
            }
            expected.insert(expected.end(), set.begin(), set.end());
        }
        expected.insert(expected.end(), texts.begin() + long(last), texts.end());

        OpenFile file(labelType, labelFile(texts), pageNumber);
        lm::Result<lm::SaveOutcome> saved = file.save(edit);
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message().c_str());
        QCOMPARE(file.content(), labelFile(expected));
        QCOMPARE(saved->pageReread, edit.movesPageBoundaries());
        if (saved->pageReread) {
            std::pair<Texts, Texts> shown = expectedPage(labelType, expected, pageNumber);
            QCOMPARE(lmtest::spineTexts(file.page), shown.first);
            QCOMPARE(lmtest::pocketTexts(file.page), shown.second);
        }
        // Going back from every later page finds the pages that paging forward finds.
        lm::PageState fresh;
        fresh.CurrentFileName = file.state.CurrentFileName;
        for (int p = pageNumber + 2; p >= 2; --p) {
            lm::Result<lm::PageBounds> page = lm::locatePage(fresh, labelType, p);
            lm::Result<lm::PageBounds> before = lm::locatePage(fresh, labelType, p - 1);
            if (page->start > file.state.LabelFileLength) continue;
            lm::Result<std::int32_t> previous =
                lm::FindNewPagePosition(file.state, labelType, page->start);
            QVERIFY(previous.ok());
            QCOMPARE(*previous, before->start);
        }
    }
}

void TestPageSave::unstorableTextsAreRefused_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<int>("spineElement");  // element given the text, 0 for none
    QTest::addColumn<int>("pocketElement");
    QTest::addColumn<std::string>("text");  // "" = a character Windows-1252 lacks
    QTest::addColumn<lm::EditRequest>("edit");
    QTest::addColumn<int>("emptiedSpine");  // spine element emptied first, 0 for none
    QTest::addColumn<QString>("message");   // empty when the save goes ahead

    const lm::EditRequest none;
    QTest::newRow("two tildes in a spine text")
        << int(lm::kSp1) << 4 << 0 << std::string("QA~~76") << none << 0
        << QStringLiteral("The spine label of label set 3 on this page holds two tildes in a row");
    QTest::newRow("pocket text ending in a tilde")
        << int(lm::kSl4) << 0 << 5 << std::string("Smith~") << none << 0
        << QStringLiteral("The second pocket label of label set 2 on this page ends with a tilde");
    QTest::newRow("second spine of an sp2 pair")
        << int(lm::kSp2) << 7 << 0 << std::string("~~") << none << 0
        << QStringLiteral("The second spine label of label set 3 on this page holds two tildes");
    QTest::newRow("character outside Windows-1252")
        << int(lm::kSlb) << 0 << 3 << std::string() << none << 0
        << QStringLiteral(
               "The pocket label of label set 2 on this page holds a character that "
               "a label file cannot store");
    QTest::newRow("spine of a set that is deleted")
        << int(lm::kSp1) << 4 << 0 << std::string("QA~~76") << editAt(lm::kDeleteLabel, lm::kSp1, 4)
        << 0 << QString();
    QTest::newRow("pocket of a set with an empty spine")
        << int(lm::kSlb) << 0 << 11 << std::string("x~~y") << none << 11 << QString();
    lm::EditRequest tildeConstant = series(lm::kSp1, 3, "~", "", "", "", 1);
    QTest::newRow("numbered copies would end in a tilde")
        << int(lm::kSp1) << 0 << 0 << std::string() << tildeConstant << 0
        << QStringLiteral("The numbered copies of the spine label of label set 2 on this page");
    lm::EditRequest pocketSeries = series(lm::kSlb, 3, "v", "1", "", "", 1);
    QTest::newRow("a pocket tilde numbering cures")
        << int(lm::kSlb) << 0 << 3 << std::string("Smith~") << pocketSeries << 0 << QString();
    lm::EditRequest badList = series(lm::kSp1, 3, "v", "3-1", "", "", 1);
    QTest::newRow("refused number list") << int(lm::kSp1) << 0 << 0 << std::string("x") << badList
                                         << 0 << QStringLiteral("You entered illegal numbers!");
}

void TestPageSave::unstorableTextsAreRefused() {
    QFETCH(int, labelType);
    QFETCH(int, spineElement);
    QFETCH(int, pocketElement);
    QFETCH(std::string, text);
    QFETCH(lm::EditRequest, edit);
    QFETCH(int, emptiedSpine);
    QFETCH(QString, message);
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    Texts texts;
    for (int i = 0; i < type->textsPerPage() + 4; ++i) texts.push_back("T" + std::to_string(i));
    OpenFile file(labelType, labelFile(texts), 1);
    if (emptiedSpine) file.page.setSpineText(emptiedSpine, "");
    lmtest::UnencodablePage page(file.page, text.empty() ? spineElement : 0,
                                 text.empty() ? pocketElement : 0);
    if (!text.empty() && spineElement) page.setSpineText(spineElement, text);
    if (!text.empty() && pocketElement) page.setPocketText(pocketElement, text);

    const QByteArray oldBytes = readBytes(file.path);
    lm::PageState before = file.state;
    // Every refusal is found before any file is touched.
    QCOMPARE(lm::checkPageCanBeSaved(page, labelType, edit, file.state.CurrentFileName).ok(),
             message.isEmpty());
    lm::Result<lm::SaveOutcome> saved =
        lm::SaveLabelFile(file.state, page, labelType, edit, file.state.CurrentFileName);
    if (message.isEmpty()) {
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message().c_str());
        return;
    }
    QVERIFY(!saved.ok());
    QVERIFY2(QString::fromStdString(saved.error().reason).startsWith(message),
             saved.error().reason.c_str());
    QCOMPARE(readBytes(file.path), oldBytes);
    QVERIFY(sameState(file.state, before));
    QCOMPARE(lmtest::entriesIn(file.dir.path()), 1);
}

void TestPageSave::failedWritesKeepTheOldFile_data() {
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<lm::EditRequest>("edit");
    const qint64 size = qint64(numberedLabels("Label number ", 1, 150000).size());
    const lm::EditRequest none;
    const lm::EditRequest insert = editAt(lm::kInsertBlankLabel, lm::kSp1, 7, 3);
    for (qint64 limit : {qint64(0), qint64(1 << 20) + 5, size - 1}) {
        QTest::addRow("after %lld bytes", limit) << limit << none;
        QTest::addRow("after %lld bytes, with an insertion", limit) << limit << insert;
    }
}

void TestPageSave::failedWritesKeepTheOldFile() {
    QFETCH(qint64, limit);
    QFETCH(lm::EditRequest, edit);
    OpenFile file(lm::kSp1, numberedLabels("Label number ", 1, 150000), 1500);
    file.page.setSpineText(9, "changed, and longer than the label it replaces");
    const QByteArray oldBytes = readBytes(file.path);
    const lm::PageState before = file.state;
    const Texts shown = lmtest::spineTexts(file.page);

    lm::AtomicFileWriter::setWriteLimitForTesting(limit);
    lm::Result<lm::SaveOutcome> saved = file.save(edit);
    lm::AtomicFileWriter::setWriteLimitForTesting(-1);
    QVERIFY(!saved.ok());
    QCOMPARE(saved.error().path, file.path.toStdString());
    QCOMPARE(saved.error().reason, std::string("No space left on device"));
    QVERIFY(readBytes(file.path) == oldBytes);
    QCOMPARE(lmtest::entriesIn(file.dir.path()), 1);
    QVERIFY(sameState(file.state, before));
    QCOMPARE(lmtest::spineTexts(file.page), shown);

    // With room again the same save goes through.
    QVERIFY(file.save(edit).ok());
    QVERIFY(file.content().find("it replaces~~") != std::string::npos);
}

QTEST_APPLESS_MAIN(TestPageSave)
#include "tst_pagesave.moc"

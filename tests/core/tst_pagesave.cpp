#include <QTemporaryDir>
#include <QTest>

#include <random>

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
#include "testkit.h"

using lmtest::labelFile;
using lmtest::numberedLabels;
using lmtest::readBytes;
using lmtest::writeBytes;

using Texts = std::vector<std::string>;
using Typed = std::vector<std::pair<int, std::string>>;

struct EditRow {
    const char* name;
    int labelType;
    Texts before;
    int pageNumber;
    Typed typed;  // spine elements given a new text before the save
    lm::EditRequest edit;
    Texts after;
};
LM_TEST_ROW(EditRow)

struct RefusalRow {
    const char* name;
    int labelType, spineElement, pocketElement;  // elements given the text, 0 for none
    std::string text;
    lm::EditRequest edit;
    int emptiedSpine;     // spine element emptied first, 0 for none
    const char* message;  // the start of the refusal; empty when saved
};
LM_TEST_ROW(RefusalRow)

struct TypeRow {
    const char* name;
    int labelType;
};
LM_TEST_ROW(TypeRow)

namespace {

Texts numbered(const std::string& prefix, int from, int to) {
    Texts texts;
    for (int i = from; i <= to; ++i) texts.push_back(prefix + std::to_string(i));
    return texts;
}

Texts operator+(Texts a, const Texts& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A label file opened in a fresh folder, with one page of it on display
// after a later page was shown, so that page starts past it are remembered.
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
        writeBytes(path, QByteArray::fromStdString(content));
        state.CurrentFileName = path.toStdString();
        for (int shown : {pageNumber + 3, pageNumber}) {
            lm::Status status = lm::showPage(state, page, type, shown);
            if (!status.ok()) qFatal("could not show a page: %s", status.error().message().c_str());
        }
    }
    lm::Result<lm::SaveOutcome> save(const lm::EditRequest& edit = {}) {
        return lm::SaveLabelFile(state, page, labelType, edit, state.CurrentFileName);
    }
    std::string content() const { return readBytes(path).toStdString(); }
};

bool sameState(const lm::PageState& a, const lm::PageState& b) {
    return a.CurrentFileName == b.CurrentFileName && a.PageStartPosition == b.PageStartPosition &&
           a.PageEndPosition == b.PageEndPosition && a.LabelFileLength == b.LabelFileLength &&
           a.PageNumber == b.PageNumber;
}

// The page and its positions are what opening the saved file afresh at the
// same page number shows.
void checkShowsAfresh(const OpenFile& file) {
    lm::PageState state;
    state.CurrentFileName = file.state.CurrentFileName;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(file.labelType);
    QVERIFY(lm::showPage(state, page, file.labelType, file.state.PageNumber).ok());
    QCOMPARE(lmtest::spineTexts(file.page), lmtest::spineTexts(page));
    QCOMPARE(lmtest::pocketTexts(file.page), lmtest::pocketTexts(page));
    QCOMPARE(file.state.PageStartPosition, state.PageStartPosition);
    QCOMPARE(file.state.PageEndPosition, state.PageEndPosition);
}

// The remembered page starts, and going back from every page up to `last`,
// agree with paging forward from the start of the file.
void checkPageStarts(lm::PageState state, int labelType, int last) {
    lm::PageState fresh;
    fresh.CurrentFileName = state.CurrentFileName;
    for (int p = 1; p <= state.PageStarts.knownPages(); ++p)
        QCOMPARE(std::int32_t(state.PageStarts.start(p)),
                 lm::locatePage(fresh, labelType, p)->start);
    for (int p = last; p >= 2; --p) {
        const std::int32_t start = lm::locatePage(fresh, labelType, p)->start;
        if (start > state.LabelFileLength) continue;
        lm::Result<std::int32_t> previous = lm::FindNewPagePosition(state, labelType, start);
        QVERIFY(previous.ok());
        QCOMPARE(*previous, lm::locatePage(fresh, labelType, p - 1)->start);
    }
}

lm::EditRequest editAt(const char* pendingEdit, int labelType, int selectedLabel, int count = 0) {
    lm::EditRequest edit;
    edit.PendingEdit = pendingEdit;
    edit.SelectedSetIndex = lm::decodeSelectedLabel(labelType, selectedLabel)->setPosition;
    edit.PendingEditCount = count;
    return edit;
}

lm::EditRequest series(int labelType, int selectedLabel, const std::string& constant1,
                       const std::string& numbers1, int copies) {
    lm::EditRequest edit = editAt(lm::kMultipleCopyPrinting, labelType, selectedLabel, copies);
    edit.MultiConstant1 = constant1;
    edit.MultiNumbers1 = numbers1;
    return edit;
}

}  // namespace

class TestPageSave : public QObject {
    Q_OBJECT
  private slots:
    void edits_data() {
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
        auto blanks = [](int count, int perSet) {
            Texts texts;
            for (int i = 0; i < count; ++i) {
                texts.push_back("<Blank>");
                texts.resize(texts.size() + std::size_t(perSet - 1));
            }
            return texts;
        };
        const lm::EditRequest none;
        const Texts l45 = numbered("L", 1, 45);
        const Texts l240 = numbered("L", 1, 240);
        const Texts sl4 = sets(14, 2);
        const std::string qa = "QA76\r\nS77\r\nVol.";
        lm::EditRequest volumes = series(lm::kSp1, 2, "Vol.", "1-3", 1);
        volumes.MultiConstant2 = "Copy ";
        volumes.MultiNumbers2 = "1,2";
        Texts sixth;
        for (const char* n : {"1", "2", "3", "4"})
            sixth = sixth + Texts{"S6\r\nn" + std::string(n), "P6.1 n" + std::string(n),
                                  "P6.2 n" + std::string(n)};
        lmtest::addRows<EditRow>({
            // Typed texts only: the page is written back in place and stays as typed.
            {"a longer text moves only what follows", lm::kSp1, l240, 3,
             Typed{{10, "a much longer label"}}, none,
             numbered("L", 1, 88) + Texts{"a much longer label"} + numbered("L", 90, 240)},
            {"empty sets at the end are not written", lm::kSl4, sets(2, 2), 1, Typed{{4, "S3"}},
             none, sets(2, 2) + Texts{"S3", "", ""}},
            {"sp2 pair with an empty first spine", lm::kSp2, numbered("A", 1, 6), 1, Typed{{4, ""}},
             none, Texts{"A1", "A2", "A5", "A6"}},
            // Insert Blank.
            {"sp1 insert 0 saves and re-reads", lm::kSp1, l45, 1, Typed{},
             editAt(lm::kInsertBlankLabel, lm::kSp1, 5, 0), l45},
            {"sl4 three blanks at set position 4", lm::kSl4, sl4, 1, Typed{},
             editAt(lm::kInsertBlankLabel, lm::kSl4, 4, 3),
             slice(sl4, 1, 6) + blanks(3, 3) + slice(sl4, 7, 42)},
            {"insert on an empty position", lm::kSp1, numbered("L", 1, 3), 1, Typed{},
             editAt(lm::kInsertBlankLabel, lm::kSp1, 10, 2), numbered("L", 1, 3)},
            // Delete.
            {"delete on an empty position", lm::kSp1, numbered("L", 1, 3), 1, Typed{},
             editAt(lm::kDeleteLabel, lm::kSp1, 9), numbered("L", 1, 3)},
            // Multiple copies.
            {"sp1 Vol. 1-3 x Copy 1,2", lm::kSp1, Texts{"QA76\r\nS77", "L2", "L3"}, 1, Typed{},
             volumes,
             Texts{qa + "1\r\nCopy 1", qa + "1\r\nCopy 2", qa + "2\r\nCopy 1", qa + "2\r\nCopy 2",
                   qa + "3\r\nCopy 1", qa + "3\r\nCopy 2", "L2", "L3"}},
            {"sl4 every text numbered", lm::kSl4, Texts{"S", "Smith", "Brown\r\nX", "T", "U", "V"},
             1, Typed{}, series(lm::kSl4, 42, "v.", "1-2", 1),
             Texts{"S\r\nv.1", "Smith v.1", "Brown v.1\r\nX", "S\r\nv.2", "Smith v.2",
                   "Brown v.2\r\nX", "T", "U", "V"}},
            {"series past the end of the page", lm::kSl6, sets(6, 2), 1, Typed{},
             series(lm::kSl6, 7, "n", "1-4", 1), slice(sets(6, 2), 1, 15) + sixth},
            {"series on an empty position produces nothing", lm::kSp1, Texts{"A"}, 1, Typed{},
             series(lm::kSp1, 4, "x", "1-3", 1), Texts{"A"}},
        });
    }
    void edits() {
        QFETCH(EditRow, row);
        const lm::EditRequest& edit = row.edit;
        OpenFile file(row.labelType, labelFile(row.before), row.pageNumber);
        for (const auto& [element, text] : row.typed) file.page.setSpineText(element, text);
        const lm::PageState old = file.state;
        const Texts typedSpines = lmtest::spineTexts(file.page);
        const Texts typedPockets = lmtest::pocketTexts(file.page);
        lm::Result<lm::SaveOutcome> saved = file.save(edit);
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message().c_str());
        QCOMPARE(file.content(), labelFile(row.after));
        QCOMPARE(file.state.LabelFileLength, std::int32_t(labelFile(row.after).size()));
        QCOMPARE(file.state.PageNumber, row.pageNumber);
        QCOMPARE(lmtest::entriesIn(file.dir.path()), 1);
        QCOMPARE(saved->pageReread, edit.movesPageBoundaries());
        if (saved->pageReread) {
            // The same page number shows what now falls on it.
            checkShowsAfresh(file);
        } else {
            // The page is not read again: a gap stays, and the next page's first
            // set is not pulled onto it.
            QCOMPARE(lmtest::spineTexts(file.page), typedSpines);
            QCOMPARE(lmtest::pocketTexts(file.page), typedPockets);
            QCOMPARE(file.state.PageStartPosition, old.PageStartPosition);
            QCOMPARE(file.state.PageEndPosition,
                     file.state.LabelFileLength - (old.LabelFileLength - old.PageEndPosition));
        }
        checkPageStarts(file.state, row.labelType, row.pageNumber + 4);
    }
    void newPageAfterAnUnfinishedText() {
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
    void saveToAnotherFile() {
        // Save As over a longer file leaves the open file as it was.
        OpenFile file(lm::kSp1, numberedLabels("L", 1, 50), 2);
        const QString other = file.dir.filePath(QStringLiteral("other.dat"));
        writeBytes(other, QByteArray(10000, 'z'));
        file.page.setSpineText(3, "changed");
        QVERIFY(lm::SaveLabelFile(file.state, file.page, lm::kSp1, {}, other.toStdString()).ok());
        const std::string saved =
            numberedLabels("L", 1, 41) + "changed~~" + numberedLabels("L", 43, 50);
        QCOMPARE(readBytes(other).toStdString(), saved);
        QCOMPARE(file.content(), numberedLabels("L", 1, 50));
        QCOMPARE(file.state.CurrentFileName, other.toStdString());
        QCOMPARE(file.state.LabelFileLength, std::int32_t(saved.size()));
        QCOMPARE(lmtest::entriesIn(file.dir.path()), 2);

        // With no file open (after New) the page is the whole file, whatever
        // positions the closed file left behind.
        lm::PageState state;
        state.PageStartPosition = 500;
        state.PageEndPosition = 900;
        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSlb);
        page.setSpineText(2, "S1");
        page.setPocketText(2, "P1");
        page.setSpineText(3, "S2");
        QVERIFY(lm::SaveLabelFile(state, page, lm::kSlb, {}, other.toStdString()).ok());
        QCOMPARE(readBytes(other).toStdString(), std::string("S1~~P1~~S2~~~~"));
        QCOMPARE(state.CurrentFileName, other.toStdString());
        QCOMPARE(state.PageStartPosition, 1);
        QCOMPARE(state.PageEndPosition, 14);
        QCOMPARE(state.LabelFileLength, 14);
    }
    void randomEditsAgreeWithAModel_data() {
        lmtest::rowColumn<TypeRow>();
        for (int t = lm::kFirstLabelType; t <= lm::kLastLabelType; ++t)
            QTest::addRow("%s", lm::labelTypeName(t).c_str()) << TypeRow{"", t};
    }
    void randomEditsAgreeWithAModel() {
        // The model: the file as a list of texts. The page is its slice; it is
        // written back set by set (a set with an empty first text is left out)
        // with the edit applied at its set position.
        QFETCH(TypeRow, row);
        const int labelType = row.labelType;
        const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
        const int perSet = lm::textsPerSetPosition(*type);
        const int perPage = type->textsPerPage();
        std::mt19937 random{unsigned(100 + labelType)};
        const char* pendingEdits[] = {lm::kNoPendingEdit, lm::kInsertBlankLabel, lm::kDeleteLabel,
                                      lm::kMultipleCopyPrinting};
        const char* endings[] = {"", "~x", "\r\n.C153\r\n2011", "\xe9\x80\x81", "\t~y"};

        for (int round = 0; round < 40; ++round) {
            Texts texts;
            const int count = int(random() % std::size_t(perPage * 4)) + 1;
            for (int i = 0; i < count; ++i)
                texts.push_back(random() % 9 == 0 ? std::string()
                                                  : (i % 7 == 3 ? "~t" : "t") + std::to_string(i) +
                                                        endings[i % 5]);
            const int pages = (count + perPage - 1) / perPage;
            const int pageNumber =
                int(random() % std::size_t(pages + 1)) + 1;  // sometimes past the end
            lm::EditRequest edit = series(labelType, 2, "v", "1-2", 1);
            edit.PendingEdit = pendingEdits[random() % 4];
            edit.SelectedSetIndex = 2 + int(random() % std::size_t(type->lastSetPosition() - 1));
            edit.PendingEditCount =
                edit.producesCopies() ? 1 + int(random() % 2) : int(random() % 3);

            const std::size_t first =
                std::min(texts.size(), std::size_t(perPage) * (pageNumber - 1));
            const std::size_t last = std::min(texts.size(), first + std::size_t(perPage));
            Texts expected(texts.begin(), texts.begin() + long(first));
            for (std::size_t at = first; at < last; at += std::size_t(perSet)) {
                Texts set(static_cast<std::size_t>(perSet), std::string());
                for (std::size_t i = 0; i < set.size() && at + i < last; ++i)
                    set[i] = texts[at + i];
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
            if (saved->pageReread) checkShowsAfresh(file);
            checkPageStarts(file.state, labelType, pageNumber + 2);
            if (QTest::currentTestFailed()) return;
        }
    }
    void unstorableTextsAreRefused_data() {
        const lm::EditRequest none;
        lmtest::addRows<RefusalRow>({
            {"two tildes in a spine text", lm::kSp1, 4, 0, "QA~~76", none, 0,
             "The spine label of label set 3 on this page holds two tildes in a row"},
            {"pocket text ending in a tilde", lm::kSl4, 0, 5, "Smith~", none, 0,
             "The second pocket label of label set 2 on this page ends with a tilde"},
            {"spine of a set that is deleted", lm::kSp1, 4, 0, "QA~~76",
             editAt(lm::kDeleteLabel, lm::kSp1, 4), 0, ""},
            {"pocket of a set with an empty spine", lm::kSlb, 0, 11, "x~~y", none, 11, ""},
            {"numbered copies would end in a tilde", lm::kSp1, 0, 0, "",
             series(lm::kSp1, 3, "~", "", 1), 0,
             "The numbered copies of the spine label of label set 2 on this page"},
            {"a pocket tilde numbering cures", lm::kSlb, 0, 3, "Smith~",
             series(lm::kSlb, 3, "v", "1", 1), 0, ""},
        });
    }
    void unstorableTextsAreRefused() {
        QFETCH(RefusalRow, row);
        const int labelType = row.labelType;
        const lm::EditRequest& edit = row.edit;
        const QString message = QString::fromUtf8(row.message);
        OpenFile file(labelType,
                      labelFile(numbered("T", 0, lm::labelTypeInfo(labelType)->textsPerPage() + 3)),
                      1);
        if (row.emptiedSpine) file.page.setSpineText(row.emptiedSpine, "");
        lm::MemoryPage& page = file.page;
        if (row.spineElement) page.setSpineText(row.spineElement, row.text);
        if (row.pocketElement) page.setPocketText(row.pocketElement, row.text);

        const QByteArray oldBytes = readBytes(file.path);
        const lm::PageState before = file.state;
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
};

QTEST_APPLESS_MAIN(TestPageSave)
#include "tst_pagesave.moc"

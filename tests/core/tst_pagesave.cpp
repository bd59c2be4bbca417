#include <QTemporaryDir>
#include <QTest>

#include "core/editrequest.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagesaver.h"
#include "core/pagestate.h"
#include "core/selection.h"
#include "storefixtures.h"
#include "testkit.h"

using lmtest::labelFile;
using lmtest::numberedLabels;
using lmtest::readBytes;
using lmtest::writeBytes;

using Texts = std::vector<std::string>;

struct RefusalRow {
    const char* name;
    int labelType, spineElement, pocketElement;  // elements given the text, 0 for none
    std::string text;
    lm::EditRequest edit;
    int emptiedSpine;     // spine element emptied first, 0 for none
    const char* message;  // the start of the refusal; empty when saved
};
LM_TEST_ROW(RefusalRow)

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
    // A typed text only: the page is written back in place, stays as typed,
    // and the page starts remembered after it move by what it grew.
    void longerTextMovesOnlyWhatFollows() {
        const Texts before = numbered("L", 1, 240);
        const Texts after =
            numbered("L", 1, 88) + Texts{"a much longer label"} + numbered("L", 90, 240);
        OpenFile file(lm::kSp1, labelFile(before), 3);
        file.page.setSpineText(10, "a much longer label");
        const lm::PageState old = file.state;
        const Texts typedSpines = lmtest::spineTexts(file.page);
        lm::Result<lm::SaveOutcome> saved = file.save({});
        QVERIFY2(saved.ok(), saved.ok() ? "" : saved.error().message().c_str());
        QCOMPARE(file.content(), labelFile(after));
        QCOMPARE(file.state.LabelFileLength, std::int32_t(labelFile(after).size()));
        QCOMPARE(file.state.PageNumber, 3);
        QCOMPARE(lmtest::entriesIn(file.dir.path()), 1);
        QVERIFY(!saved->pageReread);
        QCOMPARE(lmtest::spineTexts(file.page), typedSpines);
        QCOMPARE(file.state.PageStartPosition, old.PageStartPosition);
        QCOMPARE(file.state.PageEndPosition,
                 file.state.LabelFileLength - (old.LabelFileLength - old.PageEndPosition));
        checkPageStarts(file.state, lm::kSp1, 7);
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

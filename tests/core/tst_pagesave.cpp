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

// A label file opened in a fresh folder, its first page on display.
struct OpenFile {
    QTemporaryDir dir;
    QString path;
    lm::PageState state;
    lm::MemoryPage page;

    OpenFile(int type, const std::string& content)
        : path(dir.filePath(QStringLiteral("labels.dat"))),
          page(lm::MemoryPage::forLabelType(type)) {
        writeBytes(path, QByteArray::fromStdString(content));
        state.CurrentFileName = path.toStdString();
        lm::Status status = lm::showPage(state, page, type, 1);
        if (!status.ok()) qFatal("could not show a page: %s", status.error().message().c_str());
    }
};

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
                       const std::string& numbers1, int copies) {
    lm::EditRequest edit = editAt(lm::kMultipleCopyPrinting, labelType, selectedLabel, copies);
    edit.MultiConstant1 = constant1;
    edit.MultiNumbers1 = numbers1;
    return edit;
}

}  // namespace

// What a save writes and the page starts it keeps are checked against the
// saving rules by the fuzz_pagesave replay on its seeds; here, the texts that
// tell the operator which label cannot be stored.
class TestPageSave : public QObject {
    Q_OBJECT
  private slots:
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
        OpenFile file(labelType, labelFile(numbered(
                                     "T", 0, lm::labelTypeInfo(labelType)->textsPerPage() + 3)));
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

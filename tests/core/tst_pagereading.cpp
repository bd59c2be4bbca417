#include <QTemporaryDir>
#include <QTest>

#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagestate.h"
#include "storefixtures.h"

using lmtest::numberedLabels;
using Texts = std::vector<std::string>;
using Starts = std::vector<std::int32_t>;
Q_DECLARE_METATYPE(Texts)
Q_DECLARE_METATYPE(std::string)

namespace {

int length(const std::string& s) {
    return int(s.size());
}

// Page starts found by paging forward through the whole file.
Starts forwardPageStarts(const std::string& path, int labelType) {
    lm::PageState state;
    state.CurrentFileName = path;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    Starts starts;
    std::int32_t start = 1;
    do {
        starts.push_back(start);
        if (!lm::ReadLabelFile(state, page, labelType, path, start).ok()) break;
        start = state.PageEndPosition + 1;
    } while (start <= state.LabelFileLength);
    return starts;
}

}  // namespace

class TestPageReading : public QObject {
    Q_OBJECT
  private slots:
    void textsOfTheFormat_data() {
        QTest::addColumn<std::string>("content");
        QTest::addColumn<Texts>("texts");
        auto row = [](const char* name, const std::string& content, const Texts& texts) {
            QTest::newRow(name) << content << texts;
        };
        // The first block read is 16 KiB: a pair and a lone tilde split by it
        // (the page-walk fuzz target checks every other form against its model).
        const std::string x(16383, 'x');
        row("pair across blocks", x + "~~y~~", {x, "y"});
        row("lone tilde across blocks", x + "~z~~", {x + "~z"});
    }
    void textsOfTheFormat() {
        QFETCH(std::string, content);
        QFETCH(Texts, texts);
        lm::ReadableFile readable;
        QVERIFY(readable.open(file(content)).ok());
        lm::LabelTextReader reader(readable, 1);
        Texts read;
        std::string text;
        while (true) {
            lm::Result<bool> complete = reader.read(text);
            QVERIFY(complete.ok());
            if (!*complete) break;
            read.push_back(text);
        }
        QCOMPARE(read, texts);
        QCOMPARE(int(reader.lastPosition()), length(content));

        // Passing over the texts counts them the same way.
        lm::LabelTextReader skipper(readable, 1);
        std::size_t skipped = 0;
        while (*skipper.skip()) ++skipped;
        QCOMPARE(skipped, texts.size());
        QCOMPARE(skipper.lastPosition(), reader.lastPosition());
    }
    void readingAPage_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<std::string>("content");
        QTest::addColumn<int>("start");
        QTest::addColumn<Texts>("spine");
        QTest::addColumn<Texts>("pocket");
        QTest::addColumn<int>("pageEnd");

        const int sp1 = lm::kSp1;
        QTest::newRow("last text empty")
            << sp1 << std::string("A~~~~") << 1 << Texts{"A", ""} << Texts{} << 5;
        // Nothing to read: the page keeps what it held and ends before it starts.
        QTest::newRow("empty file") << sp1 << std::string() << 1 << Texts{} << Texts{} << 0;
        QTest::newRow("start right after the end")
            << sp1 << std::string("A~~B~~") << 7 << Texts{} << Texts{} << 6;
    }
    void readingAPage() {
        QFETCH(int, labelType);
        QFETCH(std::string, content);
        QFETCH(int, start);
        QFETCH(Texts, spine);
        QFETCH(Texts, pocket);
        QFETCH(int, pageEnd);
        lm::PageState state;
        state.PageEndPosition = start - 1;
        lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
        // Elements the reader does not reach keep what they held.
        for (int i = 2; i <= page.lastSpineIndex(); ++i) page.setSpineText(i, "?");
        for (int i = 2; i <= page.lastPocketIndex(); ++i) page.setPocketText(i, "?");
        QVERIFY(lm::ReadLabelFile(state, page, labelType, file(content), start).ok());

        spine.resize(std::size_t(page.lastSpineIndex() - 1), "?");
        pocket.resize(std::size_t(page.lastPocketIndex() - 1), "?");
        QCOMPARE(lmtest::spineTexts(page), spine);
        QCOMPARE(lmtest::pocketTexts(page), pocket);
        QCOMPARE(state.PageEndPosition, pageEnd);
        QCOMPARE(state.LabelFileLength, length(content));
    }
    void previousPageEdgeCases() {
        // Mailer-1 pages of three texts; page 2 begins with the text "~D", so
        // its first byte is the tilde right after the terminator of "C".
        lm::PageState state;
        state.CurrentFileName = file("A~~B~~C~~~D~~E~~F~~G~~");
        QCOMPARE(forwardPageStarts(state.CurrentFileName, lm::kMailer1), (Starts{1, 10, 20}));
        lm::Result<std::int32_t> previous = lm::FindNewPagePosition(state, lm::kMailer1, 20);
        QVERIFY(previous.ok());
        QCOMPARE(*previous, 10);
        QCOMPARE(state.PageEndPosition, 9);
        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kMailer1);
        QVERIFY(
            lm::ReadLabelFile(state, page, lm::kMailer1, state.CurrentFileName, *previous).ok());
        QCOMPARE(page.spineText(2), std::string("~D"));

        // 40 labels, then bytes that never end a label: page 2 holds only them,
        // and the empty page after it starts right after the end of the file.
        const std::string content = numberedLabels("L", 1, 40) + "tail";
        const std::int32_t page2 = length(content) - 3;
        lm::PageState fresh;
        fresh.CurrentFileName = file(content);
        QCOMPARE(forwardPageStarts(fresh.CurrentFileName, lm::kSp1), (Starts{1, page2}));
        previous = lm::FindNewPagePosition(fresh, lm::kSp1, length(content) + 1);
        QVERIFY(previous.ok());
        QCOMPARE(*previous, page2);
    }
    void previousPageAfterTheFileChangedOnDisk() {
        lm::PageState state;
        state.CurrentFileName = file(numberedLabels("L", 1, 200));
        const Starts oldStarts = forwardPageStarts(state.CurrentFileName, lm::kSp1);
        QVERIFY(lm::FindNewPagePosition(state, lm::kSp1, oldStarts[4]).ok());
        QVERIFY(state.PageStarts.knownPages() >= 4);

        // Another program rewrites the file with longer labels.
        file(numberedLabels("Longer label ", 1, 200));
        const Starts newStarts = forwardPageStarts(state.CurrentFileName, lm::kSp1);
        lm::Result<std::int32_t> previous = lm::FindNewPagePosition(state, lm::kSp1, newStarts[3]);
        QVERIFY(previous.ok());
        QCOMPARE(*previous, newStarts[2]);
    }
    void locatingPagesPastTheEnd() {
        const std::string content = numberedLabels("L", 1, 45);
        lm::PageState state;
        state.CurrentFileName = file(content);
        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);

        QVERIFY(lm::showPage(state, page, lm::kSp1, 2).ok());
        QCOMPARE(state.PageNumber, 2);
        QCOMPARE(state.PageStartPosition, length(numberedLabels("L", 1, 40)) + 1);
        QCOMPARE(state.PageEndPosition, length(content));
        QCOMPARE(page.spineText(2), std::string("L41"));
        QCOMPARE(page.spineText(7), std::string());

        page.setSpineText(2, "typed");
        QVERIFY(lm::showPage(state, page, lm::kSp1, 5).ok());
        QCOMPARE(state.PageStartPosition, length(content) + 1);
        QCOMPARE(state.PageEndPosition, length(content));
        QCOMPARE(page.spineText(2), std::string());
    }
    void startUpLoad() {
        const QString path = m_dir.filePath(QStringLiteral("$$label.dat"));
        lmtest::writeBytes(path, QByteArray::fromStdString(numberedLabels("T", 1, 31)));
        lm::PageState state;
        state.PageNumber = 7;
        lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSl4);
        page.setPocketText(21, "left over");
        QVERIFY(lm::loadFirstPage(state, page, lm::kSl4, path.toStdString()).ok());
        QCOMPARE(state.CurrentFileName, path.toStdString());
        QCOMPARE(state.PageNumber, 1);
        QCOMPARE(state.PageStartPosition, 1);
        QCOMPARE(page.spineText(2), std::string("T1"));
        QCOMPARE(page.pocketText(21), std::string("T30"));

        // A file that cannot be opened leaves everything as it was.
        QVERIFY(!lm::loadFirstPage(state, page, lm::kSl4, m_dir.path().toStdString()).ok());
        QCOMPARE(state.CurrentFileName, path.toStdString());
        QCOMPARE(page.spineText(2), std::string("T1"));

        // The working file is created empty when it is missing.
        const QString fresh = m_dir.filePath(QStringLiteral("fresh.dat"));
        QVERIFY(lm::loadFirstPage(state, page, lm::kSl4, fresh.toStdString()).ok());
        QCOMPARE(lmtest::readBytes(fresh), QByteArray());
        QCOMPARE(page.spineText(2), std::string());
        QCOMPARE(state.LabelFileLength, 0);
    }

  private:
    // Writes `content` as the test's label file and returns its path.
    std::string file(const std::string& content) {
        const QString path = m_dir.filePath(QStringLiteral("f.dat"));
        lmtest::writeBytes(path, QByteArray::fromStdString(content));
        return path.toStdString();
    }
    QTemporaryDir m_dir;
};

QTEST_APPLESS_MAIN(TestPageReading)
#include "tst_pagereading.moc"

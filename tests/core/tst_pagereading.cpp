#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include <random>

#include "core/labelfile.h"
#include "core/labelpage.h"
#include "core/labeltypes.h"
#include "core/pagereader.h"
#include "core/pagestate.h"
#include "storefixtures.h"

using lmtest::labelFile;
using lmtest::numberedLabels;
using lmtest::readBytes;
using lmtest::writeBytes;

using Texts = std::vector<std::string>;
Q_DECLARE_METATYPE(Texts)
Q_DECLARE_METATYPE(std::string)

namespace {

QByteArray bytes(const std::string& s) {
    return QByteArray::fromStdString(s);
}

// The previous-page search of the original program, counting tilde pairs
// backwards. It is right whenever no text holds a tilde; the tests use it as
// the reference there.
std::int64_t countedBackPageStart(const std::string& file, int labelType, std::int64_t oldStart) {
    const lm::LabelTypeInfo* type = lm::labelTypeInfo(labelType);
    const int limit = type->textsPerPage() + 1;
    auto at = [&](std::int64_t pos) { return file[static_cast<std::size_t>(pos - 1)]; };
    int count = 0;
    std::int64_t pos = oldStart - 1;
    while (true) {
        if (at(pos) == '~') {
            pos -= 1;
            if (pos == 1) break;
            if (at(pos) == '~') count += 1;
        }
        pos -= 1;
        if (pos == 1) break;
        if (count == limit) break;
    }
    return pos == 1 ? 1 : pos + 3;
}

// Page starts found by paging forward through the whole file.
std::vector<std::int32_t> forwardPageStarts(const QString& path, int labelType) {
    lm::PageState state;
    state.CurrentFileName = path.toStdString();
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    std::vector<std::int32_t> starts;
    std::int32_t start = 1;
    do {
        starts.push_back(start);
        page.clear();
        if (!lm::ReadLabelFile(state, page, labelType, state.CurrentFileName, start).ok()) break;
        start = state.PageEndPosition + 1;
    } while (start <= state.LabelFileLength);
    return starts;
}

std::string randomText(std::mt19937& random, bool allowTildes) {
    static const char plain[] = "abcXYZ019 .\r\n";
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, int(sizeof(plain)) - 2);
    std::string text;
    int n = length(random);
    for (int i = 0; i < n; ++i) {
        // A lone tilde may stand anywhere except at the end or beside another.
        bool tilde =
            allowTildes && random() % 6 == 0 && (text.empty() || text.back() != '~') && i + 1 < n;
        text += tilde ? '~' : plain[pick(random)];
    }
    return text;
}

}  // namespace

class TestPageReading : public QObject {
    Q_OBJECT
  private slots:
    void textsOfTheFormat_data();
    void textsOfTheFormat();
    void pageOfEachLabelType_data();
    void pageOfEachLabelType();
    void sparePagesAndEmptyFiles_data();
    void sparePagesAndEmptyFiles();
    void missingFileIsCreatedEmpty();
    void directoryAndOverlongFileAreRefused();
    void previousPageWhenATextBeginsWithATilde();
    void previousPageOfThePageAfterAnUnfinishedText();
    void previousPageAgreesWithPagingForward_data();
    void previousPageAgreesWithPagingForward();
    void previousPageAfterTheFileChangedOnDisk();
    void locatingPagesPastTheEnd();
    void startUpLoadAndCaptions();
    void pageNumberStopsAtItsLimit();
};

void TestPageReading::textsOfTheFormat_data() {
    QTest::addColumn<std::string>("content");
    QTest::addColumn<Texts>("texts");
    QTest::addColumn<qint64>("lastPosition");

    QTest::newRow("A~~B~~") << std::string("A~~B~~") << Texts{"A", "B"} << qint64(6);
    QTest::newRow("A~B~~") << std::string("A~B~~") << Texts{"A~B"} << qint64(5);
    QTest::newRow("A~~~B~~") << std::string("A~~~B~~") << Texts{"A", "~B"} << qint64(7);
    QTest::newRow("~~~~") << std::string("~~~~") << Texts{"", ""} << qint64(4);
    QTest::newRow("A~~B unfinished") << std::string("A~~B") << Texts{"A"} << qint64(4);
    QTest::newRow("empty") << std::string() << Texts{} << qint64(0);
    QTest::newRow("ends after a single tilde") << std::string("A~~B~") << Texts{"A"} << qint64(5);
    QTest::newRow("line break") << std::string("A\r\nB~~") << Texts{"A\r\nB"} << qint64(6);
    QTest::newRow("five tildes") << std::string("~~~~~a~~") << Texts{"", "", "~a"} << qint64(8);
    // The first block read is 16 KiB: a pair and a lone tilde split by it.
    std::string pairSplit = std::string(16383, 'x') + "~~y~~";
    QTest::newRow("pair across blocks")
        << pairSplit << Texts{std::string(16383, 'x'), "y"} << qint64(pairSplit.size());
    std::string loneSplit = std::string(16383, 'x') + "~z~~";
    QTest::newRow("lone tilde across blocks")
        << loneSplit << Texts{std::string(16383, 'x') + "~z"} << qint64(loneSplit.size());
    std::string longText = std::string(3 * 1024 * 1024, 'q') + "~~";
    QTest::newRow("text longer than a block")
        << longText << Texts{std::string(3 * 1024 * 1024, 'q')} << qint64(longText.size());
}

void TestPageReading::textsOfTheFormat() {
    QFETCH(std::string, content);
    QFETCH(Texts, texts);
    QFETCH(qint64, lastPosition);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    writeBytes(path, bytes(content));
    lm::ReadableFile file;
    QVERIFY(file.open(path.toStdString()).ok());
    lm::LabelTextReader reader(file, 1);
    Texts read;
    std::string text;
    while (true) {
        lm::Result<bool> complete = reader.read(text);
        QVERIFY(complete.ok());
        if (!*complete) break;
        read.push_back(text);
    }
    QCOMPARE(read.size(), texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) QCOMPARE(read[i], texts[i]);
    QCOMPARE(qint64(reader.lastPosition()), lastPosition);

    // Passing over the texts counts them the same way.
    lm::LabelTextReader skipper(file, 1);
    std::size_t skipped = 0;
    while (*skipper.skip()) ++skipped;
    QCOMPARE(skipped, texts.size());
    QCOMPARE(qint64(skipper.lastPosition()), lastPosition);
}

void TestPageReading::pageOfEachLabelType_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<std::string>("content");
    QTest::addColumn<int>("start");
    QTest::addColumn<Texts>("spine");
    QTest::addColumn<Texts>("pocket");
    QTest::addColumn<int>("pageEnd");

    // Every type: one more text than a page holds. Page 1 fills every
    // element in fill order; page 2 holds the one text left.
    for (int t = lm::kFirstLabelType; t <= lm::kLastLabelType; ++t) {
        const lm::LabelTypeInfo* type = lm::labelTypeInfo(t);
        const int n = type->textsPerPage();
        std::string content = numberedLabels("T", 1, n + 1);
        Texts spine;
        Texts pocket;
        int text = 1;
        for (int set = 0; set < type->setsPerPage; ++set) {
            spine.push_back("T" + std::to_string(text++));
            for (int p = 0; p < type->pocketsPerSet; ++p)
                pocket.push_back("T" + std::to_string(text++));
        }
        int page1End = int(numberedLabels("T", 1, n).size());
        QTest::addRow("%s page 1", type->name) << t << content << 1 << spine << pocket << page1End;
        QTest::addRow("%s page 2", type->name)
            << t << content << page1End + 1 << Texts{"T" + std::to_string(n + 1)} << Texts{}
            << int(content.size());
    }
    // sl4: 31 texts give a second page with one set whose pockets are missing.
    QTest::newRow("sl4 31 texts, page 2")
        << int(lm::kSl4) << numberedLabels("T", 1, 31) << int(numberedLabels("T", 1, 30).size()) + 1
        << Texts{"T31"} << Texts{} << int(numberedLabels("T", 1, 31).size());
    QTest::newRow("slb2 8 full sets end at the file's end")
        << int(lm::kSlb2) << numberedLabels("T", 1, 16) << 1
        << Texts{"T1", "T3", "T5", "T7", "T9", "T11", "T13", "T15"}
        << Texts{"T2", "T4", "T6", "T8", "T10", "T12", "T14", "T16"}
        << int(numberedLabels("T", 1, 16).size());
    QTest::newRow("last text empty")
        << int(lm::kSp1) << std::string("A~~~~") << 1 << Texts{"A", ""} << Texts{} << 5;
    QTest::newRow("unfinished text dropped") << int(lm::kSl4) << std::string("S~~P~~Q~~S2~~P2") << 1
                                             << Texts{"S", "S2"} << Texts{"P", "Q"} << 15;
    QTest::newRow("mailer") << int(lm::kMailer1) << std::string("A\r\nB~~C~~D~~E~~") << 1
                            << Texts{"A\r\nB"} << Texts{"C", "D"} << 12;
}

void TestPageReading::pageOfEachLabelType() {
    QFETCH(int, labelType);
    QFETCH(std::string, content);
    QFETCH(int, start);
    QFETCH(Texts, spine);
    QFETCH(Texts, pocket);
    QFETCH(int, pageEnd);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    writeBytes(path, bytes(content));

    lm::PageState state;
    state.PageEndPosition = start - 1;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    // Elements the reader does not reach keep what they held.
    for (int i = 2; i <= page.lastSpineIndex(); ++i) page.setSpineText(i, "?");
    for (int i = 2; i <= page.lastPocketIndex(); ++i) page.setPocketText(i, "?");
    QVERIFY(lm::ReadLabelFile(state, page, labelType, path.toStdString(), start).ok());

    Texts gotSpine = lmtest::spineTexts(page);
    Texts gotPocket = lmtest::pocketTexts(page);
    for (std::size_t i = 0; i < gotSpine.size(); ++i)
        QCOMPARE(gotSpine[i], i < spine.size() ? spine[i] : std::string("?"));
    for (std::size_t i = 0; i < gotPocket.size(); ++i)
        QCOMPARE(gotPocket[i], i < pocket.size() ? pocket[i] : std::string("?"));
    QCOMPARE(state.PageEndPosition, pageEnd);
    QCOMPARE(state.LabelFileLength, std::int32_t(content.size()));
}

void TestPageReading::sparePagesAndEmptyFiles_data() {
    QTest::addColumn<std::string>("content");
    QTest::addColumn<int>("start");
    QTest::newRow("empty file") << std::string() << 1;
    QTest::newRow("start right after the end") << std::string("A~~B~~") << 7;
}

void TestPageReading::sparePagesAndEmptyFiles() {
    QFETCH(std::string, content);
    QFETCH(int, start);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    writeBytes(path, bytes(content));
    lm::PageState state;
    state.PageEndPosition = start - 1;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    page.setSpineText(2, "kept");
    QVERIFY(lm::ReadLabelFile(state, page, lm::kSp1, path.toStdString(), start).ok());
    QCOMPARE(page.spineText(2), std::string("kept"));
    QCOMPARE(state.PageEndPosition, start - 1);
    QCOMPARE(state.LabelFileLength, std::int32_t(content.size()));
}

void TestPageReading::missingFileIsCreatedEmpty() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("new.dat"));
    lm::PageState state;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSl4);
    QVERIFY(lm::ReadLabelFile(state, page, lm::kSl4, path.toStdString(), 1).ok());
    QVERIFY(QFile::exists(path));
    QCOMPARE(readBytes(path), QByteArray());
    QCOMPARE(state.LabelFileLength, 0);
}

void TestPageReading::directoryAndOverlongFileAreRefused() {
    QTemporaryDir dir;
    lm::PageState state;
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);
    lm::Status status = lm::ReadLabelFile(state, page, lm::kSp1, dir.path().toStdString(), 1);
    QVERIFY(!status.ok());
    QCOMPARE(status.error().path, dir.path().toStdString());

    // A sparse file one byte longer than 32-bit positions reach.
    QString big = dir.filePath(QStringLiteral("big.dat"));
    writeBytes(big, "A~~");
    QVERIFY(truncate(QFile::encodeName(big).constData(), 2147483648LL) == 0);
    state = lm::PageState{};
    state.CurrentFileName = big.toStdString();
    status = lm::ReadLabelFile(state, page, lm::kSp1, big.toStdString(), 1);
    QVERIFY(!status.ok());
    QCOMPARE(status.error().path, big.toStdString());
    QVERIFY(
        QString::fromStdString(status.error().reason).contains(QStringLiteral("2,147,483,647")));
    QCOMPARE(page.spineText(2), std::string());
    QCOMPARE(state.LabelFileLength, 0);
    QVERIFY(!lm::FindNewPagePosition(state, lm::kSp1, 100).ok());
    QVERIFY(!lm::loadFirstPage(state, page, lm::kSp1, big.toStdString()).ok());
}

void TestPageReading::previousPageWhenATextBeginsWithATilde() {
    // Mailer-1 pages of three texts; page 2 begins with the text "~D", so
    // its first byte is the tilde right after the terminator of "C".
    const std::string content = "A~~B~~C~~~D~~E~~F~~G~~";
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    writeBytes(path, bytes(content));
    std::vector<std::int32_t> starts = forwardPageStarts(path, lm::kMailer1);
    QCOMPARE(starts, (std::vector<std::int32_t>{1, 10, 20}));
    // Counting tilde pairs backwards lands on the D, inside the text.
    QCOMPARE(countedBackPageStart(content, lm::kMailer1, 20), std::int64_t(11));

    lm::PageState state;
    state.CurrentFileName = path.toStdString();
    lm::Result<std::int32_t> previous = lm::FindNewPagePosition(state, lm::kMailer1, 20);
    QVERIFY(previous.ok());
    QCOMPARE(*previous, 10);
    QCOMPARE(state.PageEndPosition, 9);
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kMailer1);
    QVERIFY(lm::ReadLabelFile(state, page, lm::kMailer1, state.CurrentFileName, *previous).ok());
    QCOMPARE(page.spineText(2), std::string("~D"));
    QCOMPARE(page.pocketText(3), std::string("F"));
}

void TestPageReading::previousPageOfThePageAfterAnUnfinishedText() {
    // 40 labels, then bytes that never end a label: page 2 holds only them,
    // and the empty page after it starts right after the end of the file.
    const std::string content = numberedLabels("L", 1, 40) + "tail";
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    writeBytes(path, bytes(content));
    const std::int32_t page2 = std::int32_t(numberedLabels("L", 1, 40).size()) + 1;
    QCOMPARE(forwardPageStarts(path, lm::kSp1), (std::vector<std::int32_t>{1, page2}));
    lm::PageState state;
    state.CurrentFileName = path.toStdString();
    lm::Result<std::int32_t> previous =
        lm::FindNewPagePosition(state, lm::kSp1, std::int32_t(content.size()) + 1);
    QVERIFY(previous.ok());
    QCOMPARE(*previous, page2);
}

void TestPageReading::previousPageAgreesWithPagingForward_data() {
    QTest::addColumn<int>("labelType");
    QTest::addColumn<bool>("tildes");
    for (int t = lm::kFirstLabelType; t <= lm::kLastLabelType; ++t) {
        QTest::addRow("%s, plain texts", lm::labelTypeName(t).c_str()) << t << false;
        QTest::addRow("%s, texts with tildes", lm::labelTypeName(t).c_str()) << t << true;
    }
}

void TestPageReading::previousPageAgreesWithPagingForward() {
    QFETCH(int, labelType);
    QFETCH(bool, tildes);
    std::mt19937 random(static_cast<unsigned>(labelType * 7 + tildes));
    const int pageTexts = lm::labelTypeInfo(labelType)->textsPerPage();
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));

    for (int round = 0; round < 8; ++round) {
        std::vector<std::string> texts;
        int count = int(random() % (pageTexts * 6 + 2));
        for (int i = 0; i < count; ++i) texts.push_back(randomText(random, tildes));
        std::string content = labelFile(texts);
        if (round % 2) content += "unfinished";
        writeBytes(path, bytes(content));
        std::vector<std::int32_t> starts = forwardPageStarts(path, labelType);

        lm::PageState warm;
        warm.CurrentFileName = path.toStdString();
        for (std::size_t i = starts.size(); i-- > 1;) {
            // A fresh state has to find the page by scanning, a used one by
            // what it remembers; both must give the page that paging forward gives.
            lm::PageState cold;
            cold.CurrentFileName = path.toStdString();
            lm::Result<std::int32_t> fromCold = lm::FindNewPagePosition(cold, labelType, starts[i]);
            lm::Result<std::int32_t> fromWarm = lm::FindNewPagePosition(warm, labelType, starts[i]);
            QVERIFY(fromCold.ok() && fromWarm.ok());
            QCOMPARE(*fromCold, starts[i - 1]);
            QCOMPARE(*fromWarm, starts[i - 1]);
            QCOMPARE(warm.PageEndPosition, starts[i - 1] - 1);
            if (!tildes && round % 2 == 0)
                QCOMPARE(std::int64_t(*fromCold),
                         countedBackPageStart(content, labelType, starts[i]));
        }
    }
}

void TestPageReading::previousPageAfterTheFileChangedOnDisk() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    writeBytes(path, bytes(numberedLabels("L", 1, 200)));
    lm::PageState state;
    state.CurrentFileName = path.toStdString();
    std::vector<std::int32_t> oldStarts = forwardPageStarts(path, lm::kSp1);
    QVERIFY(lm::FindNewPagePosition(state, lm::kSp1, oldStarts[4]).ok());
    QVERIFY(state.PageStarts.knownPages() >= 4);

    // Another program rewrites the file with longer labels.
    writeBytes(path, bytes(numberedLabels("Longer label ", 1, 200)));
    std::vector<std::int32_t> newStarts = forwardPageStarts(path, lm::kSp1);
    lm::Result<std::int32_t> previous = lm::FindNewPagePosition(state, lm::kSp1, newStarts[3]);
    QVERIFY(previous.ok());
    QCOMPARE(*previous, newStarts[2]);
}

void TestPageReading::locatingPagesPastTheEnd() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("f.dat"));
    const std::string content = numberedLabels("L", 1, 45);
    writeBytes(path, bytes(content));
    lm::PageState state;
    state.CurrentFileName = path.toStdString();
    lm::MemoryPage page = lm::MemoryPage::forLabelType(lm::kSp1);

    QVERIFY(lm::showPage(state, page, lm::kSp1, 2).ok());
    QCOMPARE(state.PageNumber, 2);
    QCOMPARE(state.PageStartPosition, std::int32_t(numberedLabels("L", 1, 40).size()) + 1);
    QCOMPARE(state.PageEndPosition, std::int32_t(content.size()));
    QCOMPARE(page.spineText(2), std::string("L41"));
    QCOMPARE(page.spineText(7), std::string());

    page.setSpineText(2, "typed");
    QVERIFY(lm::showPage(state, page, lm::kSp1, 5).ok());
    QCOMPARE(state.PageStartPosition, std::int32_t(content.size()) + 1);
    QCOMPARE(state.PageEndPosition, std::int32_t(content.size()));
    QCOMPARE(page.spineText(2), std::string());

    writeBytes(path, QByteArray());
    QVERIFY(lm::showPage(state, page, lm::kSp1, 3).ok());
    QCOMPARE(state.PageStartPosition, 1);
    QCOMPARE(state.PageEndPosition, 0);
    QCOMPARE(state.LabelFileLength, 0);
}

void TestPageReading::startUpLoadAndCaptions() {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("$$label.dat"));
    writeBytes(path, bytes(numberedLabels("T", 1, 31)));
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

    QCOMPARE(
        lm::pageCaption("c:\\qortex\\$$label.dat", state.PageNumber, lm::CaptionSpacing::OneSpace),
        std::string("Kelvarine Label Maker - C:\\QORTEX\\$$LABEL.DAT (Page  1)"));
    QCOMPARE(lm::pageCaption("/home/op/qortex/$$label.dat", 2, lm::CaptionSpacing::TwoSpaces),
             std::string("Kelvarine Label Maker - /HOME/OP/QORTEX/$$LABEL.DAT  (Page  2)"));

    // A file that cannot be opened leaves everything as it was.
    lm::PageState before = state;
    QVERIFY(!lm::loadFirstPage(state, page, lm::kSl4, dir.path().toStdString()).ok());
    QCOMPARE(state.CurrentFileName, before.CurrentFileName);
    QCOMPARE(page.spineText(2), std::string("T1"));

    // The working file is created empty when it is missing.
    QString fresh = dir.filePath(QStringLiteral("fresh/$$label.dat"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("fresh"))));
    QVERIFY(lm::loadFirstPage(state, page, lm::kSl4, fresh.toStdString()).ok());
    QVERIFY(QFile::exists(fresh));
    QCOMPARE(page.spineText(2), std::string());
}

void TestPageReading::pageNumberStopsAtItsLimit() {
    QVERIFY(lm::canTurnToNextPage(1));
    QVERIFY(lm::canTurnToNextPage(32766));
    QVERIFY(!lm::canTurnToNextPage(32767));
    lm::PageState state;
    state.CurrentFileName = "/nonexistent-folder/x.dat";
    QVERIFY(!lm::locatePage(state, lm::kSp1, 32768).ok());
}

QTEST_APPLESS_MAIN(TestPageReading)
#include "tst_pagereading.moc"

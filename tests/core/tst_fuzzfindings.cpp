// Inputs the fuzz targets (fuzz/) found to break a property of the core,
// kept as rows so that each mend stays mended.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

#include "core/connexionextract.h"
#include "core/importconvert.h"
#include "core/settings.h"
#include "storefixtures.h"

Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(lm::Settings)

namespace {

std::string readAll(const std::string& path) {
    return lmtest::readBytes(QString::fromStdString(path)).toStdString();
}

void writeAll(const std::string& path, const std::string& bytes) {
    lmtest::writeBytes(QString::fromStdString(path), QByteArray::fromStdString(bytes));
}

lm::SettingsVariant numberVariant(double number) {
    lm::SettingsVariant v;
    v.kind = lm::SettingsVariant::Kind::Number;
    v.number = number;
    return v;
}

lm::SettingsVariant textVariant(const std::string& text) {
    lm::SettingsVariant v;
    v.kind = lm::SettingsVariant::Kind::Text;
    v.text = text;
    return v;
}

// Nine content lines and three trailing lines of a single-column export,
// with `line` as the content line `at` (1-based).
std::string spineBlock(const std::string& label, int at = 0, const std::string& line = {}) {
    std::string block;
    for (int i = 1; i <= 9; ++i) block += (i == at ? line : label + std::to_string(i)) + "\n";
    return block + "\n\n\n";
}

// A two-column line: spine columns 1 to 8, pocket from column 11.
std::string twoColumns(const std::string& spine, const std::string& pocket) {
    std::string line = spine;
    line.resize(10, ' ');
    return line + pocket;
}

std::string twoColumnBlock(int lines, int at = 0, const std::string& line = {}) {
    std::string block;
    for (int i = 1; i <= lines; ++i)
        block +=
            (i == at ? line : twoColumns("S" + std::to_string(i), "P" + std::to_string(i))) + "\n";
    return block;
}

// A nine-line Connexion record: spine column 1 to 11, pocket from 12.
std::string record(int at = 0, const std::string& line = {}) {
    std::string text;
    for (int i = 1; i <= 9; ++i) {
        std::string spine = i <= 3 ? "QA76." + std::to_string(i) : "";
        spine.resize(11, ' ');
        text += (i == at ? line : spine + "Pocket line " + std::to_string(i)) + "\n";
    }
    return text;
}

// The default line with item `item` (1-based) spelled as `spelling`.
std::string lineWithItem(int item, const std::string& spelling) {
    std::string line = lm::formatSettingsLine(lm::defaultSettings());
    std::size_t begin = 0;
    for (int i = 1; i < item; ++i) begin = line.find(',', begin) + 1;
    std::size_t end = line.find_first_of(",\r", begin);
    return line.substr(0, begin) + spelling + line.substr(end);
}

}  // namespace

class TestFuzzFindings : public QObject {
    Q_OBJECT
  private slots:
    // fuzz_settings: a record whose font name held a double quote was written
    // and read back as another font ("Ar"ial" -> "Ar"); a line break would have
    // cut the line short and left a file the next start cannot read. A flag
    // holding a number below the normal range of a double was written as
    // "2.225073858507201e-308" and read back as a text, because strtod reports
    // such a number as a range error.
    void settingsAreStoredExactlyOrNotAtAll_data() {
        QTest::addColumn<lm::Settings>("settings");
        QTest::addColumn<std::string>("named");  // the item refused; empty: stored

        lm::Settings s = lm::defaultSettings();
        s.SpineFontName = "Ar\"ial";
        QTest::newRow("quote in the spine font name") << s << std::string("Item 1 (SpineFontName)");
        s = lm::defaultSettings();
        s.PocketFontName = "Times\r\nRoman";
        QTest::newRow("line break in the pocket font name")
            << s << std::string("Item 8 (PocketFontName)");
        s = lm::defaultSettings();
        s.SpineFontItalic = textVariant("say \"yes\"");
        QTest::newRow("quote in a text flag") << s << std::string("Item 5 (SpineFontItalic)");
        s = lm::defaultSettings();
        s.PocketFontBold = numberVariant(std::numeric_limits<double>::quiet_NaN());
        QTest::newRow("flag that is not a number") << s << std::string("Item 11 (PocketFontBold)");
        s = lm::defaultSettings();
        s.SpineFontSize = 32768;
        QTest::newRow("font size past 16 bits") << s << std::string("Item 2 (SpineFontSize)");
        s = lm::defaultSettings();
        s.PocketLeftMargin = -32769;
        QTest::newRow("margin below 16 bits") << s << std::string("Item 21 (PocketLeftMargin)");
        // Settings at the edges read back as written.
        s = lm::defaultSettings();
        s.SpineFontBold = numberVariant(2.225073858507201e-308);
        QTest::newRow("subnormal flag") << s << std::string();
        s = lm::defaultSettings();
        s.PocketFontStrikethru = numberVariant(std::numeric_limits<double>::denorm_min());
        QTest::newRow("smallest subnormal flag") << s << std::string();
        s = lm::defaultSettings();
        s.SpineFontItalic = numberVariant(std::numeric_limits<double>::max());
        QTest::newRow("largest flag") << s << std::string();
        s = lm::defaultSettings();
        s.SpineFontName = "Arial, Narrow";
        s.PocketFontName = "";
        s.PocketFontBold = textVariant("  yes  ");
        QTest::newRow("comma, empty name, blanks in a text flag") << s << std::string();
        s = lm::defaultSettings();
        s.SpineFontSize = -32768;
        s.PageTopMargin = 32767;
        QTest::newRow("16-bit limits") << s << std::string();
    }
    void settingsAreStoredExactlyOrNotAtAll() {
        QFETCH(lm::Settings, settings);
        QFETCH(std::string, named);
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
        const std::string old = lm::formatSettingsLine(lm::defaultSettings());
        writeAll(path, old);
        const std::string problem = lm::settingsStorageProblem(settings);
        lm::Status written = lm::writeSettingsFile(path, settings);
        if (named.empty()) {
            QCOMPARE(problem, std::string());
            QVERIFY2(written.ok(), written.ok() ? "" : written.error().message().c_str());
            lm::Result<lm::Settings> read = lm::readSettingsFile(path);
            QVERIFY2(read.ok(), read.ok() ? "" : read.error().message().c_str());
            QVERIFY(*read == settings);
            QCOMPARE(lm::formatSettingsLine(*read), readAll(path));
            return;
        }
        QVERIFY2(problem.find(named) != std::string::npos, problem.c_str());
        QVERIFY(!written.ok());
        QCOMPARE(written.error().path, path);
        QVERIFY2(written.error().reason.find(named) != std::string::npos,
                 written.error().reason.c_str());
        QCOMPARE(readAll(path), old);
        QCOMPARE(lmtest::entriesIn(dir.path()), 1);
    }
    // fuzz_settings: an unquoted item holding a double quote read as a text
    // that, written back quoted, reads as another text (\0\x15"yes" -> \0\x15).
    void quoteInsideAnUnquotedItemIsRefused_data() {
        QTest::addColumn<std::string>("line");
        QTest::addColumn<std::string>("named");
        QTest::newRow("font name")
            << lineWithItem(1, "Ar\"ial") << std::string("item 1 (SpineFontName)");
        QTest::newRow("flag") << lineWithItem(11, "x\"yes\"")
                              << std::string("item 11 (PocketFontBold)");
        QTest::newRow("quote at the end")
            << lineWithItem(13, "yes\"") << std::string("item 13 (PocketFontStrikethru)");
    }
    void quoteInsideAnUnquotedItemIsRefused() {
        QFETCH(std::string, line);
        QFETCH(std::string, named);
        lm::Result<lm::Settings> parsed = lm::parseSettingsText(line);
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.error().reason.find(named) != std::string::npos,
                 parsed.error().reason.c_str());
        QVERIFY(parsed.error().reason.find("double quote") != std::string::npos);
    }
    // fuzz_importconvert: an export line with "~~" was written into a label
    // text, where the label file reads it as the end of the text: the text
    // split in two and every later text moved into the wrong label (pockets
    // read as spines). Such an export is now refused; "~~" that no label takes
    // (columns 9 and 10, a label the export cuts short) is no concern.
    void importWithTwoTildesInALabel_data() {
        QTest::addColumn<int>("labelType");
        QTest::addColumn<std::string>("exportText");
        QTest::addColumn<int>("refusedAtLine");  // 0: converted
        QTest::addColumn<long long>("labels");

        QTest::newRow("sp1 spine line of the second label")
            << 1 << spineBlock("A") + spineBlock("B", 4, "QA~~76") << 13 << 0LL;
        QTest::newRow("slb pocket part")
            << 5 << twoColumnBlock(9, 2, twoColumns("PS3545", "Hemingway ~~ Ernest")) + "\n\n\n"
            << 1 << 0LL;
        QTest::newRow("sl4 second pocket")
            << 3
            << twoColumnBlock(4) + "MID\n" + twoColumnBlock(4, 3, twoColumns("S", "~~")) + "\n\n\n"
            << 1 << 0LL;
        QTest::newRow("tildes in columns 9 and 10 are not read")
            << 5 << twoColumnBlock(9, 1, "PS3545  ~~Title") + "\n\n\n"
            << 0 << 1LL;
        QTest::newRow("tildes in the line that ends a short export")
            << 1 << spineBlock("A") + spineBlock("B").substr(0, 20) + "~~" << 0 << 1LL;
        QTest::newRow("tildes apart") << 1 << spineBlock("A", 1, "~ ~ A~") << 0 << 1LL;
    }
    void importWithTwoTildesInALabel() {
        QFETCH(int, labelType);
        QFETCH(std::string, exportText);
        QFETCH(int, refusedAtLine);
        QFETCH(long long, labels);
        QTemporaryDir dir;
        const std::string exportPath = dir.filePath(QStringLiteral("export.txt")).toStdString();
        const std::string output = dir.filePath(QStringLiteral("$$$aaaa.dat")).toStdString();
        writeAll(exportPath, exportText);
        writeAll(output, "previous~~");

        lm::Result<lm::ConvertSummary> converted = lm::FileConvert(exportPath, labelType, output);
        if (refusedAtLine == 0) {
            QVERIFY2(converted.ok(), converted.ok() ? "" : converted.error().message().c_str());
            QCOMPARE(converted->labelsWritten, labels);
            return;
        }
        QVERIFY(!converted.ok());
        QCOMPARE(converted.error().path, exportPath);
        const std::string& reason = converted.error().reason;
        QVERIFY2(reason.find("the label that begins at line " + std::to_string(refusedAtLine) +
                             " holds two tildes in a row (~~)") != std::string::npos,
                 reason.c_str());
        QCOMPARE(readAll(output), std::string("previous~~"));
        QCOMPARE(lmtest::entriesIn(dir.path()), 2);
    }
    // fuzz_extract: the same for the Connexion extracts, where a pocket column
    // is taken unchanged. Texts a call index does not write (the first pocket
    // for slb) and comment lines may hold "~~".
    void extractWithTwoTildesInARecord_data() {
        QTest::addColumn<int>("callIndex");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<std::string>("exportText");
        QTest::addColumn<std::string>("refusal");  // empty: extracted

        QTest::newRow("many records: spine column of the second record")
            << 3 << false << record() + "\n" + record(2, "QA~~76") << std::string("line 11");
        QTest::newRow("many records: first pocket")
            << 4 << false << record(1, "QA76       Title ~~ more") << std::string("line 1");
        QTest::newRow("one-record folder: second pocket")
            << 5 << true << record(6, "           ~~") << std::string("this export");
        QTest::newRow("first pocket that slb does not write")
            << 5 << false << record(1, "QA76       Title ~~ more") << std::string();
        QTest::newRow("comment line") << 1 << true << record(4, "!! ~~ comment") << std::string();
        QTest::newRow("call index that writes nothing")
            << 7 << false << record(2, "QA~~76") << std::string();
    }
    void extractWithTwoTildesInARecord() {
        QFETCH(int, callIndex);
        QFETCH(bool, folder);
        QFETCH(std::string, exportText);
        QFETCH(std::string, refusal);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("exports"));
        const std::string exportPath = dir.filePath(folder ? QStringLiteral("exports/record.txt")
                                                           : QStringLiteral("records.txt"))
                                           .toStdString();
        const std::string output = dir.filePath(QStringLiteral("NewFile.dat")).toStdString();
        writeAll(exportPath, exportText);
        writeAll(output, "previous~~");

        lm::Result<lm::ExtractSummary> extracted =
            folder ? lm::InfoExtract(dir.filePath(QStringLiteral("exports")).toStdString(),
                                     callIndex, output)
                   : lm::InfoExtractMultiple(exportPath, callIndex, output);
        if (refusal.empty()) {
            QVERIFY2(extracted.ok(), extracted.ok() ? "" : extracted.error().message().c_str());
            QVERIFY(readAll(output) != "previous~~");
            return;
        }
        QVERIFY(!extracted.ok());
        QCOMPARE(extracted.error().path, exportPath);
        const std::string& reason = extracted.error().reason;
        QVERIFY2(reason.find(refusal + " holds two tildes in a row (~~)") != std::string::npos,
                 reason.c_str());
        QCOMPARE(readAll(output), std::string("previous~~"));
        QCOMPARE(lmtest::entriesIn(dir.path()), folder ? 2 : 3);  // the exports folder too
    }
};

QTEST_APPLESS_MAIN(TestFuzzFindings)
#include "tst_fuzzfindings.moc"

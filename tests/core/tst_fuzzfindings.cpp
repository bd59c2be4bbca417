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
#include "testkit.h"

struct SettingsRow {
    const char* name;
    lm::Settings settings;
    std::string named;  // the item refused
};
LM_TEST_ROW(SettingsRow)

struct QuoteRow {
    const char* name;
    std::string line, named;
};
LM_TEST_ROW(QuoteRow)

struct ImportRow {
    const char* name;
    int labelType;
    std::string exportText;
    int refusedAtLine;
};
LM_TEST_ROW(ImportRow)

struct ExtractRow {
    const char* name;
    int callIndex;
    bool folder;  // one record in a folder instead of a many-record file
    std::string exportText;
    std::string refusal;  // where the refusal says the record begins
};
LM_TEST_ROW(ExtractRow)

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

// The default settings with `change` made to them.
template <class Change>
lm::Settings changed(Change change) {
    lm::Settings s = lm::defaultSettings();
    change(s);
    return s;
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
    // such a number as a range error. The records that must be stored, those
    // flags among them, are seeds of fuzz_settings.
    void recordsThatCannotBeStoredAreRefused_data() {
        using S = lm::Settings;
        lmtest::addRows<SettingsRow>({
            {"quote in the spine font name", changed([](S& s) { s.SpineFontName = "Ar\"ial"; }),
             "Item 1 (SpineFontName)"},
            {"line break in the pocket font name",
             changed([](S& s) { s.PocketFontName = "Times\r\nRoman"; }), "Item 8 (PocketFontName)"},
            {"quote in a text flag",
             changed([](S& s) { s.SpineFontItalic = textVariant("say \"yes\""); }),
             "Item 5 (SpineFontItalic)"},
            {"flag that is not a number", changed([](S& s) {
                 s.PocketFontBold = numberVariant(std::numeric_limits<double>::quiet_NaN());
             }),
             "Item 11 (PocketFontBold)"},
            {"font size past 16 bits", changed([](S& s) { s.SpineFontSize = 32768; }),
             "Item 2 (SpineFontSize)"},
            {"margin below 16 bits", changed([](S& s) { s.PocketLeftMargin = -32769; }),
             "Item 21 (PocketLeftMargin)"},
        });
    }
    void recordsThatCannotBeStoredAreRefused() {
        QFETCH(SettingsRow, row);
        const std::string& named = row.named;
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("$$$set.val")).toStdString();
        const std::string old = lm::formatSettingsLine(lm::defaultSettings());
        writeAll(path, old);
        const std::string problem = lm::settingsStorageProblem(row.settings);
        lm::Status written = lm::writeSettingsFile(path, row.settings);
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
        lmtest::addRows<QuoteRow>({
            {"font name", lineWithItem(1, "Ar\"ial"), "item 1 (SpineFontName)"},
            {"flag", lineWithItem(11, "x\"yes\""), "item 11 (PocketFontBold)"},
            {"quote at the end", lineWithItem(13, "yes\""), "item 13 (PocketFontStrikethru)"},
        });
    }
    void quoteInsideAnUnquotedItemIsRefused() {
        QFETCH(QuoteRow, row);
        lm::Result<lm::Settings> parsed = lm::parseSettingsText(row.line);
        QVERIFY(!parsed.ok());
        QVERIFY2(parsed.error().reason.find(row.named) != std::string::npos,
                 parsed.error().reason.c_str());
        QVERIFY(parsed.error().reason.find("double quote") != std::string::npos);
    }
    // fuzz_importconvert: an export line with "~~" was written into a label
    // text, where the label file reads it as the end of the text: the text
    // split in two and every later text moved into the wrong label (pockets
    // read as spines). Such an export is now refused; the exports where "~~"
    // is in no label (columns 9 and 10, a label the export cuts short) are
    // seeds of fuzz_importconvert.
    void importWithTwoTildesInALabel_data() {
        lmtest::addRows<ImportRow>({
            {"sp1 spine line of the second label", 1,
             spineBlock("A") + spineBlock("B", 4, "QA~~76"), 13},
            {"slb pocket part", 5,
             twoColumnBlock(9, 2, twoColumns("PS3545", "Hemingway ~~ Ernest")) + "\n\n\n", 1},
            {"sl4 second pocket", 3,
             twoColumnBlock(4) + "MID\n" + twoColumnBlock(4, 3, twoColumns("S", "~~")) + "\n\n\n",
             1},
        });
    }
    void importWithTwoTildesInALabel() {
        QFETCH(ImportRow, row);
        const int refusedAtLine = row.refusedAtLine;
        QTemporaryDir dir;
        const std::string exportPath = dir.filePath(QStringLiteral("export.txt")).toStdString();
        const std::string output = dir.filePath(QStringLiteral("$$$aaaa.dat")).toStdString();
        writeAll(exportPath, row.exportText);
        writeAll(output, "previous~~");

        lm::Result<lm::ConvertSummary> converted =
            lm::FileConvert(exportPath, row.labelType, output);
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
    // is taken unchanged. The records where "~~" is in a text the call index
    // does not write, or in a comment line, are seeds of fuzz_extract.
    void extractWithTwoTildesInARecord_data() {
        lmtest::addRows<ExtractRow>({
            {"many records: spine column of the second record", 3, false,
             record() + "\n" + record(2, "QA~~76"), "line 11"},
            {"many records: first pocket", 4, false, record(1, "QA76       Title ~~ more"),
             "line 1"},
            {"one-record folder: second pocket", 5, true, record(6, "           ~~"),
             "this export"},
        });
    }
    void extractWithTwoTildesInARecord() {
        QFETCH(ExtractRow, row);
        const bool folder = row.folder;
        const int callIndex = row.callIndex;
        const std::string& refusal = row.refusal;
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("exports"));
        const std::string exportPath = dir.filePath(folder ? QStringLiteral("exports/record.txt")
                                                           : QStringLiteral("records.txt"))
                                           .toStdString();
        const std::string output = dir.filePath(QStringLiteral("NewFile.dat")).toStdString();
        writeAll(exportPath, row.exportText);
        writeAll(output, "previous~~");

        lm::Result<lm::ExtractSummary> extracted =
            folder ? lm::InfoExtract(dir.filePath(QStringLiteral("exports")).toStdString(),
                                     callIndex, output)
                   : lm::InfoExtractMultiple(exportPath, callIndex, output);
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

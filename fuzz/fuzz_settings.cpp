// The settings file: reading any text, and writing any record.
//
// Input: byte 0 chooses what the rest is. Even: the text of a settings file.
// Odd: the values of a record, taken apart by FuzzedDataProvider. Checks:
//  - a text that reads gives a record that is written as one line and
//    reads back as the same record, and writing that again gives the same
//    line (format(parse(format(x))) is stable);
//  - reading the text from a file gives what reading it from memory gives;
//  - a record is written only when it reads back as the same record (else
//    the write is refused and the old file stays), so the program never
//    writes a settings file it cannot read at its next start.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/numbers.h"
#include "core/settings.h"
#include "fuzzsupport.h"

namespace {

using lmfuzz::visible;

std::string describe(const lm::Result<lm::Settings>& parsed) {
    return parsed ? "read" : "refused: " + parsed.error().message();
}

void checkRoundTrip(const lm::Settings& record, const std::string& origin) {
    const std::string line = lm::formatSettingsLine(record);
    LMFUZZ_CHECK(line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0 &&
                     line.find_first_of("\r\n") == line.size() - 2,
                 "the record is not written as one line ending in CR LF: \"" + visible(line) +
                     "\"; " + origin);
    lm::Result<lm::Settings> again = lm::parseSettingsText(line);
    LMFUZZ_CHECK(again.ok(),
                 "the written line \"" + visible(line) + "\" " + describe(again) + "; " + origin);
    LMFUZZ_CHECK(*again == record, "the written line \"" + visible(line) +
                                       "\" reads back as another record; " + origin);
    LMFUZZ_CHECK(
        lm::formatSettingsLine(*again) == line,
        "writing the record read back changes the line \"" + visible(line) + "\"; " + origin);
}

void checkText(const std::string& text) {
    const std::string origin = "text \"" + visible(text) + "\"";
    lm::Result<lm::Settings> parsed = lm::parseSettingsText(text);

    // Reading the same bytes from a file gives the same answer.
    const std::string path = lmfuzz::scratchPath("$$$set.val");
    lmfuzz::writeFile(path, text);
    lm::Result<lm::Settings> fromFile = lm::readSettingsFile(path);
    if (text.size() <= 64 * 1024) {
        LMFUZZ_CHECK(fromFile.ok() == parsed.ok(), "from the file " + describe(fromFile) +
                                                       ", from memory " + describe(parsed) + "; " +
                                                       origin);
        if (parsed.ok())
            LMFUZZ_CHECK(*fromFile == *parsed, "the file reads as another record; " + origin);
    }
    if (!parsed.ok()) {
        LMFUZZ_CHECK(!parsed.error().reason.empty(), "a refusal without a reason; " + origin);
        return;
    }
    checkRoundTrip(*parsed, origin);
}

lm::SettingsVariant variantFrom(FuzzedDataProvider& input) {
    lm::SettingsVariant v;
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            v.kind = lm::SettingsVariant::Kind::Empty;
            break;
        case 1:
            v = lm::SettingsVariant::fromBool(input.ConsumeBool());
            break;
        case 2: {
            // Numbers at the edges of what a double and its text form hold.
            static const double kEdges[] = {0.0,
                                            -0.0,
                                            0.1,
                                            1e15,
                                            1e15 + 0.5,
                                            -1e-5,
                                            std::numeric_limits<double>::denorm_min(),
                                            2.2250738585072009e-308,
                                            std::numeric_limits<double>::min(),
                                            std::numeric_limits<double>::max(),
                                            std::numeric_limits<double>::infinity(),
                                            std::numeric_limits<double>::quiet_NaN()};
            v.kind = lm::SettingsVariant::Kind::Number;
            switch (input.ConsumeIntegralInRange(0, 2)) {
                case 0:
                    v.number = double(input.ConsumeIntegral<std::int32_t>());
                    break;
                case 1:
                    v.number = input.ConsumeFloatingPoint<double>();
                    break;
                default:
                    v.number = kEdges[input.ConsumeIntegralInRange<std::size_t>(
                        0, sizeof kEdges / sizeof kEdges[0] - 1)];
                    break;
            }
            break;
        }
        default:
            v.kind = lm::SettingsVariant::Kind::Text;
            v.text = input.ConsumeRandomLengthString(24);
            break;
    }
    return v;
}

int shortFrom(FuzzedDataProvider& input) {
    return input.ConsumeIntegral<std::int16_t>();
}

void checkRecord(FuzzedDataProvider& input) {
    lm::Settings s;
    s.SpineFontName = input.ConsumeRandomLengthString(32);
    s.SpineFontSize = shortFrom(input);
    s.SpineFontColor = input.ConsumeIntegral<std::int32_t>();
    s.SpineFontBold = variantFrom(input);
    s.SpineFontItalic = variantFrom(input);
    s.SpineFontStrikethru = input.ConsumeBool();
    s.SpineFontUnderline = input.ConsumeBool();
    s.PocketFontName = input.ConsumeRandomLengthString(32);
    s.PocketFontSize = shortFrom(input);
    s.PocketFontColor = input.ConsumeIntegral<std::int32_t>();
    s.PocketFontBold = variantFrom(input);
    s.PocketFontItalic = input.ConsumeBool();
    s.PocketFontStrikethru = variantFrom(input);
    s.PocketFontUnderline = input.ConsumeBool();
    s.LabelAlignment = shortFrom(input);
    s.LabelType = shortFrom(input);
    s.PrintingMethod = shortFrom(input);
    s.PageTopMargin = shortFrom(input);
    s.PageLeftMargin = shortFrom(input);
    s.SpineLeftMargin = shortFrom(input);
    s.PocketLeftMargin = shortFrom(input);
    const std::string origin = "a record with the fonts \"" + visible(s.SpineFontName) +
                               "\" and \"" + visible(s.PocketFontName) + "\"";

    // Written through the file, as the Setup commands write it.
    const std::string path = lmfuzz::scratchPath("$$$set.val");
    const std::string old = "old settings\r\n";
    lmfuzz::writeFile(path, old);
    const std::string problem = lm::settingsStorageProblem(s);
    lm::Status written = lm::writeSettingsFile(path, s);
    LMFUZZ_CHECK(lmfuzz::folderEntries(lmfuzz::scratchFolder()).size() == 1,
                 "writing the settings left a scratch file; " + origin);
    if (!problem.empty()) {
        LMFUZZ_CHECK(!written.ok(), "a record that cannot be stored was written; " + origin);
        LMFUZZ_CHECK(lmfuzz::readFile(path) == old, "a refused write changed the file; " + origin);
        return;
    }
    LMFUZZ_CHECK(written.ok(), "writing failed: " + written.error().message() + "; " + origin);
    lm::Result<lm::Settings> read = lm::readSettingsFile(path);
    LMFUZZ_CHECK(read.ok() && *read == s, "the file written, \"" + visible(lmfuzz::readFile(path)) +
                                              "\", " + describe(read) + " as another record; " +
                                              origin);
    checkRoundTrip(s, origin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    if (data[0] % 2 == 0) {
        checkText(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    } else {
        FuzzedDataProvider input(data + 1, size - 1);
        checkRecord(input);
    }
    return 0;
}

#include "core/settings.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <utility>
#include <vector>

#include "core/atomicfile.h"
#include "core/numbers.h"
#include "core/readablefile.h"
#include "core/workfolder.h"

namespace lm {
namespace {

const char* const kItemNames[kSettingsItemCount] = {
    "SpineFontName",   "SpineFontSize",        "SpineFontColor",      "SpineFontBold",
    "SpineFontItalic", "SpineFontStrikethru",  "SpineFontUnderline",  "PocketFontName",
    "PocketFontSize",  "PocketFontColor",      "PocketFontBold",      "PocketFontItalic",
    "PocketFontStrikethru", "PocketFontUnderline", "LabelAlignment", "LabelType",
    "PrintingMethod",  "PageTopMargin",        "PageLeftMargin",      "SpineLeftMargin",
    "PocketLeftMargin"};

constexpr const char* kTrue = "#TRUE#";
constexpr const char* kFalse = "#FALSE#";

// One item as the file spells it.
struct Token {
    std::string text;
    bool quoted = false;
};

std::vector<Token> splitItems(const std::string& line) {
    std::vector<Token> tokens;
    if (line.empty()) return tokens;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        Token token;
        if (i < line.size() && line[i] == '"') {
            token.quoted = true;
            std::size_t close = line.find('"', i + 1);
            if (close == std::string::npos) close = line.size();
            token.text = line.substr(i + 1, close - i - 1);
            i = close + 1;
            // Whatever follows the closing quote up to the comma is not part of the item.
            std::size_t comma = line.find(',', std::min(i, line.size()));
            i = comma == std::string::npos ? line.size() : comma;
        } else {
            std::size_t comma = line.find(',', i);
            std::size_t end = comma == std::string::npos ? line.size() : comma;
            token.text = line.substr(i, end - i);
            while (!token.text.empty() && (token.text.back() == ' ' || token.text.back() == '\t'))
                token.text.pop_back();
            i = end;
        }
        tokens.push_back(token);
        if (i >= line.size()) break;
        ++i;  // the comma
        if (i >= line.size()) {
            tokens.push_back(Token{});  // a trailing comma ends an empty item
            break;
        }
    }
    return tokens;
}

bool parseNumber(const Token& token, double& value) {
    if (token.quoted || token.text.empty()) return false;
    const char* begin = token.text.c_str();
    char* end = nullptr;
    value = std::strtod(begin, &end);
    // strtod reports a result below the normal range (a subnormal, or zero)
    // as a range error, yet it is the number that was written: only a number
    // too large to hold is refused.
    return end == begin + token.text.size() && std::isfinite(value);
}

std::string formatNumber(double value) {
    if (value == std::floor(value) && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<long long>(value));
    }
    char buffer[40];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    return buffer;
}

std::string formatBool(bool value) { return value ? kTrue : kFalse; }

std::string formatVariant(const SettingsVariant& v) {
    switch (v.kind) {
        case SettingsVariant::Kind::Empty: return {};
        case SettingsVariant::Kind::Boolean: return formatBool(v.boolean);
        case SettingsVariant::Kind::Number: return formatNumber(v.number);
        case SettingsVariant::Kind::Text: return "\"" + v.text + "\"";
    }
    return {};
}

// Turns the tokens into the record, item by item, and says what is wrong
// with the first item that does not fit.
class ItemReader {
public:
    explicit ItemReader(const std::vector<Token>& tokens) : m_tokens(tokens) {}

    bool ok() const { return m_problem.empty(); }
    const std::string& problem() const { return m_problem; }

    void text(int item, std::string& out) {
        if (!ok() || !wholeItemQuoted(item)) return;
        out = token(item).text;
    }

    void integer(int item, int& out, long long minimum, long long maximum) {
        if (!ok()) return;
        double value = 0;
        if (!parseNumber(token(item), value)) return fail(item, "is not a number");
        double rounded = roundHalfEven(value);
        if (rounded < double(minimum) || rounded > double(maximum))
            return fail(item, "is out of range");
        out = static_cast<int>(rounded);
    }

    void color(int item, std::int32_t& out) {
        int value = 0;
        integer(item, value, std::numeric_limits<std::int32_t>::min(),
                std::numeric_limits<std::int32_t>::max());
        if (ok()) out = value;
    }

    void boolean(int item, bool& out) {
        if (!ok()) return;
        const Token& t = token(item);
        if (!t.quoted && t.text == kTrue) {
            out = true;
        } else if (!t.quoted && t.text == kFalse) {
            out = false;
        } else {
            fail(item, "is not #TRUE# or #FALSE#");
        }
    }

    void variant(int item, SettingsVariant& out) {
        if (!ok() || !wholeItemQuoted(item)) return;
        const Token& t = token(item);
        SettingsVariant v;
        double number = 0;
        if (t.quoted) {
            v.kind = SettingsVariant::Kind::Text;
            v.text = t.text;
        } else if (t.text.empty()) {
            v.kind = SettingsVariant::Kind::Empty;
        } else if (t.text == kTrue || t.text == kFalse) {
            v.kind = SettingsVariant::Kind::Boolean;
            v.boolean = t.text == kTrue;
        } else if (parseNumber(t, number)) {
            v.kind = SettingsVariant::Kind::Number;
            v.number = number;
        } else {
            v.kind = SettingsVariant::Kind::Text;
            v.text = t.text;
        }
        out = v;
    }

private:
    const Token& token(int item) const { return m_tokens[static_cast<std::size_t>(item - 1)]; }

    // A quote inside an unquoted text would come back as the end of the
    // text once the item is written quoted, so such an item is refused.
    bool wholeItemQuoted(int item) {
        const Token& t = token(item);
        if (t.quoted || t.text.find('"') == std::string::npos) return true;
        fail(item, "has a double quote inside an unquoted item");
        return false;
    }

    void fail(int item, const std::string& what) {
        m_problem = "item " + std::to_string(item) + " (" + kItemNames[item - 1] + ") holds \"" +
                    token(item).text + "\", which " + what + ".";
    }

    const std::vector<Token>& m_tokens;
    std::string m_problem;
};

}  // namespace

SettingsVariant SettingsVariant::fromBool(bool value) {
    SettingsVariant v;
    v.kind = Kind::Boolean;
    v.boolean = value;
    return v;
}

bool SettingsVariant::isTrue() const {
    switch (kind) {
        case Kind::Boolean: return boolean;
        case Kind::Number: return number != 0.0;
        default: return false;
    }
}

bool SettingsVariant::operator==(const SettingsVariant& other) const {
    if (kind != other.kind) return false;
    switch (kind) {
        case Kind::Empty: return true;
        case Kind::Boolean: return boolean == other.boolean;
        case Kind::Number: return number == other.number;
        case Kind::Text: return text == other.text;
    }
    return false;
}

bool Settings::operator==(const Settings& o) const {
    return SpineFontName == o.SpineFontName && SpineFontSize == o.SpineFontSize &&
           SpineFontColor == o.SpineFontColor && SpineFontBold == o.SpineFontBold &&
           SpineFontItalic == o.SpineFontItalic && SpineFontStrikethru == o.SpineFontStrikethru &&
           SpineFontUnderline == o.SpineFontUnderline && PocketFontName == o.PocketFontName &&
           PocketFontSize == o.PocketFontSize && PocketFontColor == o.PocketFontColor &&
           PocketFontBold == o.PocketFontBold && PocketFontItalic == o.PocketFontItalic &&
           PocketFontStrikethru == o.PocketFontStrikethru &&
           PocketFontUnderline == o.PocketFontUnderline && LabelAlignment == o.LabelAlignment &&
           LabelType == o.LabelType && PrintingMethod == o.PrintingMethod &&
           PageTopMargin == o.PageTopMargin && PageLeftMargin == o.PageLeftMargin &&
           SpineLeftMargin == o.SpineLeftMargin && PocketLeftMargin == o.PocketLeftMargin;
}

Settings defaultSettings() { return Settings{}; }

std::string formatSettingsLine(const Settings& s) {
    auto quote = [](const std::string& text) { return "\"" + text + "\""; };
    auto num = [](long long value) { return std::to_string(value); };
    std::string line;
    line += quote(s.SpineFontName) + ",";
    line += num(s.SpineFontSize) + ",";
    line += num(s.SpineFontColor) + ",";
    line += formatVariant(s.SpineFontBold) + ",";
    line += formatVariant(s.SpineFontItalic) + ",";
    line += formatBool(s.SpineFontStrikethru) + ",";
    line += formatBool(s.SpineFontUnderline) + ",";
    line += quote(s.PocketFontName) + ",";
    line += num(s.PocketFontSize) + ",";
    line += num(s.PocketFontColor) + ",";
    line += formatVariant(s.PocketFontBold) + ",";
    line += formatBool(s.PocketFontItalic) + ",";
    line += formatVariant(s.PocketFontStrikethru) + ",";
    line += formatBool(s.PocketFontUnderline) + ",";
    line += num(s.LabelAlignment) + ",";
    line += num(s.LabelType) + ",";
    line += num(s.PrintingMethod) + ",";
    line += num(s.PageTopMargin) + ",";
    line += num(s.PageLeftMargin) + ",";
    line += num(s.SpineLeftMargin) + ",";
    line += num(s.PocketLeftMargin);
    line += "\r\n";
    return line;
}

std::string settingsStorageProblem(const Settings& s) {
    auto item = [](int number) {
        return "Item " + std::to_string(number) + " (" + kItemNames[number - 1] + ")";
    };
    auto textProblem = [&](int number, const std::string& text) -> std::string {
        if (text.find('"') != std::string::npos)
            return item(number) + " holds a double quote, which the settings file cannot store.";
        if (text.find_first_of("\r\n") != std::string::npos)
            return item(number) + " holds a line break, which the settings file cannot store.";
        return {};
    };
    auto variantProblem = [&](int number, const SettingsVariant& v) -> std::string {
        if (v.kind == SettingsVariant::Kind::Text) return textProblem(number, v.text);
        if (v.kind == SettingsVariant::Kind::Number && !std::isfinite(v.number))
            return item(number) + " holds a number that is not finite.";
        return {};
    };
    const std::pair<int, int> shorts[] = {
        {2, s.SpineFontSize},   {9, s.PocketFontSize},   {15, s.LabelAlignment},
        {16, s.LabelType},      {17, s.PrintingMethod},  {18, s.PageTopMargin},
        {19, s.PageLeftMargin}, {20, s.SpineLeftMargin}, {21, s.PocketLeftMargin}};
    const std::pair<int, const SettingsVariant*> variants[] = {{4, &s.SpineFontBold},
                                                               {5, &s.SpineFontItalic},
                                                               {11, &s.PocketFontBold},
                                                               {13, &s.PocketFontStrikethru}};
    std::string problem = textProblem(1, s.SpineFontName);
    if (problem.empty()) problem = textProblem(8, s.PocketFontName);
    for (const auto& [number, variant] : variants)
        if (problem.empty()) problem = variantProblem(number, *variant);
    for (const auto& [number, value] : shorts) {
        if (problem.empty() && (value < kInt16Min || value > kInt16Max))
            problem = item(number) + " holds " + std::to_string(value) + ", which is out of range.";
    }
    return problem;
}

Result<Settings> parseSettingsText(const std::string& text) {
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    std::vector<Token> tokens = splitItems(line);
    if (tokens.size() < static_cast<std::size_t>(kSettingsItemCount)) {
        return Error{"", "it holds " + std::to_string(tokens.size()) + " of the " +
                             std::to_string(kSettingsItemCount) + " settings items."};
    }
    Settings s;
    ItemReader r(tokens);
    r.text(1, s.SpineFontName);
    r.integer(2, s.SpineFontSize, kInt16Min, kInt16Max);
    r.color(3, s.SpineFontColor);
    r.variant(4, s.SpineFontBold);
    r.variant(5, s.SpineFontItalic);
    r.boolean(6, s.SpineFontStrikethru);
    r.boolean(7, s.SpineFontUnderline);
    r.text(8, s.PocketFontName);
    r.integer(9, s.PocketFontSize, kInt16Min, kInt16Max);
    r.color(10, s.PocketFontColor);
    r.variant(11, s.PocketFontBold);
    r.boolean(12, s.PocketFontItalic);
    r.variant(13, s.PocketFontStrikethru);
    r.boolean(14, s.PocketFontUnderline);
    r.integer(15, s.LabelAlignment, kInt16Min, kInt16Max);
    r.integer(16, s.LabelType, kInt16Min, kInt16Max);
    r.integer(17, s.PrintingMethod, kInt16Min, kInt16Max);
    r.integer(18, s.PageTopMargin, kInt16Min, kInt16Max);
    r.integer(19, s.PageLeftMargin, kInt16Min, kInt16Max);
    r.integer(20, s.SpineLeftMargin, kInt16Min, kInt16Max);
    r.integer(21, s.PocketLeftMargin, kInt16Min, kInt16Max);
    if (!r.ok()) return Error{"", r.problem()};
    return s;
}

std::string settingsFilePath() { return workFilePath("$$$set.val"); }

Result<Settings> readSettingsFile(const std::string& path) {
    ReadableFile file;
    if (Status opened = file.open(path); !opened) return opened.error();
    // The record is one short line; never read more than a generous first line.
    std::string text(64 * 1024, '\0');
    Result<std::size_t> got = file.readAt(0, &text[0], text.size());
    if (!got) return got.error();
    text.resize(*got);
    Result<Settings> parsed = parseSettingsText(text);
    if (!parsed) return Error{path, parsed.error().reason};
    return parsed;
}

Status writeSettingsFile(const std::string& path, const Settings& settings) {
    std::string problem = settingsStorageProblem(settings);
    if (!problem.empty()) return Error{path, problem + " Nothing was written."};
    return writeFileAtomically(path, formatSettingsLine(settings));
}

Result<Settings> loadOrCreateSettingsFile(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::status(path, ignored).type() == std::filesystem::file_type::not_found) {
        Settings fresh = defaultSettings();
        Status written = writeSettingsFile(path, fresh);
        if (!written) return written.error();
        return fresh;
    }
    return readSettingsFile(path);
}

}  // namespace lm

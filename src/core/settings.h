#pragma once

#include <cstdint>
#include <string>

#include "core/result.h"

namespace lm {

// A settings item that keeps whatever kind of value the file gave it and is
// written back in the same form. The system itself only ever stores booleans
// in these items; older or hand-edited files may hold numbers, texts or nothing.
struct SettingsVariant {
    enum class Kind { Empty, Boolean, Number, Text };
    Kind kind = Kind::Boolean;
    bool boolean = false;
    double number = 0.0;
    std::string text;

    static SettingsVariant fromBool(bool value);
    // How the value counts where a flag is needed: a boolean as itself, a
    // number when not zero, anything else as false.
    bool isTrue() const;
    bool operator==(const SettingsVariant& other) const;
    bool operator!=(const SettingsVariant& other) const { return !(*this == other); }
};

// The record of the settings file "$$$set.val", in file order.
struct Settings {
    std::string SpineFontName = "Times New Roman";
    int SpineFontSize = 11;
    std::int32_t SpineFontColor = 0;  // Windows RGB: 0x00BBGGRR
    SettingsVariant SpineFontBold;
    SettingsVariant SpineFontItalic;
    bool SpineFontStrikethru = false;
    bool SpineFontUnderline = false;
    std::string PocketFontName = "Times New Roman";
    int PocketFontSize = 12;
    std::int32_t PocketFontColor = 0;
    SettingsVariant PocketFontBold;
    bool PocketFontItalic = false;
    SettingsVariant PocketFontStrikethru;
    bool PocketFontUnderline = false;
    int LabelAlignment = 0;  // 0 Left, 1 Right, 2 Centered, 3 Justified
    int LabelType = 1;       // 1..10, see labeltypes.h
    int PrintingMethod = 1;  // 1 Interactive, 2 Batch
    int PageTopMargin = 920;
    int PageLeftMargin = 640;
    int SpineLeftMargin = 35;
    int PocketLeftMargin = 30;

    bool operator==(const Settings& other) const;
    bool operator!=(const Settings& other) const { return !(*this == other); }
};

constexpr int kSettingsItemCount = 21;
constexpr int kInteractivePrinting = 1;
constexpr int kBatchPrinting = 2;

// The settings a fresh installation starts with: both fonts Times New Roman
// (spine 11, pocket 12 point), black, no styles, Left, sp1 with its default
// margins, Interactive printing.
Settings defaultSettings();

// The one line of the file, CR LF included.
std::string formatSettingsLine(const Settings& settings);

// Why the record cannot be written so that it reads back as it is, naming
// the item: a text with a double quote or a line break (the format has no
// escape), a number outside its item's 16-bit range, or a variant number
// that is not finite. Empty when it can be written.
std::string settingsStorageProblem(const Settings& settings);

// Reads the 21 items from the file's text. Fails, saying which item and why,
// when fewer than 21 items are present or an item holds the wrong kind of value.
Result<Settings> parseSettingsText(const std::string& text);

// The settings file of the working folder.
std::string settingsFilePath();

Result<Settings> readSettingsFile(const std::string& path);

// Replaces the whole file; the old file stays intact if the write fails.
// A record with a settingsStorageProblem() is refused and nothing is written,
// so the program never leaves a file it cannot read at its next start.
Status writeSettingsFile(const std::string& path, const Settings& settings);

// Start-up's read: a missing file is created with defaultSettings() and those
// are used; a file that exists but cannot be read is reported, never replaced.
Result<Settings> loadOrCreateSettingsFile(const std::string& path);

}  // namespace lm

#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <cstdint>

namespace lm {

struct Settings;

// The font of one label as the settings file and the font dialog describe it.
// The colour is a Windows RGB value, 0x00BBGGRR, as the settings file keeps it.
struct LabelFont {
    QString name = QStringLiteral("Times New Roman");
    double size = 12.0;  // points
    std::int32_t color = 0;
    bool bold = false;
    bool italic = false;
    bool strikethrough = false;
    bool underline = false;

    // The font drawn at `zoomPercent`: the point size scales, nothing else.
    QFont toQFont(int zoomPercent = 100) const;
    QColor qColor() const;

    bool operator==(const LabelFont& other) const;
    bool operator!=(const LabelFont& other) const { return !(*this == other); }
};

LabelFont spineFontFromSettings(const Settings& settings);
LabelFont pocketFontFromSettings(const Settings& settings);

QColor windowsColorToQColor(std::int32_t color);
std::int32_t qColorToWindowsColor(const QColor& color);

}  // namespace lm

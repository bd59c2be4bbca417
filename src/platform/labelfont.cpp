#include "platform/labelfont.h"

#include "core/settings.h"

namespace lm {

QFont LabelFont::toQFont(int zoomPercent) const {
    QFont font(name);
    double scaled = size * zoomPercent / 100.0;
    font.setPointSizeF(scaled > 0 ? scaled : 1.0);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStrikeOut(strikethrough);
    font.setUnderline(underline);
    return font;
}

QColor LabelFont::qColor() const {
    return windowsColorToQColor(color);
}

bool LabelFont::operator==(const LabelFont& other) const {
    return name == other.name && size == other.size && color == other.color && bold == other.bold &&
           italic == other.italic && strikethrough == other.strikethrough &&
           underline == other.underline;
}

LabelFont spineFontFromSettings(const Settings& s) {
    LabelFont font;
    font.name = QString::fromStdString(s.SpineFontName);
    font.size = s.SpineFontSize;
    font.color = s.SpineFontColor;
    font.bold = s.SpineFontBold.isTrue();
    font.italic = s.SpineFontItalic.isTrue();
    font.strikethrough = s.SpineFontStrikethru;
    font.underline = s.SpineFontUnderline;
    return font;
}

LabelFont pocketFontFromSettings(const Settings& s) {
    LabelFont font;
    font.name = QString::fromStdString(s.PocketFontName);
    font.size = s.PocketFontSize;
    font.color = s.PocketFontColor;
    font.bold = s.PocketFontBold.isTrue();
    font.italic = s.PocketFontItalic;
    font.strikethrough = s.PocketFontStrikethru.isTrue();
    font.underline = s.PocketFontUnderline;
    return font;
}

QColor windowsColorToQColor(std::int32_t color) {
    auto value = static_cast<std::uint32_t>(color);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

std::int32_t qColorToWindowsColor(const QColor& color) {
    std::uint32_t value = std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) |
                          (std::uint32_t(color.blue()) << 16);
    return static_cast<std::int32_t>(value);
}

}  // namespace lm

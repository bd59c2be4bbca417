#include "core/setupinformation.h"

#include "core/labeltypes.h"
#include "core/numbers.h"

namespace lm {

std::string alignmentName(int alignment) {
    switch (alignment) {
        case 0:
            return "Left";
        case 1:
            return "Right";
        case 2:
            return "Centered";
        case 3:
            return "Justified";
        default:
            return {};
    }
}

std::string setupInformation(const Settings& s) {
    const std::string lineBreak = "\r\n";
    std::string style = s.SpineFontBold.isTrue() ? "Bold " : "Regular ";
    if (s.SpineFontItalic.isTrue()) style += "Italic";
    std::string text;
    text += "Font Name: " + s.SpineFontName + lineBreak;
    text += "Font Size: " + formatSignedNumber(s.SpineFontSize) + lineBreak;
    text += "Font Style: " + style + lineBreak;
    text += "Label Type: " + labelTypeName(s.LabelType) + lineBreak;
    text += std::string("Printing Method: ") +
            (s.PrintingMethod == kInteractivePrinting ? "Interactive" : "Batch") + lineBreak;
    text += "Page Top Margin: " + formatSignedNumber(s.PageTopMargin) + lineBreak;
    text += "Page Left Margin: " + formatSignedNumber(s.PageLeftMargin) + lineBreak;
    text += "Spine Label Left Margin: " + formatSignedNumber(s.SpineLeftMargin) + lineBreak;
    text += "Pocket Label Left Margin: " + formatSignedNumber(s.PocketLeftMargin) + lineBreak;
    text += "Label Alignment: " + alignmentName(s.LabelAlignment);
    return text;
}

}  // namespace lm

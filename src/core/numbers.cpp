#include "core/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace lm {

double roundHalfEven(double value) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-
    // even unless someone changed it; compute it explicitly instead.
    double floorValue = std::floor(value);
    double diff = value - floorValue;
    if (diff < 0.5) return floorValue;
    if (diff > 0.5) return floorValue + 1.0;
    return std::fmod(floorValue, 2.0) == 0.0 ? floorValue : floorValue + 1.0;
}

std::string formatSignedNumber(long long value) {
    std::string digits = std::to_string(value);
    return value < 0 ? digits : " " + digits;
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string number;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) number += text[i++];
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (std::isdigit(static_cast<unsigned char>(c))) {
            number += c;
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            number += c;
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit) return 0.0;
    return std::strtod(number.c_str(), nullptr);
}

}  // namespace lm

#include "core/setupmargins.h"

#include "core/numbers.h"

namespace lm {
namespace {

int& marginField(Settings& settings, MarginItem item) {
    switch (item) {
        case MarginItem::PageTop:
            return settings.PageTopMargin;
        case MarginItem::PageLeft:
            return settings.PageLeftMargin;
        case MarginItem::SpineLeft:
            return settings.SpineLeftMargin;
        case MarginItem::PocketLeft:
            break;
    }
    return settings.PocketLeftMargin;
}

}  // namespace

int marginValue(const Settings& settings, MarginItem item) {
    Settings copy = settings;
    return marginField(copy, item);
}

void setMarginValue(Settings& settings, MarginItem item, int value) {
    marginField(settings, item) = value;
}

bool marginInRange(MarginItem item, double value) {
    switch (item) {
        case MarginItem::PageTop:
        case MarginItem::PageLeft:
            return value > 0 && value < 4500;
        case MarginItem::SpineLeft:
            return value >= 0 && value < 900;
        case MarginItem::PocketLeft:
            break;
    }
    return value >= 0 && value < 2000;
}

std::optional<int> marginFromAnswer(MarginItem item, std::string_view answer) {
    double value = leadingNumber(answer);
    if (!marginInRange(item, value)) return std::nullopt;
    return static_cast<int>(roundHalfEven(value));
}

}  // namespace lm

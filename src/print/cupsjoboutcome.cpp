#include "print/cupsjoboutcome.h"

#include <dlfcn.h>

namespace lm {
namespace {

// ipp_status_t: below 0x0400 the request went through.
constexpr int kFirstIppError = 0x0400;

using LastError = int (*)();
using LastErrorString = const char* (*)();

}  // namespace

std::optional<QString> cupsJobRefusal() {
    // Only the libcups that Qt's print support has loaded holds the answer;
    // this program does not load one of its own.
    void* cups = dlopen("libcups.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!cups) return std::nullopt;
    std::optional<QString> refusal;
    auto lastError = reinterpret_cast<LastError>(dlsym(cups, "cupsLastError"));
    auto lastErrorString = reinterpret_cast<LastErrorString>(dlsym(cups, "cupsLastErrorString"));
    if (lastError && lastError() >= kFirstIppError) {
        const char* text = lastErrorString ? lastErrorString() : nullptr;
        refusal = text && *text ? QString::fromLocal8Bit(text)
                                : QStringLiteral("CUPS answered with status 0x%1")
                                      .arg(lastError(), 4, 16, QLatin1Char('0'));
    }
    dlclose(cups);
    return refusal;
}

}  // namespace lm

#include "store/programend.h"

#include <QCoreApplication>

namespace lm {
namespace {

std::function<void()>& programEndForTesting() {
    static std::function<void()> end;
    return end;
}

}  // namespace

void endProgram() {
    if (programEndForTesting()) {
        programEndForTesting()();
        return;
    }
    QCoreApplication::exit(0);
}

void setProgramEndForTesting(std::function<void()> end) {
    programEndForTesting() = std::move(end);
}

}  // namespace lm

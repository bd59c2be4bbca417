#include "app/windowtitle.h"

#include "core/numbers.h"

namespace lm {

QString pageTitle(const std::string& fileName, int pageNumber, TitleSpacing spacing) {
    QString separator =
        spacing == TitleSpacing::TwoSpaces ? QStringLiteral("  (Page ") : QStringLiteral(" (Page ");
    return kWindowTitle + QStringLiteral(" - ") + QString::fromStdString(fileName).toUpper() +
           separator + QString::fromStdString(formatSignedNumber(pageNumber)) + QStringLiteral(")");
}

}  // namespace lm

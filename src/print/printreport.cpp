#include "print/printreport.h"

namespace lm {

QString printedMessage(bool toFile, const QString& destination, int sheets) {
    if (sheets == 0) return QStringLiteral("No sheet was printed: the label file holds no labels");
    const QString count =
        sheets == 1 ? QStringLiteral("1 sheet") : QStringLiteral("%1 sheets").arg(sheets);
    if (toFile) return QStringLiteral("%1 written to %2").arg(count, destination);
    return QStringLiteral("%1 sent to the printer \"%2\"").arg(count, destination);
}

QString noPrinterMessage(const QString& pdfPath) {
    return QStringLiteral("No printer is installed, so the labels were written to the PDF file %1.")
        .arg(pdfPath);
}

}  // namespace lm

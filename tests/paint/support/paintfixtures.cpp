#include "paintfixtures.h"

#include "core/labeltypes.h"
#include "paint/pdfsheetwriter.h"

lm::Settings settingsForType(int labelType) {
    lm::Settings settings = lm::defaultSettings();
    settings.LabelType = labelType;
    if (const lm::LabelTypeInfo* info = lm::labelTypeInfo(labelType)) {
        settings.PageTopMargin = info->defaultTopMargin;
        settings.PageLeftMargin = info->defaultLeftMargin;
        settings.SpineFontSize = info->spineFontSize;
    }
    settings.SpineLeftMargin = 35;
    settings.PocketLeftMargin = 30;
    return settings;
}

QString spineWord(int element) {
    return QStringLiteral("S%1").arg(element, 2, 10, QLatin1Char('0'));
}

QString pocketWord(int element) {
    return QStringLiteral("P%1").arg(element, 2, 10, QLatin1Char('0'));
}

lm::MemoryPage numberedPage(int labelType) {
    lm::MemoryPage page = lm::MemoryPage::forLabelType(labelType);
    for (int i = 2; i <= page.lastSpineIndex(); ++i)
        page.setSpineText(i, spineWord(i).toStdString());
    for (int i = 2; i <= page.lastPocketIndex(); ++i)
        page.setPocketText(i, pocketWord(i).toStdString());
    return page;
}

lm::LabelSheet numberedSheet(int labelType) {
    return lm::labelSheet(settingsForType(labelType), labelType, numberedPage(labelType));
}

bool writePdf(const QString& path, const QList<lm::LabelSheet>& sheets, QString* error) {
    lm::PdfSheetWriter writer(path);
    for (const lm::LabelSheet& sheet : sheets) {
        lm::Status added = writer.addSheet(sheet);
        if (!added) {
            *error = QString::fromStdString(added.error().message());
            return false;
        }
    }
    lm::Status finished = writer.finish();
    if (!finished) *error = QString::fromStdString(finished.error().message());
    return finished.ok();
}

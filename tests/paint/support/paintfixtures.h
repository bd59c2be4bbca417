#pragma once

#include <QList>
#include <QString>

#include "core/labelpage.h"
#include "core/settings.h"
#include "paint/labelsheet.h"

// The settings a fresh choice of `labelType` gives: the type's own page
// margins and spine size, inner margins 35 and 30, Times New Roman.
lm::Settings settingsForType(int labelType);

// "S02", "S03", ... for spine elements and "P02", ... for pocket elements:
// one word per label, so each label can be found on the page.
QString spineWord(int element);
QString pocketWord(int element);

// A page of `labelType` whose every label holds its own word.
lm::MemoryPage numberedPage(int labelType);

// The sheet of a numbered page of `labelType` with that type's settings.
lm::LabelSheet numberedSheet(int labelType);

// Writes the sheets into `path` with lm::PdfSheetWriter; false with *error
// when it fails.
bool writePdf(const QString& path, const QList<lm::LabelSheet>& sheets, QString* error);

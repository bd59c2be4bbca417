#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace lm {
class Forms1;
class LabelControl;
}  // namespace lm

// The texts of a label file of `sets` label sets of `labelType`, in file
// order: set k (from 1) has the spine text "S<k>" and the pocket texts
// "P<k>a" and "P<k>b" as far as the type has pockets.
QList<QByteArray> labelSetTexts(int labelType, int sets);

// A label file holding `texts`, each followed by "~~".
QByteArray labelFileBytes(const QList<QByteArray>& texts);

// "L<from>~~...L<to>~~": one word a label.
QByteArray numberedLabels(int from, int to);

// The texts of page `pageNumber` (from 1) of `texts` for `labelType`.
QList<QByteArray> pageTexts(int labelType, const QList<QByteArray>& texts, int pageNumber);

// The texts on display in file order (spine, then its pockets, set by set),
// without the empty ones at the end of the page.
QList<QByteArray> shownTexts(lm::Forms1& window);

// Changes a label as the operator does: `text` is typed at its end.
void typeInto(lm::LabelControl* label, const QString& text);

// The title of a page of `path`, with one or two spaces before "(Page".
QString titleOf(const QString& path, int page, bool twoSpaces);

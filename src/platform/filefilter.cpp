#include "platform/filefilter.h"

#include <QRegularExpression>

namespace lm {
namespace {

QStringList patternsOf(const QString& patternList) {
    QStringList patterns;
    const QStringList parts = patternList.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString pattern : parts) {
        pattern = pattern.trimmed();
        if (pattern.isEmpty()) continue;
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        if (!patterns.contains(pattern)) patterns << pattern;
    }
    return patterns;
}

// "Label Files (*.dat; *.txt)" -> "Label Files": the patterns are shown anew.
QString descriptionOf(const QString& text) {
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QString description = text;
    description.remove(trailingPatterns);
    return description.trimmed();
}

}  // namespace

QStringList qtNameFilters(const QString& windowsFilter) {
    QStringList filters;
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = patternsOf(parts[i + 1]);
        if (patterns.isEmpty()) continue;
        QString description = descriptionOf(parts[i]);
        if (description.isEmpty()) description = patterns.join(QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

QString defaultSuffix(const QString& windowsFilter) {
    const QStringList parts = windowsFilter.split(QLatin1Char('|'));
    if (parts.size() < 2) return QString();
    const QStringList patterns = patternsOf(parts[1]);
    if (patterns.isEmpty()) return QString();
    static const QRegularExpression suffixOnly(QStringLiteral("^\\*\\.([^*?.\\[\\]]+)$"));
    const QRegularExpressionMatch match = suffixOnly.match(patterns.first());
    return match.hasMatch() ? match.captured(1) : QString();
}

}  // namespace lm

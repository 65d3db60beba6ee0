#include "ui/FileFilter.h"

#include <QStringList>

namespace vantor::gui {

namespace {

QString qtPatterns(const QString &patterns)
{
    QStringList result;
    const QStringList parts = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        result.append(pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
    }
    return result.join(QLatin1Char(' '));
}

} // namespace

QString qtFileFilter(const QString &filterList)
{
    const QStringList parts = filterList.split(QLatin1Char('|'));
    QStringList filters;
    // The list ends at the first empty text, the "||" at its end.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts.at(i).isEmpty(); i += 2) {
        const QString patterns = qtPatterns(parts.at(i + 1));
        filters.append(parts.at(i) + QStringLiteral(" (") + (patterns.isEmpty() ? QStringLiteral("*") : patterns) +
                       QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace vantor::gui

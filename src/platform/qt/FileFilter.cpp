#include "platform/qt/FileFilter.h"

#include "platform/QtText.h"

#include <QStringList>

namespace quillory {

QString qtFileFilter(std::u16string_view pairs)
{
    const QStringList parts = toQ(pairs).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        filters.append(parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return filters.join(QStringLiteral(";;"));
}

QString suffixOfFilter(const QString& filter)
{
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close <= open)
        return {};
    const QString first = filter.mid(open + 1, close - open - 1).split(QLatin1Char(' '), Qt::SkipEmptyParts).value(0);
    if (!first.startsWith(QStringLiteral("*.")) || first.size() < 3 || first.indexOf(QLatin1Char('*'), 1) >= 0)
        return {};
    return first.mid(2);
}

} // namespace quillory

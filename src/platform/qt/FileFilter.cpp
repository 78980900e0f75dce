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

} // namespace quillory

#include "gui/app/prompts.h"

#include "gui/app/qt_prompts.h"

#include <QStringList>

namespace corvane::gui {

namespace {
Prompts* installed = nullptr;
}

Prompts& prompts()
{
    static QtPrompts qtPrompts;
    return installed ? *installed : qtPrompts;
}

void setPrompts(Prompts* replacement)
{
    installed = replacement;
}

QString qtFilterFromProgramFilter(const QString& programFilter)
{
    const QStringList parts = programFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed();
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace corvane::gui

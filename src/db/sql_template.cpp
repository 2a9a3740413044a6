#include "db/sql_template.h"

QStringList SplitSqlParams(const QString &params)
{
    QStringList result;
    QString current;
    for (QChar c : params) {
        if (c == QLatin1Char(';')) {
            result.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        result.append(current);
    return result;
}

QString JoinTemplateLines(const QStringList &templateLines)
{
    QString text;
    for (const QString &line : templateLines)
        text += line + QStringLiteral("\r\n");
    return text;
}

static bool IsBlankOrControl(const QString &text)
{
    for (QChar c : text)
        if (c.unicode() > 32)
            return false;
    return true;
}

QString FillSqlTemplate(const QStringList &templateLines, const QString &params)
{
    QString text = JoinTemplateLines(templateLines);
    if (IsBlankOrControl(text))
        return QString();
    for (const QString &parameter : SplitSqlParams(params)) {
        const qsizetype at = text.indexOf(QStringLiteral("%S"), 0, Qt::CaseSensitive);
        if (at < 0)
            continue;
        text.replace(at, 2, parameter);
    }
    return text;
}

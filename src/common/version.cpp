#include "common/version.h"

#include <QStringList>

QString FormatVersion(const QString &dotted)
{
    const QStringList parts = dotted.split(QLatin1Char('.'));
    int numbers[4] = {0, 0, 0, 0};
    if (dotted.isEmpty() || parts.size() > 4)
        return QStringLiteral("-1.0.0.0");
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        numbers[i] = parts.at(i).toInt(&ok);
        if (!ok || numbers[i] < 0)
            return QStringLiteral("-1.0.0.0");
    }
    return QStringLiteral("%1.%2.%3.%4").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]).arg(numbers[3]);
}

QString GetExeVersion()
{
#ifdef ORMENA_VERSION
    return FormatVersion(QStringLiteral(ORMENA_VERSION));
#else
    return FormatVersion(QString());
#endif
}

#include "common/app_title.h"

#include <QCoreApplication>

QString ApplicationTitle()
{
    return QCoreApplication::applicationName();
}

void SetApplicationTitle(const QString &title)
{
    QCoreApplication::setApplicationName(title);
}

namespace {
QString g_mainTitle;
}

QString MainTitle()
{
    return g_mainTitle;
}

void SetMainTitle(const QString &title)
{
    g_mainTitle = title;
}

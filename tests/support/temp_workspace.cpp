#include "support/temp_workspace.h"

#include <QDir>

TempWorkspace::TempWorkspace()
    : m_previousDir(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TempWorkspace::~TempWorkspace()
{
    QDir::setCurrent(m_previousDir);
}

QString TempWorkspace::makeTemplateFolder() const
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Shablon"));
    return m_dir.filePath(QStringLiteral("Shablon"));
}

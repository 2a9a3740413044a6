#include "support/temp_workspace.h"

#include "app/settings_store.h"

#include <QDir>

TempWorkspace::TempWorkspace()
    : m_previousDir(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    // The settings store of a test lives in the workspace, never in the user's folder.
    SetSettingsFolder(m_dir.filePath(QStringLiteral("config")));
}

TempWorkspace::~TempWorkspace()
{
    SetSettingsFolder(QString());
    QDir::setCurrent(m_previousDir);
}

QString TempWorkspace::makeTemplateFolder() const
{
    QDir(m_dir.path()).mkpath(QStringLiteral("Shablon"));
    return m_dir.filePath(QStringLiteral("Shablon"));
}

// A throw-away working folder for one test: database files, "Shablon", the
// settings store and the temporary folder all live under it and vanish with it.
#pragma once

#include <QString>
#include <QTemporaryDir>

class TempWorkspace {
public:
    TempWorkspace();
    ~TempWorkspace();

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // Creates the "Shablon" template folder and returns its path.
    QString makeTemplateFolder() const;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
};

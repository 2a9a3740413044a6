// Writes small DBF tables for the tests: dBase III or Visual FoxPro headers,
// a chosen code page, deleted rows and (FoxPro) null values.
#pragma once

#include <QList>
#include <QString>

#include <optional>

struct DbfFieldSpec {
    QString name;
    int length = 20;
    bool nullable = false;
};

struct DbfRowSpec {
    QList<std::optional<QString>> values;
    bool deleted = false;
};

// version 0x03 (dBase III) or 0x30 (Visual FoxPro); languageDriver names the
// code page the texts are encoded in (0x65 cp866, 0xC9 cp1251, 0x00 none).
void WriteDbf(const QString &path, unsigned char version, unsigned char languageDriver,
              const QList<DbfFieldSpec> &fields, const QList<DbfRowSpec> &rows);

// The organisation registry of the tests: organ.dbf in loginDir with the given
// rows (alias, org_name, adm_path) and DBELIST.DBF below adminDir/DBE with rows
// (alias, fullname, path, guidename).
void WriteOrganTable(const QString &loginDir, const QList<QStringList> &rows);
void WriteDbeList(const QString &adminDir, const QList<QStringList> &rows);

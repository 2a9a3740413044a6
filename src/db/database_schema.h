// The schema of Ormena's database file, stated once: the five tables with their
// columns in order, their indexes, and the reserved rows of the field
// dictionary. The start-up check brings every file into line with this list.
#pragma once

#include "db/ado_dao_tools.h"

#include <QList>
#include <QString>

inline const QString kDatabaseFileName = QStringLiteral("Ormena.mdb");
inline const QString kDemoDatabaseFileName = QStringLiteral("OrmenaDemo.mdb");

struct SchemaColumn {
    QString name;
    TAccessFieldKind kind;
    qint32 size; // sized text only; 0 otherwise
};

struct SchemaIndex {
    QString name;
    bool unique;
    QString columns; // comma-separated, in index order
};

struct SchemaTable {
    QString name;
    QList<SchemaColumn> columns;
    QList<SchemaIndex> indexes; // besides the unique index "Id" on the key, which every table has
};

struct ReservedField {
    int npp;
    QString name;
    QString skript;
};

// Fio, FioValue, Shablon, ShablonFld, SprField, in the order the check handles them.
const QList<SchemaTable> &DatabaseSchema();
// "НОМДОК", "НШ", "НД" with their positions and descriptions.
const QList<ReservedField> &ReservedFields();

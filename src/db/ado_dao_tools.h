// Ado_Dao_Tools: free-standing schema operations on a database connection —
// create the file, test for tables, columns and indexes, create tables, add or
// re-declare columns, create and drop indexes, run one statement, read one
// value, and point a closed connection at a file with an open mode. Every
// statement is composed from fixed pieces, so its text is known exactly.
#pragma once

#include "db/sqlite_engine.h"

#include <QList>
#include <QString>
#include <QVariant>

// Column kinds; a byte, so values past afBinary (11..255) exist and add nothing to a list.
enum TAccessFieldKind : quint8 {
    afAutoInc = 0,
    afText = 1,
    afText2 = 2,
    afInteger = 3,
    afImage = 4,
    afLongText = 5,
    afFloat = 6,
    afBit = 7,
    afMoney = 8,
    afDateTime = 9,
    afBinary = 10,
};

// The null clause of CREATE INDEX; other values add no clause.
enum TIndexNullMode : quint8 { inNone = 0, inDisallowNull = 1, inIgnoreNull = 2 };

// The word after "Mode=" in the connection string; 0 and 6..255 leave it empty.
enum TOpenMode : quint8 {
    omNone = 0,
    omReadWrite = 1,
    omRead = 2,
    omWrite = 3,
    omShareDenyReadWrite = 4,
    omShareDenyNone = 5,
};

// One column of a table; the connection is only referred to.
struct TAccessField {
    DbConnection *Connection = nullptr;
    QString TableName;
    QString FieldName;
    TAccessFieldKind Kind = afInteger;
    qint32 Size = 0; // characters of a sized text column; ignored for other kinds
};
using TAccessFields = QList<TAccessField>;

// The two fixed connection strings.
QString CreateConnectionString(const QString &path);
inline const QString kOpenConnectionTemplate =
    QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=;Mode=;Persist Security Info=False");
// The word written after "Mode=" for a mode.
QString OpenModeWord(TOpenMode mode);

// True when the file existed or has been created; a failure to create throws.
bool CreateAccessDatabase(const QString &path);
TAccessField MakeAccessField(DbConnection &connection, const QString &table, const QString &column,
                             TAccessFieldKind kind, qint32 size);
// The definition text of the columns ("[Id] INT IDENTITY(1,1), [Name] TEXT(20) WITH COMPRESSION");
// for an auto-increment column of an existing table the seed is its largest key plus one.
QString BuildFieldList(const TAccessFields &fields);

bool TableExists(DbConnection &connection, const QString &table);
bool FieldExists(DbConnection &connection, const QString &table, const QString &column);
bool IndexExists(DbConnection &connection, const QString &table, const QString &index);

// True when the table was created, false when it existed.
bool CreateTable(DbConnection &connection, const QString &table, const TAccessFields &fields);
// Adds the column or re-declares it; a refused statement is shown as an error
// box and the operation still returns true.
bool AddOrAlterField(const TAccessField &field);
// An existing index of that name is left as it is.
bool CreateIndex(DbConnection &connection, const QString &table, const QString &index, const QString &columns,
                 bool unique, TIndexNullMode nullMode);
// "[a],[b]" from "a, b"; "[index]" for an empty column text.
QString IndexColumnList(const QString &index, const QString &columns);
// True when the index existed and was dropped.
bool DropIndex(DbConnection &connection, const QString &table, const QString &index);
bool DropAllIndexes(DbConnection &connection, const QString &table);

void ExecuteSql(DbConnection &connection, const QString &statement);
// The named column of the first (or last) row; 0 when there is no row, when the
// value is null and when the query failed (that failure is shown in an error box).
QVariant Get_FieldValueBySql(DbConnection &connection, const QString &query, const QString &column,
                             const QString &caller, bool takeLast);

// Points the closed connection at directory/fileName (an empty directory is
// the current one). A missing file throws when it must exist; a failure to set
// the string is shown in an error box and gives false.
bool SetDatabasePath(DbConnection &connection, const QString &fileName, const QString &directory, bool mustExist,
                     TOpenMode mode);
// Throws on an open connection.
void SetOpenMode(DbConnection &connection, TOpenMode mode);

// Fills every "%S" of a text with the arguments in order.
QString FormatS(const QString &pattern, const QStringList &arguments);

// Reads the Jet schema statements the toolkit composes (CREATE TABLE, ALTER
// TABLE ADD/ALTER COLUMN, CREATE [UNIQUE] INDEX, DROP INDEX, DROP TABLE) into a
// description the engine carries out on SQLite, and gives the SQLite texts the
// engine writes for columns and indexes. Any other statement is left to SQLite.
#pragma once

#include "db/sqlite_engine.h"

#include <QList>
#include <QString>
#include <QStringList>

struct JetColumnDefinition {
    QString name;
    DbColumnKind kind = DbColumnKind::Unknown;
    int size = 0;        // characters of sized text (as written; checked by the engine)
    qint64 seed = 1;     // identity: the next key
    qint64 increment = 1;
};

enum class JetStatementType { Other, CreateTable, AddColumn, AlterColumn, CreateIndex, DropIndex, DropTable };

struct JetStatement {
    JetStatementType type = JetStatementType::Other;
    QString table;                      // trimmed, as written
    QList<JetColumnDefinition> columns; // CREATE TABLE: all of them (maybe none); ADD/ALTER: one
    QString index;                      // trimmed, as written
    QStringList indexColumns;           // trimmed; an empty name stays empty
    bool unique = false;
    DbIndexNullMode nullMode = DbIndexNullMode::None;
};

// Throws OrmenaError naming the statement when a schema statement is malformed
// (for instance "ALTER TABLE Fio ADD COLUMN " with no definition, or an unknown
// column type). Statements of other kinds come back as JetStatementType::Other.
JetStatement ParseJetStatement(const QString &statement);

// The column the engine puts into a table created without columns; never listed.
inline constexpr const char *kPlaceholderColumn = "ormena_no_columns";

// "name" with inner quotes doubled.
QString QuoteIdentifier(const QString &name);
// The one SQLite text the engine writes for a column of a kind (with the
// case-blind collation for text and the length check for sized text).
QString SqliteColumnDefinition(const QString &table, const JetColumnDefinition &column);
// SQLite keeps one namespace of index names per file; the engine stores a
// table's index under the table name, a dot and the index name.
QString SqliteIndexName(const QString &table, const QString &index);
// The message a sized text column gives for a value that is too long.
QString TextTooLongMessage(const QString &table, const QString &column, int size);

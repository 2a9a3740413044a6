// Carries out one Jet schema statement on an SQLite file: tables created with
// or without columns, columns added or re-declared, indexes created and dropped
// under their own names. A column re-declared with the definition it already
// has costs nothing; a real change rebuilds the table in one transaction,
// keeping rows, indexes and the identity seed, and is refused (nothing
// changed) when stored values do not fit the new definition.
#pragma once

#include "db/jet_statement_translator.h"

#include <QString>
#include <QStringList>

class SqliteConnection;

class SqliteSchemaEditor {
public:
    explicit SqliteSchemaEditor(SqliteConnection &connection) : m_connection(connection) {}
    void apply(const JetStatement &statement);

    // The column definitions and table constraints of a CREATE TABLE text, as written.
    static QStringList SplitTableDefinition(const QString &createSql, QString *tableOptions = nullptr);
    // The column an item of a table definition declares; empty for a table constraint.
    static QString ItemColumnName(const QString &item);

private:
    struct TableItem {
        QString text;   // the definition as the file holds it
        QString column; // empty for a table constraint
    };
    struct TableShape {
        QString name;   // as stored
        QString options; // "WITHOUT ROWID" and the like, after the closing parenthesis
        QList<TableItem> items;
        bool hasPlaceholder = false;
        QString identityColumn; // empty when the table has none
    };
    struct RebuildColumn {
        QString definition; // item text of the new table
        QString column;     // empty for a table constraint
        QString source;     // expression reading the old row; empty for a new column
    };

    void createTable(const JetStatement &statement);
    void addColumn(const JetStatement &statement);
    void alterColumn(const JetStatement &statement);
    void createIndex(const JetStatement &statement);
    void dropIndex(const JetStatement &statement);
    void dropTable(const JetStatement &statement);

    QString requireTable(const QString &table);
    TableShape shapeOf(const QString &storedTable);
    void validate(const JetColumnDefinition &column) const;
    void requireFits(const TableShape &shape, const QString &column, const JetColumnDefinition &target);
    void rebuild(const TableShape &shape, const QList<RebuildColumn> &columns, qint64 identitySeed);
    void setIdentitySeed(const QString &storedTable, qint64 seed);
    QString masterSql(const QString &type, const QString &name);
    qint64 scalar(const QString &sql, const QVariantList &values = {});

    SqliteConnection &m_connection;
};

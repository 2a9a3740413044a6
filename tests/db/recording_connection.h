// A connection that hands every call to a real SQLite connection and writes
// down the statement texts it was asked to execute, so tests can compare the
// exact texts the schema toolkit composes.
#pragma once

#include "db/sqlite_engine.h"

#include <QStringList>

class RecordingConnection : public DbConnection {
public:
    RecordingConnection()
    {
        QObject::connect(&real, &DbConnection::aboutToClose, this, &DbConnection::aboutToClose);
    }

    SqliteConnection real;
    QStringList statements;

    QString connectionString() const override { return real.connectionString(); }
    void setConnectionString(const QString &text) override { real.setConnectionString(text); }
    QString databasePath() const override { return real.databasePath(); }
    void open() override { real.open(); }
    void close() override { real.close(); }
    bool isConnected() const override { return real.isConnected(); }
    void execute(const QString &statement) override
    {
        statements.append(statement);
        real.execute(statement);
    }
    std::unique_ptr<DbQuery> prepare(const QString &sql) override { return real.prepare(sql); }
    qint64 lastInsertId() const override { return real.lastInsertId(); }
    qint64 changes() const override { return real.changes(); }
    void beginTransaction() override { real.beginTransaction(); }
    void commit() override { real.commit(); }
    void rollback() override { real.rollback(); }
    int transactionDepth() const override { return real.transactionDepth(); }
    QStringList tableNames() override { return real.tableNames(); }
    QString findTable(const QString &name) override { return real.findTable(name); }
    QList<DbColumnInfo> columns(const QString &table) override { return real.columns(table); }
    QList<DbIndexInfo> indexes(const QString &table) override { return real.indexes(table); }

    // The statements that name a table (after "ON", "TABLE" or "INDEX ... ON").
    QStringList statementsFor(const QString &table) const
    {
        QStringList result;
        for (const QString &statement : statements) {
            const QStringList words = statement.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (qsizetype i = 0; i + 1 < words.size(); ++i)
                if ((words[i] == QLatin1String("TABLE") || words[i] == QLatin1String("ON"))
                    && words[i + 1].compare(table, Qt::CaseInsensitive) == 0) {
                    result.append(statement);
                    break;
                }
        }
        return result;
    }
};

// Small helpers for the database tests: a connection on a file of the test's
// folder, one-value queries and reading a file's bytes.
#pragma once

#include "db/sqlite_engine.h"

#include <QFile>
#include <QString>
#include <QVariant>

#include <memory>

inline std::unique_ptr<SqliteConnection> ConnectionOn(const QString &path, const QString &mode = QStringLiteral("ReadWrite"))
{
    auto connection = std::make_unique<SqliteConnection>();
    connection->setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path
                                    + QStringLiteral(";Mode=") + mode + QStringLiteral(";Persist Security Info=False"));
    return connection;
}

inline QVariant Scalar(DbConnection &connection, const QString &sql, const QVariantList &values = {})
{
    auto query = connection.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    return query->next() ? query->value(0) : QVariant();
}

inline void Exec(DbConnection &connection, const QString &sql, const QVariantList &values = {})
{
    auto query = connection.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    query->exec();
}

inline QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QStringList IndexNames(DbConnection &connection, const QString &table)
{
    QStringList names;
    for (const DbIndexInfo &index : connection.indexes(table))
        names.append(index.name);
    return names;
}

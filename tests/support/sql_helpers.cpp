#include "support/sql_helpers.h"

#include "db/sqlite_engine.h"

namespace {
std::unique_ptr<DbQuery> Prepared(DbConnection &connection, const QString &statement, const QVariantList &values)
{
    auto query = connection.prepare(statement);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    return query;
}
} // namespace

void RunSql(DbConnection &connection, const QString &statement, const QVariantList &values)
{
    Prepared(connection, statement, values)->exec();
}

QVariant QueryScalar(DbConnection &connection, const QString &statement, const QVariantList &values)
{
    auto query = Prepared(connection, statement, values);
    return query->next() ? query->value(0) : QVariant();
}

QStringList QueryRows(DbConnection &connection, const QString &statement)
{
    QStringList result;
    auto query = connection.prepare(statement);
    while (query->next()) {
        QStringList values;
        for (int c = 0; c < query->columnCount(); ++c)
            values.append(query->isNull(c) ? QStringLiteral("<null>") : query->value(c).toString());
        result.append(values.join(QLatin1Char('|')));
    }
    return result;
}

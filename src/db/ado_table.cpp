#include "db/ado_table.h"

namespace {
QString Quoted(const QString &name)
{
    return QLatin1Char('"') + name.trimmed() + QLatin1Char('"');
}
} // namespace

TADOTable::TADOTable(QObject *parent)
    : TDataSet(parent)
{
}

void TADOTable::SetTableName(const QString &table)
{
    m_table = table;
    SetUpdateTable(table);
}

TSelectStatement TADOTable::SelectStatement() const
{
    TSelectStatement statement;
    statement.sql = QStringLiteral("SELECT * FROM ") + Quoted(m_table);
    if (MasterSource()) {
        if (MasterLinkEmpty()) {
            statement.sql += QStringLiteral(" WHERE 0");
        } else {
            const QVector<QVariant> values = MasterValues();
            QStringList conditions;
            const QStringList details = DetailFields();
            for (int i = 0; i < details.size() && i < values.size(); ++i) {
                conditions.append(Quoted(details[i]) + QStringLiteral("=?"));
                statement.bindings.append(values[i]);
            }
            if (!conditions.isEmpty())
                statement.sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
        }
    }
    QStringList order;
    for (const QString &field : m_indexFields.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        order.append(Quoted(field));
    if (!order.isEmpty())
        statement.sql += QStringLiteral(" ORDER BY ") + order.join(QLatin1Char(','));
    return statement;
}

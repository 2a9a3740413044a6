#include "db/ado_query.h"

#include "db/sql_template.h"

TADOQuery::TADOQuery(QObject *parent)
    : TDataSet(parent)
{
}

void TADOQuery::SetSQL(const QStringList &lines)
{
    m_sql = JoinTemplateLines(lines);
}

TSelectStatement TADOQuery::SelectStatement() const
{
    return {m_sql, {}};
}

#include "db/dynamic_ado_query.h"

#include "db/sql_template.h"

TDynamicADOQuery::TDynamicADOQuery(QObject *parent)
    : TADOQuery(parent)
{
}

void TDynamicADOQuery::SetSqlShablon(const QStringList &lines)
{
    m_template = lines;
    RebuildSql();
}

void TDynamicADOQuery::SetSqlParams(const QString &params)
{
    m_params = params;
    RebuildSql();
}

void TDynamicADOQuery::RebuildSql()
{
    const QString text = FillSqlTemplate(m_template, m_params);
    if (text.isEmpty())
        return; // a template of blanks: the query keeps its text and its state
    Close();
    SetSQL(text);
}

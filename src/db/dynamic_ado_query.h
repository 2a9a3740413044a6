// TDynamicADOQuery: a query whose SQL text is its template with the
// parameters of SqlParams put in place of the "%S" markers. Every change of
// the template or of SqlParams rebuilds the text and leaves the query closed;
// a template of blanks changes nothing.
#pragma once

#include "db/ado_query.h"

class TDynamicADOQuery : public TADOQuery {
    Q_OBJECT
public:
    explicit TDynamicADOQuery(QObject *parent = nullptr);

    QStringList SqlShablon() const { return m_template; }
    // Replaces the whole template: one change, one rebuild.
    void SetSqlShablon(const QStringList &lines);
    QString SqlParams() const { return m_params; }
    // Stores the parameters and rebuilds, also when they did not change.
    void SetSqlParams(const QString &params);

    void RebuildSql();

private:
    QStringList m_template;
    QString m_params;
};

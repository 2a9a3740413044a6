// TADOQuery: a dataset whose rows come from an SQL text the caller sets.
// Posts and deletes go to the table named by SetUpdateTable.
#pragma once

#include "db/dataset.h"

#include <QStringList>

class TADOQuery : public TDataSet {
    Q_OBJECT
public:
    explicit TADOQuery(QObject *parent = nullptr);

    QString SQL() const { return m_sql; }
    void SetSQL(const QString &sql) { m_sql = sql; }
    void SetSQL(const QStringList &lines);

protected:
    TSelectStatement SelectStatement() const override;

private:
    QString m_sql;
};

// TADOTable: a dataset holding the rows of one table, ordered by its index
// field names, optionally limited to the rows of a master's current row.
#pragma once

#include "db/dataset.h"

class TADOTable : public TDataSet {
    Q_OBJECT
public:
    explicit TADOTable(QObject *parent = nullptr);

    QString TableName() const { return m_table; }
    void SetTableName(const QString &table);
    // The order, as "Fio_Id;Npp".
    QString IndexFieldNames() const { return m_indexFields; }
    void SetIndexFieldNames(const QString &fields) { m_indexFields = fields; }

protected:
    TSelectStatement SelectStatement() const override;

private:
    QString m_table;
    QString m_indexFields;
};

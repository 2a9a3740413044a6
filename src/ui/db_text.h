// TDBText: a label that shows one field of a dataset's current row and follows
// the row as it moves or changes; empty when there is no row.
#pragma once

#include <QLabel>
#include <QPointer>

class TDataSet;

class TDBText : public QLabel {
    Q_OBJECT
public:
    explicit TDBText(QWidget *parent = nullptr);

    void setDataField(TDataSet *dataSet, const QString &fieldName);
    void refresh();

private:
    QPointer<TDataSet> m_dataSet;
    QString m_fieldName;
};

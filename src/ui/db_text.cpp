#include "ui/db_text.h"

#include "db/dataset.h"

TDBText::TDBText(QWidget *parent)
    : QLabel(parent)
{
}

void TDBText::setDataField(TDataSet *dataSet, const QString &fieldName)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_fieldName = fieldName;
    if (m_dataSet) {
        connect(m_dataSet, &TDataSet::rowsReset, this, &TDBText::refresh);
        connect(m_dataSet, &TDataSet::currentChanged, this, &TDBText::refresh);
        connect(m_dataSet, &TDataSet::rowChanged, this, &TDBText::refresh);
        connect(m_dataSet, &TDataSet::rowInserted, this, &TDBText::refresh);
        connect(m_dataSet, &TDataSet::rowRemoved, this, &TDBText::refresh);
    }
    refresh();
}

void TDBText::refresh()
{
    QString text;
    if (m_dataSet && m_dataSet->Active() && m_dataSet->CurrentIndex() >= 0)
        text = m_dataSet->DisplayText(m_dataSet->CurrentIndex(), m_fieldName);
    setText(text);
}

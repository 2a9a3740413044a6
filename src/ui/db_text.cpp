#include "ui/db_text.h"

#include "db/dataset.h"
#include "ui/dataset_link.h"

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
    if (m_dataSet)
        FollowCurrentRow(m_dataSet, this, [this] { refresh(); });
    refresh();
}

void TDBText::refresh()
{
    QString text;
    if (m_dataSet && m_dataSet->Active() && m_dataSet->CurrentIndex() >= 0)
        text = m_dataSet->DisplayText(m_dataSet->CurrentIndex(), m_fieldName);
    setText(text);
}

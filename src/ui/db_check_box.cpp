#include "ui/db_check_box.h"

#include "common/message_boxes.h"
#include "db/dataset.h"
#include "ui/dataset_link.h"

TDBCheckBox::TDBCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent)
{
    // clicked, not toggled: only the operator's changes are written, never a refresh.
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        try {
            writeField(checked);
        } catch (const std::exception &error) {
            ShowUnhandledError(error);
            refresh();
        }
    });
}

void TDBCheckBox::setDataField(TDataSet *dataSet, const QString &fieldName)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_fieldName = fieldName;
    if (m_dataSet)
        FollowCurrentRow(m_dataSet, this, [this] { refresh(); });
    refresh();
}

void TDBCheckBox::refresh()
{
    if (m_writing)
        return;
    bool checked = false;
    if (m_dataSet && m_dataSet->Active() && m_dataSet->CurrentIndex() >= 0)
        checked = m_dataSet->Value(m_fieldName).toBool();
    if (checked != isChecked())
        setChecked(checked);
}

void TDBCheckBox::writeField(bool checked)
{
    if (!m_dataSet || m_fieldName.isEmpty())
        return;
    m_writing = true;
    try {
        if (m_dataSet->State() != dsEdit && m_dataSet->State() != dsInsert)
            m_dataSet->Edit();
        m_dataSet->SetValue(m_fieldName, checked);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

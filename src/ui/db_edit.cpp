#include "ui/db_edit.h"

#include "common/message_boxes.h"
#include "db/dataset.h"
#include "ui/dataset_link.h"

#include <QRegularExpressionValidator>

TDBEdit::TDBEdit(QWidget *parent)
    : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        try {
            writeField(text);
        } catch (const std::exception &error) {
            // The field keeps its value; show the box the text that it holds.
            ShowUnhandledError(error);
            refresh();
        }
    });
}

TDataSet *TDBEdit::dataSet() const
{
    return m_dataSet;
}

void TDBEdit::setDataField(TDataSet *dataSet, const QString &fieldName)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_fieldName = fieldName;
    if (m_dataSet)
        FollowCurrentRow(m_dataSet, this, [this] { refresh(); });
    refresh();
}

void TDBEdit::setIntegerField(bool integer)
{
    m_integer = integer;
    if (integer) {
        static const QRegularExpression digits(QStringLiteral("\\d{0,9}"));
        setValidator(new QRegularExpressionValidator(digits, this));
    } else {
        setValidator(nullptr);
    }
}

void TDBEdit::refresh()
{
    if (m_writing)
        return;
    QString text;
    if (m_dataSet && m_dataSet->Active() && m_dataSet->CurrentIndex() >= 0)
        text = m_dataSet->DisplayText(m_dataSet->CurrentIndex(), m_fieldName);
    if (text != this->text())
        setText(text);
}

void TDBEdit::writeField(const QString &text)
{
    if (!m_dataSet || m_fieldName.isEmpty())
        return;
    m_writing = true;
    try {
        if (m_dataSet->State() != dsEdit && m_dataSet->State() != dsInsert)
            m_dataSet->Edit();
        QVariant value;
        if (!m_integer)
            value = text;
        else if (!text.isEmpty())
            value = text.toInt();
        m_dataSet->SetValue(m_fieldName, value);
    } catch (...) {
        m_writing = false;
        throw;
    }
    m_writing = false;
}

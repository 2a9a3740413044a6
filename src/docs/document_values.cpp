// The data module's operations on a document's value rows: creating them from
// the template's field list (reserved fields filled in), deleting them, the
// change-date stamp and the mask of secret values.
#include "db/data_module.h"

#include "common/message_boxes.h"
#include "common/wait_form.h"

#include <QDateTime>

namespace {

QString ValueText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}
} // namespace

void TfData::AddDocumentFields()
{
    if (!Fio->Active() || Fio->IsEmpty())
        return;
    if (!AskYesNo(QStringLiteral("Добавить поля для данных для\r") + Fio->AsString(QStringLiteral("Name")),
                  QStringLiteral("Добавление.")))
        return;
    LoadTemplateFields(0);
    if (ShablonFld->IsEmpty()) {
        ShowMessageBox(QStringLiteral("Добавление полей для данных не возможно\r"
                                      "Нет списка полей для выбранного докумнта"),
                       QStringLiteral("Предупреждение!"), mkPlain);
        return;
    }

    ScopedWaitForm wait(QStringLiteral("Добавляю..."), QStringLiteral("Минутку!"), wsAnimation);
    TControlsSuspended suspended(FioValue);
    const QVariant documentId = Fio->Value(QStringLiteral("Id"));
    for (int row = 0; row < ShablonFld->RecordCount(); ++row) {
        const QVariant fieldTemplate = ShablonFld->ValueAt(row, QStringLiteral("Shablon_Id"));
        const QVariant fieldId = ShablonFld->ValueAt(row, QStringLiteral("SprField_Id"));
        if (FioValue->Locate({QStringLiteral("Shablon_Id"), QStringLiteral("Fio_Id"), QStringLiteral("SprField_Id")},
                             {fieldTemplate, documentId, fieldId}))
            continue;
        FioValue->Append();
        FioValue->SetValue(QStringLiteral("Fio_Id"), documentId);
        FioValue->SetValue(QStringLiteral("Shablon_Id"), CurrentTemplateId());
        FioValue->SetValue(QStringLiteral("SprField_Id"), fieldId);
        FioValue->SetValue(QStringLiteral("Npp"), ShablonFld->ValueAt(row, QStringLiteral("Npp")));
        const QString name = ShablonFld->ValueAt(row, QStringLiteral("Name")).toString().trimmed().toUpper();
        if (name == QStringLiteral("НОМДОК")) {
            const QVariant number = Fio->Value(QStringLiteral("NPP"));
            FioValue->SetValue(QStringLiteral("Value_"), number.isNull() ? QString() : number.toString());
        } else if (name == QStringLiteral("НД")) {
            FioValue->SetValue(QStringLiteral("Value_"), Fio->AsString(QStringLiteral("Name")).trimmed());
        } else if (name == QStringLiteral("НШ")) {
            FioValue->SetValue(QStringLiteral("Value_"), Shablon->AsString(QStringLiteral("Name")).trimmed());
        }
        FioValue->Post();
    }
    FioValue->First();
}

void TfData::DeleteDocumentFields()
{
    if (!Fio->Active() || Fio->IsEmpty() || !FioValue->Active() || FioValue->IsEmpty())
        return;
    if (!AskYesNo(QStringLiteral("Удалить поля для данных вместе с их значениями для\r")
                      + Fio->AsString(QStringLiteral("Name")),
                  QStringLiteral("Добавление.")))
        return;
    FioValue->First();
    while (!FioValue->IsEmpty())
        FioValue->Delete();
    FioValue->Requery();
}

void TfData::FioValueBeforeEdit(TDataSet &dataSet)
{
    OldValue = ValueText(dataSet.Value(QStringLiteral("Value_")));
}

void TfData::FioValueBeforePost(TDataSet &dataSet)
{
    if (ValueText(dataSet.Value(QStringLiteral("Value_"))) != OldValue)
        dataSet.SetValue(QStringLiteral("DateIzm"), QDateTime(QDate::currentDate(), QTime(0, 0)));
}

QString TfData::FioValueValue_GetText(const TDataSet &dataSet, int row, const QVariant &value)
{
    const QString text = ValueText(value);
    if (dataSet.ValueAt(row, QStringLiteral("isSecure")).toBool() && !text.trimmed().isEmpty())
        return QStringLiteral("* * *");
    return text;
}

void TfData::AttachValueGetText(bool attach)
{
    FioValue->SetGetText(QStringLiteral("Value_"), attach ? TDataSet::GetTextHandler(&TfData::FioValueValue_GetText)
                                                          : TDataSet::GetTextHandler());
}

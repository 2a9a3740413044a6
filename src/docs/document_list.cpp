// The data module's operations on the document list of the current template:
// the next free number, sorting, renumbering with a swap, deleting, and the
// data side of the document edit and search boxes.
#include "db/data_module.h"

#include "common/errors.h"
#include "common/message_boxes.h"

int TfData::NextFreeNumber()
{
    const QString id = QString::number(CurrentTemplateId());
    const QString statement = QStringLiteral("SELECT Min(T.Npp+1) AS NewNpp FROM Fio AS T WHERE (T.Shablon_Id=") + id
        + QStringLiteral(") and ") + QStringLiteral("((T.Npp+1) not in (Select T1.Npp from Fio as T1 ")
        + QStringLiteral("Where (T1.Shablon_Id=") + id + QStringLiteral(")))");
    Command->Close();
    Command->SetSqlShablon({statement});
    Command->Open();
    const QVariant value = Command->Value(QStringLiteral("NewNpp"));
    Command->Close();
    return value.isNull() ? 0 : value.toInt();
}

void TfData::SortDocuments(int order)
{
    if (!Fio->Active())
        return;
    const QVariant number = Fio->IsEmpty() ? QVariant() : Fio->Value(QStringLiteral("NPP"));
    const int n = number.isNull() ? 0 : number.toInt();
    SetDocumentOrder(order);
    Fio->SetSqlParams(QString::number(CurrentTemplateId()) + QLatin1Char(';') + OrderField);
    Fio->Open();
    Fio->Locate(QStringLiteral("NPP"), n);
}

static void AssignNumber(TDataSet *fio, int number)
{
    fio->Edit();
    fio->SetValue(QStringLiteral("NPP"), number);
    fio->Post();
}

void TfData::ChangeDocumentNumber(int newNumber)
{
    const QVariant templateId = Fio->Value(QStringLiteral("Shablon_Id"));
    const QVariant a = Fio->Value(QStringLiteral("Id"));
    const int oldNumber = Fio->AsInteger(QStringLiteral("NPP"));
    const QString name = Fio->AsString(QStringLiteral("Name"));

    if (!Fio->Locate({QStringLiteral("Shablon_Id"), QStringLiteral("NPP")}, {templateId, newNumber})) {
        if (Fio->Locate(QStringLiteral("Id"), a))
            AssignNumber(Fio, newNumber);
        return;
    }

    const QString holderName = Fio->AsString(QStringLiteral("Name"));
    const QString question =
        QStringLiteral("Номер %1, который Вы хотите присвоить для %2\rуже присвоен для %3.\r\r"
                       "Желаете поменять эти номера местами ?\r%4 <-> %5")
            .arg(QString::number(newNumber), name, holderName, QString::number(oldNumber), QString::number(newNumber));
    if (!AskYesNo(question, QStringLiteral("Предупреждение!")))
        return;

    // The swap is one transaction: a failure or an interruption part-way leaves
    // both documents with their old numbers, never the transient -1.
    const QVariant b = Fio->Value(QStringLiteral("Id"));
    try {
        DbTransaction transaction(*Con);
        AssignNumber(Fio, -1);
        if (Fio->Locate(QStringLiteral("Id"), a))
            AssignNumber(Fio, newNumber);
        if (Fio->Locate(QStringLiteral("Id"), b))
            AssignNumber(Fio, oldNumber);
        transaction.commit();
    } catch (...) {
        // The rows in memory may show numbers the database rolled back: read them again.
        Fio->Cancel();
        Fio->Requery();
        Fio->Locate(QStringLiteral("Id"), a);
        throw;
    }
    Fio->Locate(QStringLiteral("Id"), a);
}

void TfData::DeleteDocument()
{
    DeleteDocumentFields();
    const QString name = Fio->Active() && !Fio->IsEmpty() ? Fio->AsString(QStringLiteral("Name")) : QString();
    if (!AskYesNo(QStringLiteral("Удалить документ\r") + name, QStringLiteral("Удаление!")))
        return;
    if (Fio->Active() && !Fio->IsEmpty())
        Fio->Delete();
}

void TfData::AppendDocument()
{
    const int number = NextFreeNumber();
    Fio->Append();
    Fio->SetValue(QStringLiteral("Shablon_Id"), CurrentTemplateId());
    Fio->SetValue(QStringLiteral("NPP"), number);
}

void TfData::EditDocument()
{
    Fio->Edit();
}

bool TfData::SaveDocument()
{
    if (Fio->State() != dsEdit && Fio->State() != dsInsert)
        return true;
    try {
        Fio->Post();
        SortDocuments(DocumentOrder);
        return true;
    } catch (const OrmenaError &error) {
        ShowMessageBox(QStringLiteral("Возникла ошибка при редатировании записи.\r"
                                      "Возможно Вы ввели дублирующий номер документа\r"
                                      "Текст ошибки:\r")
                           + error.message(),
                       QStringLiteral("Ошибка ввода данных!"), mkPlain);
        Fio->Cancel();
        return false;
    }
}

void TfData::CancelDocument()
{
    Fio->Cancel();
}

bool TfData::FindDocumentByNumber(int number)
{
    return Fio->Active() && Fio->Locate(QStringLiteral("NPP"), number);
}

bool TfData::FindDocumentByName(const QString &prefix)
{
    return Fio->Active() && Fio->Locate(QStringLiteral("Name"), prefix, {true, true});
}

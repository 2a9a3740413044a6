#include "db/data_module.h"

#include "app/settings_store.h"
#include "common/wait_form.h"

#include <QCoreApplication>

namespace {
TfData *g_dataModule = nullptr;
} // namespace

TfData *DataModule()
{
    return g_dataModule;
}

void SetDataModule(TfData *module)
{
    g_dataModule = module;
}

TfData::TfData(QObject *parent)
    : QObject(parent)
    , Con(std::make_unique<SqliteConnection>())
{
    createDatasets();
}

TfData::~TfData()
{
    try {
        DataModuleDestroy();
    } catch (...) {
        // Saving the positions never reports anything.
    }
    if (g_dataModule == this)
        g_dataModule = nullptr;
}

void TfData::createDatasets()
{
    Shablon = new TADOQuery(this);
    Shablon->setObjectName(QStringLiteral("Shablon"));
    Shablon->SetUpdateTable(QStringLiteral("Shablon"));
    Shablon->SetSQL(QStringList{QStringLiteral("Select"), QStringLiteral("  *"), QStringLiteral("From"),
                                QStringLiteral("  Shablon"), QStringLiteral("Order By"), QStringLiteral("  Name")});

    Fio = new TDynamicADOQuery(this);
    Fio->setObjectName(QStringLiteral("Fio"));
    Fio->SetUpdateTable(QStringLiteral("Fio"));
    Fio->SetSqlShablon({QStringLiteral("Select"), QStringLiteral("  *"), QStringLiteral("From"), QStringLiteral("  Fio"),
                        QStringLiteral("Where"), QStringLiteral("  Shablon_Id=%S"), QStringLiteral("Order By"),
                        QStringLiteral("  %S")});
    Fio->SetSqlParams(QStringLiteral("1;Name"));

    tSprField = new TADOTableAvtoInc(this);
    tSprField->setObjectName(QStringLiteral("tSprField"));
    tSprField->SetTableName(QStringLiteral("SprField"));
    tSprField->SetIndexFieldNames(QStringLiteral("Npp"));

    FioValue = new TADOTableAvtoInc(this);
    FioValue->setObjectName(QStringLiteral("FioValue"));
    FioValue->SetTableName(QStringLiteral("FioValue"));
    FioValue->SetIndexFieldNames(QStringLiteral("Fio_Id;Npp"));
    FioValue->SetMasterSource(Fio, {QStringLiteral("Id")}, {QStringLiteral("Fio_Id")});
    FioValue->AddLookupField(QStringLiteral("Name"), QStringLiteral("SprField_Id"), tSprField, QStringLiteral("Id"),
                             QStringLiteral("Name"));
    FioValue->AddLookupField(QStringLiteral("Script"), QStringLiteral("SprField_Id"), tSprField, QStringLiteral("Id"),
                             QStringLiteral("Skript"));
    FioValue->AddLookupField(QStringLiteral("isSecure"), QStringLiteral("SprField_Id"), tSprField,
                             QStringLiteral("Id"), QStringLiteral("isSecure"));
    FioValue->BeforeEdit = [this](TDataSet &d) { FioValueBeforeEdit(d); };
    FioValue->BeforePost = [this](TDataSet &d) { FioValueBeforePost(d); };
    AttachValueGetText(true);

    ShablonFld = new TDynamicADOQuery(this);
    ShablonFld->setObjectName(QStringLiteral("ShablonFld"));
    ShablonFld->SetUpdateTable(QStringLiteral("ShablonFld"));
    ShablonFld->SetSqlShablon({QStringLiteral("Select"), QStringLiteral("  *"), QStringLiteral("From"),
                               QStringLiteral("  ShablonFld"), QStringLiteral("Where"),
                               QStringLiteral("  Shablon_Id=%S")});
    ShablonFld->SetSqlParams(QStringLiteral("1"));
    ShablonFld->AddLookupField(QStringLiteral("Name"), QStringLiteral("SprField_Id"), tSprField, QStringLiteral("Id"),
                               QStringLiteral("Name"));
    ShablonFld->AddLookupField(QStringLiteral("Script"), QStringLiteral("SprField_Id"), tSprField,
                               QStringLiteral("Id"), QStringLiteral("Skript"));

    SprField = new TDynamicADOQuery(this);
    SprField->setObjectName(QStringLiteral("SprField"));
    SprField->SetUpdateTable(QStringLiteral("SprField"));
    SprField->SetSqlShablon({
        QStringLiteral("SELECT"),
        QStringLiteral("  SPR.Id, SPR.Npp, SPR.Name, SPR.Skript, SPR.isSecure"),
        QStringLiteral("FROM "),
        QStringLiteral("  SprField AS SPR"),
        QStringLiteral("WHERE"),
        QStringLiteral("  SPR.Id not in (Select"),
        QStringLiteral("                           S.Id"),
        QStringLiteral("                         FROM "),
        QStringLiteral("                           SprField AS S, ShablonFld AS FLD"),
        QStringLiteral("                          WHERE (S.Id=FLD.SprField_Id) AND "),
        QStringLiteral("                                         (FLD.Shablon_Id=%S))"),
        QStringLiteral("ORDER BY SPR.NPP"),
    });
    SprField->SetSqlParams(QStringLiteral("9"));

    Command = new TDynamicADOQuery(this);
    Command->setObjectName(QStringLiteral("Command"));
    Command->SetSqlShablon({QStringLiteral("Select"), QStringLiteral("  Min(F.Npp+1) as NewNpp"), QStringLiteral("From"),
                            QStringLiteral("  Fio as F"), QStringLiteral("Left Outer Join"), QStringLiteral("  Fio as F1"),
                            QStringLiteral("On"), QStringLiteral("  ((F.Npp+1)=F1.Npp)"),
                            QStringLiteral("Where (F1.Npp is Null) and "), QStringLiteral("           (F.Shablon_Id=9)")});

    for (TDataSet *dataSet : {static_cast<TDataSet *>(Shablon), static_cast<TDataSet *>(Fio),
                              static_cast<TDataSet *>(FioValue), static_cast<TDataSet *>(ShablonFld),
                              static_cast<TDataSet *>(SprField), static_cast<TDataSet *>(tSprField),
                              static_cast<TDataSet *>(Command)})
        dataSet->SetConnection(Con.get());
}

int TfData::CurrentTemplateId() const
{
    if (!Shablon->Active() || Shablon->IsEmpty() || Shablon->State() == dsInsert)
        return 0;
    return Shablon->AsInteger(QStringLiteral("Id"));
}

void TfData::LoadDocuments(int documentId)
{
    ScopedWaitForm wait(QStringLiteral("Загруска списка документов для шаблона\r")
                            + (Shablon->Active() ? Shablon->AsString(QStringLiteral("Name")) : QString()),
                        QStringLiteral("Ожидайте..."), wsAnimation);
    FioValue->Close();
    Fio->Close();
    SetDocumentOrder(0);
    Fio->SetSqlParams(QString::number(CurrentTemplateId()) + QLatin1Char(';') + OrderField);
    Fio->Open();
    FioValue->SetIndexFieldNames(QStringLiteral("Fio_Id;Npp"));
    FioValue->Open();
    if (documentId > 0)
        Fio->Locate(QStringLiteral("Id"), documentId);
}

void TfData::ReloadTemplates(const QString &fieldName)
{
    if (!fieldName.isEmpty()) {
        const QString remembered = Shablon->AsString(fieldName);
        Shablon->Requery();
        if (!Shablon->Locate(fieldName, remembered, {true, true}))
            Shablon->First();
        return;
    }
    const QVariant bookmark = Shablon->GetBookmark();
    Shablon->Requery();
    // A bookmarked row that is gone leaves the first row current.
    if (!Shablon->GotoBookmark(bookmark))
        Shablon->First();
}

void TfData::LoadTemplateFields(int sprFieldId)
{
    TControlsSuspended suspended(ShablonFld);
    ShablonFld->Close();
    ShablonFld->SetSqlParams(QString::number(CurrentTemplateId()));
    ShablonFld->Open();
    if (sprFieldId != 0)
        ShablonFld->Locate(QStringLiteral("SprField_Id"), sprFieldId);
}

void TfData::LoadFreeFields(int sprFieldId)
{
    TControlsSuspended suspended(SprField);
    SprField->Close();
    SprField->SetSqlParams(QString::number(CurrentTemplateId()));
    SprField->Open();
    QCoreApplication::processEvents();
    if (sprFieldId != 0)
        SprField->Locate(QStringLiteral("ID"), sprFieldId);
}

void TfData::SetDocumentOrder(int order)
{
    DocumentOrder = order;
    if (order == 0)
        OrderField = QStringLiteral("Name");
    else if (order == 1)
        OrderField = QStringLiteral("Npp");
}

bool TfData::RestorePosition()
{
    if (!OpenSettingsKey(QStringLiteral("Data")))
        return false;
    int templateId = 0;
    int documentId = 0;
    {
        SettingsKeyCloser closer;
        templateId = SettingsKey()->ReadInteger(QStringLiteral("Shablon_Id"), 0);
        documentId = SettingsKey()->ReadInteger(QStringLiteral("Fio_Id"), 0);
    }
    if (templateId <= 0)
        return false;
    Shablon->Locate(QStringLiteral("Id"), templateId);
    LoadDocuments(documentId);
    return true;
}

void TfData::DataModuleDestroy()
{
    auto currentId = [](TDataSet *dataSet) {
        if (!dataSet->Active() || dataSet->IsEmpty() || dataSet->State() == dsInsert)
            return 0;
        const QVariant id = dataSet->Value(QStringLiteral("Id"));
        return id.isNull() ? 0 : id.toInt();
    };
    const int templateId = currentId(Shablon);
    const int documentId = currentId(Fio);
    if (!OpenSettingsKey(QStringLiteral("Data")))
        return;
    SettingsKeyCloser closer;
    SettingsKey()->WriteInteger(QStringLiteral("Shablon_Id"), templateId);
    SettingsKey()->WriteInteger(QStringLiteral("Fio_Id"), documentId);
}

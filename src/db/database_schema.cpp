#include "db/database_schema.h"

const QList<SchemaTable> &DatabaseSchema()
{
    static const QList<SchemaTable> schema = {
        {QStringLiteral("Fio"),
         {{QStringLiteral("Id"), afAutoInc, 0},
          {QStringLiteral("Shablon_Id"), afInteger, 0},
          {QStringLiteral("Npp"), afInteger, 0},
          {QStringLiteral("Name"), afText, 250},
          {QStringLiteral("Doc"), afImage, 0}},
         {{QStringLiteral("Name"), false, QStringLiteral("Shablon_Id,Name,Npp")},
          {QStringLiteral("Npp"), false, QStringLiteral("Shablon_Id,Npp,Name")}}},
        {QStringLiteral("FioValue"),
         {{QStringLiteral("Id"), afAutoInc, 0},
          {QStringLiteral("Shablon_Id"), afInteger, 0},
          {QStringLiteral("Fio_Id"), afInteger, 0},
          {QStringLiteral("SprField_Id"), afInteger, 0},
          {QStringLiteral("Value_"), afText, 255},
          {QStringLiteral("Npp"), afInteger, 0},
          {QStringLiteral("DateIzm"), afDateTime, 0}},
         {{QStringLiteral("Key_"), true, QStringLiteral("Shablon_Id,Fio_Id,SprField_Id")},
          {QStringLiteral("Npp"), true, QStringLiteral("Fio_Id,Npp")}}},
        {QStringLiteral("Shablon"),
         {{QStringLiteral("Id"), afAutoInc, 0},
          {QStringLiteral("Name"), afText, 255},
          {QStringLiteral("Shablon"), afText, 255}},
         {{QStringLiteral("Name"), true, QStringLiteral("Name")}}},
        {QStringLiteral("ShablonFld"),
         {{QStringLiteral("Id"), afAutoInc, 0},
          {QStringLiteral("Shablon_Id"), afInteger, 0},
          {QStringLiteral("SprField_Id"), afInteger, 0},
          {QStringLiteral("Npp"), afInteger, 0}},
         {{QStringLiteral("Npp"), true, QStringLiteral("Shablon_Id,Npp")}}},
        {QStringLiteral("SprField"),
         {{QStringLiteral("Id"), afAutoInc, 0},
          {QStringLiteral("Npp"), afInteger, 0},
          {QStringLiteral("Name"), afText, 20},
          {QStringLiteral("Skript"), afText, 50},
          {QStringLiteral("isEdit"), afBit, 0},
          {QStringLiteral("isSecure"), afBit, 0}},
         {{QStringLiteral("Name"), true, QStringLiteral("Name")},
          {QStringLiteral("Npp"), true, QStringLiteral("Npp")}}},
    };
    return schema;
}

const QList<ReservedField> &ReservedFields()
{
    static const QList<ReservedField> fields = {
        {1, QStringLiteral("НОМДОК"), QStringLiteral("Номер документа")},
        {2, QStringLiteral("НШ"), QStringLiteral("Наименование шаблона документа")},
        {3, QStringLiteral("НД"), QStringLiteral("Наименование документа")},
    };
    return fields;
}

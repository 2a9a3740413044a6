// The demonstration database built from the repository's data set, read back
// through the program's own data module: templates, dictionary, documents,
// value rows and the reserved fields, plus the data set's own checks.
#include "app/settings_store.h"
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "db/data_module.h"
#include "db/demo_database.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <functional>

namespace {

QString DemoDataPath()
{
    return QFileInfo(QStringLiteral(__FILE__)).dir().absoluteFilePath(QStringLiteral("../../data/demo/demo_data.json"));
}

QByteArray DemoJson()
{
    QFile file(DemoDataPath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << DemoDataPath().toStdString();
    return file.readAll();
}

class DemoDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws.makeTemplateFolder();
        data = ReadDemoData(DemoDataPath());
    }

    // Builds OrmenaDemo.mdb in the workspace and opens it as "Открыть демонстрационную базу" does.
    void buildAndOpen()
    {
        BuildDemoDatabase(data, ws.file(QStringLiteral("OrmenaDemo.mdb")));
        module = std::make_unique<TfData>();
        module->ProgramDir = ws.path();
        ScriptedMessageBoxes quiet;
        module->OpenDatabase(true);
        ASSERT_TRUE(quiet.shown().isEmpty()) << quiet.shown().first().text.toStdString();
    }

    QList<const DemoDocument *> documentsOf(const DemoTemplate &entry) const
    {
        QList<const DemoDocument *> result;
        for (const DemoDocument &document : data.documents)
            if (document.templateName == entry.name)
                result << &document;
        return result;
    }

    TempWorkspace ws;
    ScopedSettingsFolder settings{ws.file(QStringLiteral("config"))};
    DemoData data;
    std::unique_ptr<TfData> module;
};

} // namespace

TEST_F(DemoDatabaseTest, DataSetIsAnOfficeOfTheRightSize)
{
    EXPECT_GE(data.templates.size(), 5);
    EXPECT_LE(data.templates.size(), 6);
    EXPECT_GE(data.fields.size() + 3, 25);
    EXPECT_LE(data.fields.size() + 3, 32);
    EXPECT_GE(data.documents.size(), 20);
    EXPECT_LE(data.documents.size(), 40);
    int secret = 0;
    for (const DemoField &field : data.fields)
        secret += field.secret ? 1 : 0;
    EXPECT_GE(secret, 2) << "passport data are secret fields";

    QStringList extensions;
    for (const DemoTemplate &entry : data.templates) {
        extensions << QFileInfo(entry.file).suffix().toLower();
        EXPECT_FALSE(documentsOf(entry).isEmpty()) << entry.name.toStdString();
    }
    EXPECT_TRUE(extensions.contains(QStringLiteral("rtf")));
    EXPECT_TRUE(extensions.contains(QStringLiteral("doc")));
}

TEST_F(DemoDatabaseTest, NoFieldNameBeginsAnother)
{
    QStringList names{QStringLiteral("НОМДОК"), QStringLiteral("НШ"), QStringLiteral("НД")};
    for (const DemoField &field : data.fields)
        names << field.name;
    EXPECT_EQ(FieldNamePrefixConflicts(names), QStringList());

    // The rule itself: letters' case ignored, each offending pair named once.
    EXPECT_EQ(FieldNamePrefixConflicts({QStringLiteral("НДС"), QStringLiteral("нд"), QStringLiteral("ДАТАРОЖД"),
                                        QStringLiteral("Дата"), QStringLiteral("ДАТАДОК"), QStringLiteral("ФИО")}),
              (QStringList{QStringLiteral("нд — НДС"), QStringLiteral("Дата — ДАТАРОЖД"),
                           QStringLiteral("Дата — ДАТАДОК")}));
}

TEST_F(DemoDatabaseTest, DataModuleShowsTemplatesDictionaryDocumentsAndValues)
{
    buildAndOpen();

    // Dictionary: the three reserved rows first, then the data set's fields in order.
    ASSERT_EQ(module->tSprField->RecordCount(), data.fields.size() + 3);
    QHash<QString, int> numberOf;
    for (int row = 0; row < module->tSprField->RecordCount(); ++row) {
        const QString name = module->tSprField->ValueAt(row, QStringLiteral("Name")).toString();
        const int npp = module->tSprField->ValueAt(row, QStringLiteral("Npp")).toInt();
        EXPECT_EQ(npp, row + 1) << name.toStdString();
        numberOf.insert(name, npp);
        const bool reserved = row < 3;
        EXPECT_EQ(module->tSprField->ValueAt(row, QStringLiteral("isEdit")).toBool(), reserved) << name.toStdString();
        if (!reserved) {
            const DemoField &field = data.fields.at(row - 3);
            EXPECT_EQ(name, field.name);
            EXPECT_EQ(module->tSprField->ValueAt(row, QStringLiteral("Skript")).toString(), field.description);
            EXPECT_EQ(module->tSprField->ValueAt(row, QStringLiteral("isSecure")).toBool(), field.secret);
        }
    }

    ASSERT_EQ(module->Shablon->RecordCount(), data.templates.size());
    int documentsSeen = 0;
    for (const DemoTemplate &entry : data.templates) {
        SCOPED_TRACE(entry.name.toStdString());
        ASSERT_TRUE(module->Shablon->Locate(QStringLiteral("Name"), entry.name));
        EXPECT_EQ(module->Shablon->AsString(QStringLiteral("Shablon")), entry.file);

        // The template's field list holds exactly its fields, each under its dictionary number.
        module->LoadTemplateFields(0);
        QStringList listed;
        for (int row = 0; row < module->ShablonFld->RecordCount(); ++row) {
            const QString name = module->ShablonFld->ValueAt(row, QStringLiteral("Name")).toString();
            listed << name;
            EXPECT_EQ(module->ShablonFld->ValueAt(row, QStringLiteral("Npp")).toInt(), numberOf.value(name));
        }
        QStringList expected = entry.fields;
        listed.sort();
        expected.sort();
        EXPECT_EQ(listed, expected);

        module->LoadDocuments(0);
        const QList<const DemoDocument *> documents = documentsOf(entry);
        ASSERT_EQ(module->Fio->RecordCount(), documents.size());
        for (const DemoDocument *document : documents) {
            SCOPED_TRACE(document->name.toStdString());
            ASSERT_TRUE(module->FindDocumentByNumber(document->number));
            EXPECT_EQ(module->Fio->AsString(QStringLiteral("Name")), document->name);
            ++documentsSeen;

            // Value rows follow the document: one per template field, in dictionary order.
            ASSERT_EQ(module->FioValue->RecordCount(), entry.fields.size());
            int previousNpp = 0;
            for (int row = 0; row < module->FioValue->RecordCount(); ++row) {
                const QString name = module->FioValue->ValueAt(row, QStringLiteral("Name")).toString();
                const QString value = module->FioValue->ValueAt(row, QStringLiteral("Value_")).toString();
                const int npp = module->FioValue->ValueAt(row, QStringLiteral("Npp")).toInt();
                EXPECT_GT(npp, previousNpp);
                previousNpp = npp;
                EXPECT_EQ(npp, numberOf.value(name)) << name.toStdString();
                if (name == QStringLiteral("НОМДОК"))
                    EXPECT_EQ(value, QString::number(document->number));
                else if (name == QStringLiteral("НШ"))
                    EXPECT_EQ(value, entry.name);
                else if (name == QStringLiteral("НД"))
                    EXPECT_EQ(value, document->name);
                else
                    EXPECT_EQ(value, document->values.value(name)) << name.toStdString();
                EXPECT_EQ(module->FioValue->ValueAt(row, QStringLiteral("DateIzm")).toDateTime().date(),
                          document->date);
                // Secret values are masked on screen, the others shown as they are.
                const QString shown = module->FioValue->DisplayText(row, QStringLiteral("Value_"));
                const bool secret = module->FioValue->ValueAt(row, QStringLiteral("isSecure")).toBool();
                EXPECT_EQ(shown, secret ? QStringLiteral("* * *") : value) << name.toStdString();
            }
        }
    }
    EXPECT_EQ(documentsSeen, data.documents.size());
}

TEST_F(DemoDatabaseTest, RebuildReplacesTheFileAndAFailedBuildLeavesNothing)
{
    const QString path = ws.file(QStringLiteral("OrmenaDemo.mdb"));
    BuildDemoDatabase(data, path);
    data.documents.removeLast();
    BuildDemoDatabase(data, path);
    {
        ScriptedMessageBoxes quiet;
        TfData reader;
        reader.ProgramDir = ws.path();
        reader.OpenDatabase(true);
        int documents = 0;
        for (int row = 0; row < reader.Shablon->RecordCount(); ++row) {
            reader.Shablon->SetRecNo(row + 1);
            reader.LoadDocuments(0);
            documents += reader.Fio->RecordCount();
        }
        EXPECT_EQ(documents, data.documents.size());
        EXPECT_TRUE(quiet.shown().isEmpty());
    }

    // A folder that cannot be made (a file stands in its way): a clear error and no file.
    QFile blocker(ws.file(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString blocked = ws.file(QStringLiteral("blocker/sub/OrmenaDemo.mdb"));
    try {
        BuildDemoDatabase(data, blocked);
        FAIL() << "a build under a file succeeded";
    } catch (const OrmenaError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("Не могу создать папку"))) << error.what();
    }
    EXPECT_FALSE(QFileInfo::exists(blocked));
    // No working folder of the build is left beside the target.
    EXPECT_EQ(QDir(ws.path()).entryList({QStringLiteral(".ormena-demo-*")}, QDir::AllEntries | QDir::Hidden),
              QStringList());
}

TEST_F(DemoDatabaseTest, BadDataSetsAreRefusedWithTheirReason)
{
    // Each case edits the real data set one way and names the words the message must hold.
    const QJsonObject good = QJsonDocument::fromJson(DemoJson()).object();
    ASSERT_FALSE(good.isEmpty());
    auto withDocument = [&](const std::function<void(QJsonObject &)> &change) {
        QJsonObject root = good;
        QJsonArray documents = root.value(QStringLiteral("documents")).toArray();
        QJsonObject first = documents.at(0).toObject();
        change(first);
        documents.replace(0, first);
        root.insert(QStringLiteral("documents"), documents);
        return QJsonDocument(root).toJson();
    };
    auto withField = [&](const QJsonObject &field) {
        QJsonObject root = good;
        QJsonArray fields = root.value(QStringLiteral("fields")).toArray();
        fields.append(field);
        root.insert(QStringLiteral("fields"), fields);
        return QJsonDocument(root).toJson();
    };
    auto field = [](const QString &name) {
        return QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("description"), QStringLiteral("Поле")}};
    };
    auto withTemplateField = [&](const QString &name) {
        QJsonObject root = good;
        QJsonArray templates = root.value(QStringLiteral("templates")).toArray();
        QJsonObject first = templates.at(0).toObject();
        QJsonArray fields = first.value(QStringLiteral("fields")).toArray();
        fields.append(name);
        first.insert(QStringLiteral("fields"), fields);
        templates.replace(0, first);
        root.insert(QStringLiteral("templates"), templates);
        return QJsonDocument(root).toJson();
    };
    auto values = [](QJsonObject &document) { return document.value(QStringLiteral("values")).toObject(); };

    const struct {
        const char *what;
        QByteArray json;
        QString expected;
    } cases[] = {
        {"broken JSON", QByteArray("{\"fields\": ["), QStringLiteral("ошибка разбора JSON")},
        {"no dictionary", QByteArray("{\"templates\": [], \"documents\": []}"), QStringLiteral("нет списка «fields»")},
        {"name too long", withField(field(QStringLiteral("ОЧЕНЬДЛИННОЕИМЯПОЛЯ21"))), QStringLiteral("длиннее 20")},
        {"reserved name", withField(field(QStringLiteral("нд"))), QStringLiteral("поле НД зарезервировано")},
        {"twice", withField(field(QStringLiteral("фио"))), QStringLiteral("поле ФИО указано дважды")},
        {"prefix of a reserved name", withField(field(QStringLiteral("НДС"))), QStringLiteral("НД — НДС")},
        {"prefix of a field", withField(field(QStringLiteral("ДАТА"))), QStringLiteral("ДАТА — ДАТАДОК")},
        {"unknown template field", withTemplateField(QStringLiteral("АДРЕС")),
         QStringLiteral("поля АДРЕС нет в справочнике")},
        {"unknown template",
         withDocument([](QJsonObject &d) { d.insert(QStringLiteral("template"), QStringLiteral("Нет такого")); }),
         QStringLiteral("нет шаблона «Нет такого»")},
        {"field not in the template",
         withDocument([&](QJsonObject &d) {
             QJsonObject v = values(d);
             v.insert(QStringLiteral("ПАСПОРТ"), QStringLiteral("1"));
             d.insert(QStringLiteral("values"), v);
         }),
         QStringLiteral("поля ПАСПОРТ нет в списке полей шаблона")},
        {"reserved value given",
         withDocument([&](QJsonObject &d) {
             QJsonObject v = values(d);
             v.insert(QStringLiteral("НОМДОК"), QStringLiteral("7"));
             d.insert(QStringLiteral("values"), v);
         }),
         QStringLiteral("значение поля НОМДОК заполняет программа")},
        {"value holding a marker",
         withDocument([&](QJsonObject &d) {
             QJsonObject v = values(d);
             v.insert(QStringLiteral("КОНТРАГЕНТ"), QStringLiteral("ООО «&фио»"));
             d.insert(QStringLiteral("values"), v);
         }),
         QStringLiteral("содержит метку &ФИО")},
        {"value too long",
         withDocument([&](QJsonObject &d) {
             QJsonObject v = values(d);
             v.insert(QStringLiteral("КОНТРАГЕНТ"), QString(256, QLatin1Char('x')));
             d.insert(QStringLiteral("values"), v);
         }),
         QStringLiteral("длиннее 255")},
        {"number zero", withDocument([](QJsonObject &d) { d.insert(QStringLiteral("number"), 0); }),
         QStringLiteral("номер документа должен быть целым числом больше нуля")},
        {"number taken", withDocument([](QJsonObject &d) { d.insert(QStringLiteral("number"), 2); }),
         QStringLiteral("номер 2 уже занят")},
        {"bad date", withDocument([](QJsonObject &d) { d.insert(QStringLiteral("date"), QStringLiteral("05.02.2024")); }),
         QStringLiteral("ГГГГ-ММ-ДД")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            ParseDemoData(c.json, QStringLiteral("проба.json"));
            ADD_FAILURE() << "accepted";
        } catch (const OrmenaError &error) {
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("Ошибка в демонстрационных данных\rпроба.json\r")))
                << error.what();
            EXPECT_TRUE(error.message().contains(c.expected)) << error.what();
        }
    }

    try {
        ReadDemoData(ws.file(QStringLiteral("нет.json")));
        ADD_FAILURE() << "a missing file was read";
    } catch (const OrmenaError &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("Не могу прочитать файл демонстрационных данных")));
    }
}

// The data module on a real database made by the schema check: opening,
// positions, the document list operations and the value rows.
#include "app/idle_exit.h"
#include "app/settings_store.h"
#include "common/application_control.h"
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "common/app_title.h"
#include "common/file_utils.h"
#include "db/check_database.h"
#include "db/data_module.h"
#include "support/sql_helpers.h"
#include "support/temp_workspace.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class DataModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws.makeTemplateFolder();
        CheckDatabase();
        data = std::make_unique<TfData>();
        data->ProgramDir = ws.path();
        ResetTerminationRequest();
    }
    void TearDown() override
    {
        data.reset();
        ResetTerminationRequest();
    }

    // Runs SQL of SQLite's dialect on the module's own connection.
    void sql(const QString &statement) { RunSql(*data->Con, statement); }
    int scalar(const QString &statement)
    {
        const QVariant value = QueryScalar(*data->Con, statement);
        return value.isValid() ? value.toInt() : -999;
    }
    void open()
    {
        ScriptedMessageBoxes quiet;
        data->OpenDatabase(false);
        ASSERT_TRUE(quiet.shown().isEmpty()) << quiet.shown().first().text.toStdString();
    }
    // Two templates with documents, a dictionary with a secret field.
    void seed()
    {
        open();
        sql(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES ('Договор', 'dog.rtf'), ('Акт', 'akt.doc')"));
        sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, 2, 'Бета'), (1, 1, 'альфа'), (1, 3, 'Гамма'), (2, 1, 'Акт один')"));
        sql(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isSecure) VALUES (4, 'ФИО', 'Фамилия', 0), (5, 'ПАСПОРТ', 'Паспорт', 1)"));
        data->Con->close();
        open();
    }

    TempWorkspace ws;
    ScopedSettingsFolder settings{ws.file(QStringLiteral("config"))};
    std::unique_ptr<TfData> data;
};

int AskedCount(const ScriptedMessageBoxes &boxes)
{
    return static_cast<int>(boxes.shown().size());
}

} // namespace

TEST_F(DataModuleTest, FirstStartShowsTheFirstTemplateAndItsDocumentsByName)
{
    seed();
    EXPECT_EQ(data->Shablon->AsString(QStringLiteral("Name")), QStringLiteral("Акт"));
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Акт один"));
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    EXPECT_EQ(data->OrderField, QStringLiteral("Name"));
    QStringList names;
    for (int r = 0; r < data->Fio->RecordCount(); ++r)
        names << data->Fio->ValueAt(r, QStringLiteral("Name")).toString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("альфа"), QStringLiteral("Бета"), QStringLiteral("Гамма")}));
    EXPECT_TRUE(data->tSprField->Active());
    EXPECT_EQ(data->tSprField->RecordCount(), 5); // three reserved fields and two of ours
}

TEST_F(DataModuleTest, PositionsAreSavedAndRestored)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Гамма"));
    data->DataModuleDestroy();
    data->Con->close();
    open();
    EXPECT_EQ(data->Shablon->AsString(QStringLiteral("Name")), QStringLiteral("Договор"));
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Гамма"));

    // A saved template deleted since: the first template and its first document.
    data->Con->close();
    data->Con->open();
    sql(QStringLiteral("DELETE FROM Shablon WHERE Name='Договор'"));
    data->Con->close();
    open();
    EXPECT_EQ(data->Shablon->AsString(QStringLiteral("Name")), QStringLiteral("Акт"));
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Акт один"));
}

TEST_F(DataModuleTest, EmptyTemplateListGivesEmptyListsAndSavesZero)
{
    open();
    EXPECT_TRUE(data->Shablon->IsEmpty());
    EXPECT_TRUE(data->Fio->Active());
    EXPECT_TRUE(data->Fio->IsEmpty());
    EXPECT_TRUE(data->FioValue->IsEmpty());
    EXPECT_EQ(data->NextFreeNumber(), 0);
    data->DataModuleDestroy();
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    EXPECT_EQ(SettingsKey()->ReadString(QStringLiteral("Fio_Id")), QStringLiteral("0"));
    CloseSettingsKey();
}

TEST_F(DataModuleTest, ReloadTemplatesFindsARenamedTemplateByItsNewName)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->Shablon->Edit();
    data->Shablon->SetValue(QStringLiteral("Name"), QStringLiteral("Агентский договор"));
    data->Shablon->Post();
    data->ReloadTemplates(QStringLiteral("Name"));
    EXPECT_EQ(data->Shablon->AsString(QStringLiteral("Name")), QStringLiteral("Агентский договор"));
    EXPECT_EQ(data->Shablon->RecNo(), 1);
    data->Shablon->Last();
    data->ReloadTemplates();
    EXPECT_EQ(data->Shablon->AsString(QStringLiteral("Name")), QStringLiteral("Акт"));
}

TEST_F(DataModuleTest, NextFreeNumber)
{
    open();
    sql(QStringLiteral("INSERT INTO Shablon (Name) VALUES ('Т')"));
    data->Con->close();
    open();
    const struct {
        QList<int> numbers;
        int next;
    } cases[] = {{{}, 0}, {{1, 2, 3}, 4}, {{1, 2, 4}, 3}, {{2, 3}, 4}, {{0}, 1}, {{-1, 5}, 0}};
    for (const auto &c : cases) {
        sql(QStringLiteral("DELETE FROM Fio"));
        for (int n : c.numbers)
            sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, %1, 'x')").arg(n));
        EXPECT_EQ(data->NextFreeNumber(), c.next);
    }
    // After deleting document 1 of 1, 2, 3 the proposal is 4, not 1.
    sql(QStringLiteral("DELETE FROM Fio"));
    for (int n : {1, 2, 3})
        sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, %1, 'x')").arg(n));
    sql(QStringLiteral("DELETE FROM Fio WHERE Npp=1"));
    EXPECT_EQ(data->NextFreeNumber(), 4);
}

TEST_F(DataModuleTest, ChangeNumberToAFreeNumberAsksNothing)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    ScriptedMessageBoxes boxes;
    data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Гамма"));
    data->ChangeDocumentNumber(9);
    EXPECT_EQ(AskedCount(boxes), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='Гамма'")), 9);
}

TEST_F(DataModuleTest, SwapNumbersOnYesAndNothingOnNo)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    {
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::No);
        data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Гамма")); // number 3
        data->ChangeDocumentNumber(1);
        ASSERT_EQ(AskedCount(boxes), 1);
        EXPECT_EQ(boxes.shown()[0].text,
                  QStringLiteral("Номер 1, который Вы хотите присвоить для Гамма\rуже присвоен для альфа.\r\r"
                                 "Желаете поменять эти номера местами ?\r3 <-> 1"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Предупреждение!"));
        EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("альфа")); // the holder is current
        EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='Гамма'")), 3);
    }
    {
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::Yes);
        data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Гамма"));
        data->ChangeDocumentNumber(1);
        EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Гамма"));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='Гамма'")), 1);
        EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='альфа'")), 3);
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Fio WHERE Npp=-1")), 0);
    }
    {
        // Its own number: the question names the document twice; Yes changes nothing.
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::Yes);
        data->ChangeDocumentNumber(1);
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(
            QStringLiteral("Номер 1, который Вы хотите присвоить для Гамма\rуже присвоен для Гамма.")));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='Гамма'")), 1);
    }
}

TEST_F(DataModuleTest, InterruptedSwapLeavesBothNumbersUnchanged)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    // The second step of the swap fails in the database.
    sql(QStringLiteral("CREATE TRIGGER refuse_five BEFORE UPDATE OF Npp ON Fio WHEN NEW.Npp = 1 "
                       "BEGIN SELECT RAISE(ABORT, 'отказ'); END"));
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::Yes);
    data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Гамма"));
    EXPECT_THROW(data->ChangeDocumentNumber(1), OrmenaError);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='Гамма'")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Npp FROM Fio WHERE Name='альфа'")), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Fio WHERE Npp=-1")), 0);
    EXPECT_EQ(data->Fio->State(), dsBrowse);
    EXPECT_TRUE(data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("альфа")));
    EXPECT_EQ(data->Fio->AsInteger(QStringLiteral("NPP")), 1);
}

TEST_F(DataModuleTest, AddingAndSavingDocuments)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    data->AppendDocument();
    EXPECT_EQ(data->Fio->AsInteger(QStringLiteral("NPP")), 4);
    // A number another document already has is saved all the same.
    data->Fio->SetValue(QStringLiteral("NPP"), 2);
    data->Fio->SetValue(QStringLiteral("Name"), QStringLiteral("Дубль"));
    ScriptedMessageBoxes boxes;
    EXPECT_TRUE(data->SaveDocument());
    EXPECT_EQ(AskedCount(boxes), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Fio WHERE Npp=2 AND Shablon_Id=1")), 2);

    // A value the database refuses: the input error box, and the input is discarded.
    data->AppendDocument();
    data->Fio->SetValue(QStringLiteral("Name"), QString(300, QLatin1Char('x')));
    EXPECT_FALSE(data->SaveDocument());
    ASSERT_EQ(AskedCount(boxes), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка ввода данных!"));
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral(
        "Возникла ошибка при редатировании записи.\rВозможно Вы ввели дублирующий номер документа\rТекст ошибки:\r")));
    EXPECT_EQ(data->Fio->State(), dsBrowse);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Fio WHERE Shablon_Id=1")), 4);
}

TEST_F(DataModuleTest, SearchByNumberAndNamePrefix)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    EXPECT_TRUE(data->FindDocumentByName(QStringLiteral("гам")));
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Гамма"));
    EXPECT_FALSE(data->FindDocumentByName(QStringLiteral("яя")));
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Гамма"));
    EXPECT_TRUE(data->FindDocumentByNumber(2));
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Бета"));
    data->SortDocuments(1);
    EXPECT_EQ(data->Fio->AsString(QStringLiteral("Name")), QStringLiteral("Бета")); // kept across the sort
    EXPECT_EQ(data->Fio->ValueAt(0, QStringLiteral("Name")).toString(), QStringLiteral("альфа"));
}

TEST_F(DataModuleTest, ValueRowsAreAddedOnceWithReservedFieldsFilled)
{
    seed();
    data->Con->close();
    data->Con->open();
    // The template lists ФИО, the reserved fields (one written in lower case with blanks) and the secret one.
    sql(QStringLiteral("UPDATE SprField SET Name=' нд ' WHERE Name='НД'"));
    sql(QStringLiteral("INSERT INTO ShablonFld (Shablon_Id, SprField_Id, Npp) SELECT 1, Id, Npp FROM SprField "
                       "WHERE Name IN ('ФИО','НОМДОК',' нд ','НШ')"));
    sql(QStringLiteral("UPDATE Fio SET Name='  Гамма  ' WHERE Name='Гамма'"));
    data->Con->close();
    open();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    data->Fio->Locate(QStringLiteral("NPP"), 3);

    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::Yes);
    data->AddDocumentFields();
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Добавить поля для данных для\r  Гамма  "));
    ASSERT_EQ(data->FioValue->RecordCount(), 4);
    EXPECT_EQ(data->FioValue->RecNo(), 1);
    QMap<QString, QString> values;
    for (int r = 0; r < data->FioValue->RecordCount(); ++r)
        values.insert(data->FioValue->ValueAt(r, QStringLiteral("Name")).toString().trimmed().toUpper(),
                      data->FioValue->ValueAt(r, QStringLiteral("Value_")).toString());
    EXPECT_EQ(values.value(QStringLiteral("НОМДОК")), QStringLiteral("3"));
    EXPECT_EQ(values.value(QStringLiteral("НД")), QStringLiteral("Гамма"));
    EXPECT_EQ(values.value(QStringLiteral("НШ")), QStringLiteral("Договор"));
    EXPECT_EQ(values.value(QStringLiteral("ФИО")), QString());

    // A second run adds nothing; a field added to the template later adds only its row.
    boxes.setNextAnswer(QMessageBox::Yes);
    data->AddDocumentFields();
    EXPECT_EQ(data->FioValue->RecordCount(), 4);
    data->Con->prepare(QStringLiteral("INSERT INTO ShablonFld (Shablon_Id, SprField_Id, Npp) "
                                      "SELECT 1, Id, Npp FROM SprField WHERE Name='ПАСПОРТ'"))->exec();
    boxes.setNextAnswer(QMessageBox::Yes);
    data->AddDocumentFields();
    EXPECT_EQ(data->FioValue->RecordCount(), 5);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM FioValue")), 5);

    // An empty field list is reported and nothing changes.
    data->Fio->Locate(QStringLiteral("NPP"), 1);
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Акт"));
    boxes.clear();
    boxes.setNextAnswer(QMessageBox::Yes);
    data->AddDocumentFields();
    ASSERT_EQ(AskedCount(boxes), 2);
    EXPECT_EQ(boxes.shown()[1].text,
              QStringLiteral("Добавление полей для данных не возможно\rНет списка полей для выбранного докумнта"));
}

TEST_F(DataModuleTest, ChangeDateAndMasking)
{
    seed();
    data->Con->close();
    data->Con->open();
    sql(QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Npp, Value_, DateIzm) "
                       "SELECT 1, 4, Id, Npp, 'Значение', NULL FROM SprField WHERE Name IN ('ФИО','ПАСПОРТ')"));
    data->Con->close();
    open(); // the first template (Акт) and its document 4 are current

    ASSERT_EQ(data->FioValue->RecordCount(), 2);
    data->FioValue->Locate(QStringLiteral("Name"), QStringLiteral("ФИО"));
    data->FioValue->Edit();
    data->FioValue->Post(); // unchanged: no date
    EXPECT_TRUE(data->FioValue->IsNull(QStringLiteral("DateIzm")));
    data->FioValue->Edit();
    data->FioValue->SetValue(QStringLiteral("Value_"), QStringLiteral("значение")); // case only
    data->FioValue->Post();
    EXPECT_EQ(data->FioValue->Value(QStringLiteral("DateIzm")).toDateTime(),
              QDateTime(QDate::currentDate(), QTime(0, 0)));

    const int fio = data->FioValue->CurrentIndex();
    data->FioValue->Locate(QStringLiteral("Name"), QStringLiteral("ПАСПОРТ"));
    const int passport = data->FioValue->CurrentIndex();
    EXPECT_EQ(data->FioValue->DisplayText(passport, QStringLiteral("Value_")), QStringLiteral("* * *"));
    EXPECT_EQ(data->FioValue->DisplayText(fio, QStringLiteral("Value_")), QStringLiteral("значение"));
    data->AttachValueGetText(false);
    EXPECT_EQ(data->FioValue->DisplayText(passport, QStringLiteral("Value_")), QStringLiteral("Значение"));
    data->AttachValueGetText(true);
    data->FioValue->Edit();
    data->FioValue->SetValue(QStringLiteral("Value_"), QStringLiteral("   "));
    data->FioValue->Post();
    EXPECT_EQ(data->FioValue->DisplayText(data->FioValue->CurrentIndex(), QStringLiteral("Value_")),
              QStringLiteral("   ")); // a blank secret value is shown as it is
}

TEST_F(DataModuleTest, DeleteDocumentAsksTwoIndependentQuestions)
{
    seed();
    data->Con->close();
    data->Con->open();
    sql(QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Npp, Value_) VALUES (2, 4, 4, 1, 'v')"));
    data->Con->close();
    open();
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::No);  // keep the value rows
    boxes.setNextAnswer(QMessageBox::Yes); // delete the document
    data->DeleteDocument();
    ASSERT_EQ(AskedCount(boxes), 2);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Удалить поля для данных вместе с их значениями для\rАкт один"));
    EXPECT_EQ(boxes.shown()[1].text, QStringLiteral("Удалить документ\rАкт один"));
    EXPECT_EQ(boxes.shown()[1].caption, QStringLiteral("Удаление!"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Fio WHERE Id=4")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM FioValue WHERE Fio_Id=4")), 1);
}

TEST_F(DataModuleTest, DemonstrationDatabase)
{
    seed();
    const int idleBefore = IdleExit() ? IdleExit()->IdleLimit() : -1;
    {
        ScriptedMessageBoxes boxes;
        data->OpenDatabase(true);
        ASSERT_EQ(AskedCount(boxes), 1);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Не могу открыть демонстрационную базу. Нет файла\r")
                                             + ws.path() + QStringLiteral("/OrmenaDemo.mdb"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
        EXPECT_EQ(data->Shablon->RecordCount(), 2); // the lists keep their rows
        EXPECT_FALSE(TerminationRequested());
        if (IdleExit()) {
            EXPECT_EQ(IdleExit()->IdleLimit(), idleBefore);
        }
    }
    {
        // A copy of the working file as the demonstration file: all lists read from it.
        data->Con->close();
        ASSERT_TRUE(QFile::copy(ws.file(QStringLiteral("Ormena.mdb")), ws.file(QStringLiteral("OrmenaDemo.mdb"))));
        ScriptedMessageBoxes boxes;
        data->OpenDatabase(true);
        EXPECT_EQ(AskedCount(boxes), 0);
        EXPECT_EQ(data->Shablon->RecordCount(), 2);
        EXPECT_TRUE(data->Con->connectionString().contains(QStringLiteral("OrmenaDemo.mdb")));
    }
    {
        // A demonstration file that is not a database: the opening error and the end of the program.
        data->Con->close();
        QFile::remove(ws.file(QStringLiteral("OrmenaDemo.mdb")));
        QFile junk(ws.file(QStringLiteral("OrmenaDemo.mdb")));
        ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
        junk.write("Standard Jet DB, not ours");
        junk.close();
        ScriptedMessageBoxes boxes;
        data->OpenDatabase(true);
        ASSERT_EQ(AskedCount(boxes), 1);
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Ошибка открытия базы по указанному пути\r")));
        EXPECT_TRUE(TerminationRequested());
        QFile check(ws.file(QStringLiteral("OrmenaDemo.mdb")));
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        EXPECT_EQ(check.readAll(), QByteArray("Standard Jet DB, not ours")); // never written to
    }
}

TEST_F(DataModuleTest, ReloadingDocumentsGoesBackToTheOrderByName)
{
    seed();
    data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Договор"));
    data->LoadDocuments(0);
    data->SortDocuments(1);
    EXPECT_EQ(data->Fio->ValueAt(0, QStringLiteral("Name")).toString(), QStringLiteral("альфа"));
    EXPECT_EQ(data->Fio->ValueAt(1, QStringLiteral("Name")).toString(), QStringLiteral("Бета"));
    EXPECT_EQ(data->Fio->ValueAt(2, QStringLiteral("Name")).toString(), QStringLiteral("Гамма"));
    data->Fio->Locate(QStringLiteral("NPP"), 3);
    data->SetDocumentOrder(1); // alone it reopens nothing
    EXPECT_EQ(data->Fio->AsInteger(QStringLiteral("NPP")), 3);
    data->LoadDocuments(0);
    EXPECT_EQ(data->DocumentOrder, 0);
    EXPECT_EQ(data->OrderField, QStringLiteral("Name"));
    EXPECT_EQ(data->Fio->RecNo(), 1);
}

TEST_F(DataModuleTest, EveryOpeningPastTheDemoCheckSetsTheIdleLimitToTen)
{
    TIdleExit watcher;
    ASSERT_EQ(IdleExit(), &watcher);
    watcher.SetIdleLimit(15);
    open();
    EXPECT_EQ(watcher.IdleLimit(), 10);
    watcher.SetIdleLimit(15);
    {
        ScriptedMessageBoxes boxes; // the demonstration file is missing: the limit stays
        data->OpenDatabase(true);
    }
    EXPECT_EQ(watcher.IdleLimit(), 15);
    {
        // A working file that fails to open still passed step 3.
        data->Con->close();
        QFile::remove(ws.file(QStringLiteral("Ormena.mdb")));
        ScriptedMessageBoxes boxes;
        data->OpenDatabase(false);
        EXPECT_EQ(boxes.shown().size(), 1);
        EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("Нет файла базы данных")));
    }
    EXPECT_EQ(watcher.IdleLimit(), 10);
}

// The whole start-up sequence of the data module in a folder of its own.
class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTerminationRequest(); }
    void TearDown() override { ResetTerminationRequest(); }
    TempWorkspace ws;
};

TEST_F(StartUpTest, MissingTemplateFolderIsReportedAndEndsTheProgramAfterStartUp)
{
    ScriptedMessageBoxes boxes;
    TfData data;
    data.DataModuleCreate();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка запуска!"));
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Нет директории для хранения шаблонов документов\r")
                                                  + ws.path() + QStringLiteral("/Shablon")));
    EXPECT_TRUE(TerminationRequested());
    EXPECT_TRUE(data.Shablon->Active()); // the database was still opened
    EXPECT_EQ(data.TemplateDir, ws.path() + QStringLiteral("/Shablon"));
    EXPECT_TRUE(MainTitle().startsWith(QStringLiteral("Ormena {ver. ")));
}

TEST_F(StartUpTest, FailingCheckAndFailingOpeningShowBothMessages)
{
    ws.makeTemplateFolder();
    QFile foreign(ws.file(QStringLiteral("Ormena.mdb")));
    ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
    foreign.write(QByteArray("\x00\x01\x00\x00Standard Jet DB", 19) + QByteArray(2000, '\0'));
    foreign.close();
    ScriptedMessageBoxes boxes;
    TfData data;
    data.DataModuleCreate();
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Ошибка проверки базы...\r")));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
    EXPECT_TRUE(boxes.shown()[1].text.startsWith(QStringLiteral("Ошибка открытия базы по указанному пути\r")));
    EXPECT_TRUE(TerminationRequested());
    EXPECT_EQ(FileSizeOf(ws.file(QStringLiteral("Ormena.mdb"))), 2019); // the foreign file is untouched
}

TEST_F(StartUpTest, CleanStartAsksNothingAndKeepsTheTemporaryDocumentPrivate)
{
    ws.makeTemplateFolder();
    ScriptedMessageBoxes boxes;
    TfData data;
    data.DataModuleCreate();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_FALSE(TerminationRequested());
    EXPECT_TRUE(data.TempDocPath.endsWith(QStringLiteral("/tmp.doc")));
    EXPECT_TRUE(data.TempDocPath.startsWith(GetTempDir()));
}

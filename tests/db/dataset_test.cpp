// The dataset layer on a real SQLite file: reading, navigation, locate,
// editing and posting, lookup fields, master/detail and the two components.
#include "common/errors.h"
#include "db/ado_query.h"
#include "db/ado_table_avto_inc.h"
#include "db/dynamic_ado_query.h"
#include "db/sqlite_engine.h"
#include "support/temp_workspace.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

class DatasetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString path = ws.file(QStringLiteral("data.db"));
        CreateSqliteDatabaseFile(path);
        con.setConnectionString(QStringLiteral("Data Source=") + path + QStringLiteral(";Mode=ReadWrite"));
        con.open();
        con.executeNative(QStringLiteral(
            "CREATE TABLE Fio (Id INTEGER PRIMARY KEY AUTOINCREMENT, Shablon_Id INTEGER, Npp INTEGER, "
            "Name TEXT COLLATE ORMENA_NOCASE, Doc BLOB)"));
        con.executeNative(QStringLiteral(
            "CREATE TABLE FioValue (Id INTEGER PRIMARY KEY AUTOINCREMENT, Fio_Id INTEGER, SprField_Id INTEGER, "
            "Npp INTEGER, Value_ TEXT)"));
        con.executeNative(QStringLiteral(
            "CREATE TABLE SprField (Id INTEGER PRIMARY KEY AUTOINCREMENT, Npp INTEGER, Name TEXT, isSecure INTEGER)"));
        const char *docs[][3] = {{"1", "3", "Волков"}, {"1", "1", "антонов"}, {"1", "2", "Борисов"}, {"2", "1", "Чужой"}};
        for (const auto &d : docs)
            con.executeNative(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (%1, %2, '%3')")
                                  .arg(QString::fromUtf8(d[0]), QString::fromUtf8(d[1]), QString::fromUtf8(d[2])));
        con.executeNative(QStringLiteral("INSERT INTO SprField (Npp, Name, isSecure) VALUES (1,'ФИО',0),(2,'ПАСПОРТ',1)"));
        con.executeNative(QStringLiteral(
            "INSERT INTO FioValue (Fio_Id, SprField_Id, Npp, Value_) VALUES (1,1,1,'Волков В.'),(1,2,2,'4500'),"
            "(2,1,1,'Антонов А.')"));
    }

    TempWorkspace ws;
    SqliteConnection con;
};

} // namespace

TEST_F(DatasetTest, DynamicQueryReadsNavigatesAndLocates)
{
    TDynamicADOQuery fio;
    fio.SetConnection(&con);
    fio.SetUpdateTable(QStringLiteral("Fio"));
    fio.SetSqlShablon({QStringLiteral("Select"), QStringLiteral("  *"), QStringLiteral("From"), QStringLiteral("  Fio"),
                       QStringLiteral("Where"), QStringLiteral("  Shablon_Id=%S"), QStringLiteral("Order By"),
                       QStringLiteral("  %S")});
    fio.SetSqlParams(QStringLiteral("1;Name"));
    EXPECT_FALSE(fio.Active()); // a rebuild never opens
    fio.Open();
    ASSERT_EQ(fio.RecordCount(), 3);
    EXPECT_EQ(fio.AsString(QStringLiteral("Name")), QStringLiteral("антонов")); // case-blind order
    fio.Next();
    EXPECT_EQ(fio.AsString(QStringLiteral("NAME")), QStringLiteral("Борисов"));
    EXPECT_EQ(fio.RecNo(), 2);
    fio.Last();
    EXPECT_TRUE(fio.Eof());
    fio.Next();
    EXPECT_EQ(fio.RecNo(), 3);

    EXPECT_TRUE(fio.Locate(QStringLiteral("Npp"), 2));
    EXPECT_EQ(fio.AsString(QStringLiteral("Name")), QStringLiteral("Борисов"));
    EXPECT_TRUE(fio.Locate(QStringLiteral("Name"), QStringLiteral("вол"), {true, true}));
    EXPECT_EQ(fio.AsInteger(QStringLiteral("Npp")), 3);
    EXPECT_FALSE(fio.Locate(QStringLiteral("Name"), QStringLiteral("вол"), {false, true}));
    EXPECT_EQ(fio.AsInteger(QStringLiteral("Npp")), 3); // a failed locate does not move
    EXPECT_TRUE(fio.Locate({QStringLiteral("Shablon_Id"), QStringLiteral("Npp")}, {1, 1}));
    EXPECT_EQ(fio.AsString(QStringLiteral("Name")), QStringLiteral("антонов"));

    // A template of blanks changes nothing, not even the open state.
    TDynamicADOQuery blank;
    blank.SetConnection(&con);
    blank.SetSqlShablon({QStringLiteral("select * from Fio")});
    blank.Open();
    blank.SetSqlShablon({QStringLiteral("   ")});
    EXPECT_TRUE(blank.Active());
    blank.SetSqlParams(QStringLiteral("1"));
    EXPECT_TRUE(blank.Active());
    // Writing parameters on an open query closes it.
    fio.SetSqlParams(QStringLiteral("1;Npp"));
    EXPECT_FALSE(fio.Active());
}

TEST_F(DatasetTest, PostWritesOnlyTheRowAndCancelDiscards)
{
    TADOQuery fio;
    fio.SetConnection(&con);
    fio.SetUpdateTable(QStringLiteral("Fio"));
    fio.SetSQL(QStringLiteral("select * from Fio where Shablon_Id=1 order by Npp"));
    fio.Open();
    fio.Edit();
    fio.SetValue(QStringLiteral("Name"), QStringLiteral("Антонов-Новый"));
    EXPECT_EQ(fio.State(), dsEdit);
    fio.Post();
    EXPECT_EQ(fio.State(), dsBrowse);

    std::unique_ptr<DbQuery> check = con.prepare(QStringLiteral("select Name from Fio where Npp=1 and Shablon_Id=1"));
    ASSERT_TRUE(check->next());
    EXPECT_EQ(check->value(0).toString(), QStringLiteral("Антонов-Новый"));

    fio.Edit();
    fio.SetValue(QStringLiteral("Name"), QStringLiteral("отменено"));
    fio.Cancel();
    EXPECT_EQ(fio.AsString(QStringLiteral("Name")), QStringLiteral("Антонов-Новый"));

    // Append then post: the database's key is in the row, which stays where it was added.
    fio.Append();
    fio.SetValue(QStringLiteral("Shablon_Id"), 1);
    fio.SetValue(QStringLiteral("Npp"), 9);
    fio.SetValue(QStringLiteral("Name"), QStringLiteral("Новый"));
    fio.Post();
    EXPECT_EQ(fio.RecNo(), 4);
    EXPECT_GT(fio.AsInteger(QStringLiteral("Id")), 4);
    // Insert then cancel: the row disappears.
    fio.First();
    fio.Insert();
    EXPECT_EQ(fio.RecordCount(), 5);
    fio.Cancel();
    EXPECT_EQ(fio.RecordCount(), 4);

    // Delete moves to the following row, or the preceding one at the end.
    fio.Locate(QStringLiteral("Npp"), 2);
    fio.Delete();
    EXPECT_EQ(fio.AsInteger(QStringLiteral("Npp")), 3);
    fio.Last();
    fio.Delete();
    EXPECT_EQ(fio.AsInteger(QStringLiteral("Npp")), 3);
    EXPECT_EQ(fio.RecordCount(), 2);
}

TEST_F(DatasetTest, RowEventsRunInOrder)
{
    TADOQuery fio;
    fio.SetConnection(&con);
    fio.SetUpdateTable(QStringLiteral("Fio"));
    fio.SetSQL(QStringLiteral("select * from Fio order by Id"));
    QStringList events;
    fio.BeforeEdit = [&](TDataSet &d) { events << QStringLiteral("beforeEdit:") + d.AsString(QStringLiteral("Name")); };
    fio.BeforePost = [&](TDataSet &d) {
        events << QStringLiteral("beforePost:") + d.AsString(QStringLiteral("Name"));
        d.SetValue(QStringLiteral("Npp"), 77); // a before-post handler may still change the row
    };
    fio.AfterPost = [&](TDataSet &) { events << QStringLiteral("afterPost"); };
    fio.AfterScroll = [&](TDataSet &) { events << QStringLiteral("scroll"); };
    fio.Open();
    fio.Edit();
    fio.SetValue(QStringLiteral("Name"), QStringLiteral("X"));
    fio.Post();
    EXPECT_EQ(events, (QStringList{QStringLiteral("scroll"), QStringLiteral("beforeEdit:Волков"),
                                   QStringLiteral("beforePost:X"), QStringLiteral("afterPost")}));
    EXPECT_EQ(fio.AsInteger(QStringLiteral("Npp")), 77);
}

TEST_F(DatasetTest, MasterDetailAndLookupFollowTheCurrentRow)
{
    TADOQuery fio;
    fio.SetConnection(&con);
    fio.SetUpdateTable(QStringLiteral("Fio"));
    fio.SetSQL(QStringLiteral("select * from Fio where Shablon_Id=1 order by Id"));
    TADOTableAvtoInc spr;
    spr.SetConnection(&con);
    spr.SetTableName(QStringLiteral("SprField"));
    spr.SetIndexFieldNames(QStringLiteral("Npp"));
    TADOTableAvtoInc values;
    values.SetConnection(&con);
    values.SetTableName(QStringLiteral("FioValue"));
    values.SetIndexFieldNames(QStringLiteral("Fio_Id;Npp"));
    values.SetMasterSource(&fio, {QStringLiteral("Id")}, {QStringLiteral("Fio_Id")});
    values.AddLookupField(QStringLiteral("Name"), QStringLiteral("SprField_Id"), &spr, QStringLiteral("Id"),
                          QStringLiteral("Name"));
    values.AddLookupField(QStringLiteral("isSecure"), QStringLiteral("SprField_Id"), &spr, QStringLiteral("Id"),
                          QStringLiteral("isSecure"));
    spr.Open();
    fio.Open();
    values.Open();

    ASSERT_EQ(values.RecordCount(), 2);
    EXPECT_EQ(values.AsString(QStringLiteral("Name")), QStringLiteral("ФИО"));
    values.Next();
    EXPECT_EQ(values.AsString(QStringLiteral("Value_")), QStringLiteral("4500"));
    EXPECT_TRUE(values.Value(QStringLiteral("isSecure")).toBool());

    fio.Next(); // the detail follows without any call
    ASSERT_EQ(values.RecordCount(), 1);
    EXPECT_EQ(values.AsString(QStringLiteral("Value_")), QStringLiteral("Антонов А."));
    fio.Next();
    EXPECT_TRUE(values.IsEmpty());

    fio.Append(); // a new, unsaved master row has no details
    EXPECT_TRUE(values.IsEmpty());
    fio.Cancel();

    // A detail row appended takes the master's key; the table re-reads itself after the post.
    fio.First();
    values.Append();
    values.SetValue(QStringLiteral("SprField_Id"), 99);
    values.SetValue(QStringLiteral("Npp"), 3);
    values.Post();
    EXPECT_EQ(values.RecordCount(), 3);
    EXPECT_EQ(values.RecNo(), 3);
    EXPECT_EQ(values.AsInteger(QStringLiteral("Fio_Id")), 1);
    EXPECT_TRUE(values.IsNull(QStringLiteral("Name"))); // no dictionary row: empty lookup
}

TEST_F(DatasetTest, AutoIncTableReturnsToTheRecordNumberAfterPost)
{
    TADOTableAvtoInc spr;
    spr.SetConnection(&con);
    spr.SetTableName(QStringLiteral("SprField"));
    spr.SetIndexFieldNames(QStringLiteral("Npp"));
    spr.Open();
    // Unchanged sort key: the same row stays current.
    spr.First();
    spr.Edit();
    spr.SetValue(QStringLiteral("Name"), QStringLiteral("ФИО2"));
    spr.Post();
    EXPECT_EQ(spr.RecNo(), 1);
    EXPECT_EQ(spr.AsString(QStringLiteral("Name")), QStringLiteral("ФИО2"));
    // The sort key moved: the row now at the old position is current.
    spr.Edit();
    spr.SetValue(QStringLiteral("Npp"), 10);
    spr.Post();
    EXPECT_EQ(spr.RecNo(), 1);
    EXPECT_EQ(spr.AsString(QStringLiteral("Name")), QStringLiteral("ПАСПОРТ"));
}

TEST_F(DatasetTest, DisabledControlsHearNothingUntilResumed)
{
    TADOQuery fio;
    fio.SetConnection(&con);
    fio.SetSQL(QStringLiteral("select * from Fio order by Id"));
    fio.Open();
    QSignalSpy current(&fio, &TDataSet::currentChanged);
    QSignalSpy reset(&fio, &TDataSet::rowsReset);
    fio.DisableControls();
    fio.Next();
    fio.Next();
    EXPECT_EQ(current.count(), 0);
    fio.EnableControls();
    EXPECT_EQ(current.count(), 1);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(fio.RecNo(), 3);
}

TEST_F(DatasetTest, ClosingTheConnectionClosesTheDatasets)
{
    TADOQuery fio;
    fio.SetConnection(&con);
    fio.SetSQL(QStringLiteral("select * from Fio"));
    fio.Open();
    con.close();
    EXPECT_FALSE(fio.Active());
    EXPECT_THROW(fio.Edit(), OrmenaError);
}

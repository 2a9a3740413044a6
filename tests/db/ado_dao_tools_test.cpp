// The schema toolkit: the statement texts it composes, its results, the
// messages it raises or shows, and the connection strings it writes.
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "db/ado_dao_tools.h"
#include "db/db_test_support.h"
#include "db/recording_connection.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class AdoDaoToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ws.file(QStringLiteral("tools.mdb"));
        ASSERT_TRUE(CreateAccessDatabase(path));
        ASSERT_TRUE(SetDatabasePath(con, QStringLiteral("tools.mdb"), ws.path(), true, omReadWrite));
    }

    QString failureOf(const std::function<void()> &action)
    {
        try {
            action();
        } catch (const OrmenaError &error) {
            return error.message();
        }
        return QStringLiteral("<no failure>");
    }

    TempWorkspace ws;
    ScriptedMessageBoxes boxes;
    RecordingConnection con;
    QString path;
};

} // namespace

TEST(AdoDaoToolsText, BuildFieldListAndIndexColumnList)
{
    RecordingConnection none; // never opened: no auto-increment column below asks it anything
    const struct {
        TAccessFields fields;
        QString expected;
    } lists[] = {
        {{}, QString()},
        {{MakeAccessField(none, "T", "Name", afText, 20), MakeAccessField(none, "T", "Npp", afInteger, 0)},
         QStringLiteral("[Name] TEXT(20) WITH COMPRESSION, [Npp] INT")},
        {{MakeAccessField(none, "T", "Npp", afInteger, 0)}, QStringLiteral("[Npp] INT")},
        {{MakeAccessField(none, "T", "A", afText2, 255)}, QStringLiteral("[A] TEXT(255) WITH COMPRESSION")},
        {{MakeAccessField(none, "T", "A", afText, 0)}, QStringLiteral("[A] TEXT(0) WITH COMPRESSION")},
        {{MakeAccessField(none, "T", "A", afImage, 0), MakeAccessField(none, "T", "B", afLongText, 0),
          MakeAccessField(none, "T", "C", afFloat, 0), MakeAccessField(none, "T", "D", afBit, 0),
          MakeAccessField(none, "T", "E", afMoney, 0), MakeAccessField(none, "T", "F", afDateTime, 0),
          MakeAccessField(none, "T", "G", afBinary, 0)},
         QStringLiteral("[A] IMAGE, [B] TEXT, [C] FLOAT, [D] BIT, [E] MONEY, [F] DATETIME, [G] BINARY")},
        {{MakeAccessField(none, "T", "X", TAccessFieldKind(11), 0)}, QString()},
        {{MakeAccessField(none, "T", "A", afInteger, 0), MakeAccessField(none, "T", "X", TAccessFieldKind(200), 0)},
         QStringLiteral("[A] INT")},
    };
    for (const auto &c : lists)
        EXPECT_EQ(BuildFieldList(c.fields), c.expected);

    EXPECT_THROW(
        {
            try {
                BuildFieldList({MakeAccessField(none, "T", "A", afText, 256)});
            } catch (const OrmenaError &e) {
                EXPECT_EQ(e.message(), QStringLiteral("Размер текстового поля превысил 255 символов"));
                throw;
            }
        },
        OrmenaError);

    const struct {
        const char *index;
        const char *columns;
        const char *expected;
    } indexLists[] = {
        {"Id", "", "[Id]"},
        {"Key_", "Shablon_Id, Fio_Id, SprField_Id", "[Shablon_Id],[Fio_Id],[SprField_Id]"},
        {"X", "a,,b", "[a],[],[b]"},
        {"X", ",a", "[],[a]"},
        {"X", "a,b,", "[a],[b]"},
        {"X", " Name ", "[Name]"},
    };
    for (const auto &c : indexLists)
        EXPECT_EQ(IndexColumnList(QString::fromUtf8(c.index), QString::fromUtf8(c.columns)), QString::fromUtf8(c.expected))
            << c.columns;

    EXPECT_EQ(FormatS(QStringLiteral("поле \"%S\" в \"%S\" !"), {QStringLiteral("%S"), QStringLiteral("T")}),
              QStringLiteral("поле \"%S\" в \"T\" !"));
}

TEST_F(AdoDaoToolsTest, TablesColumnsAndIndexesWithTheirStatementTexts)
{
    EXPECT_TRUE(CreateTable(con, QStringLiteral("Doc"), {}));
    EXPECT_FALSE(CreateTable(con, QStringLiteral(" doc "), {}));
    EXPECT_TRUE(CreateTable(con, QStringLiteral("Справка"),
                            {MakeAccessField(con, "Справка", "Id", afAutoInc, 0),
                             MakeAccessField(con, "Справка", "Имя", afText, 20)}));
    EXPECT_TRUE(TableExists(con, QStringLiteral("  СПРАВКА ")));
    EXPECT_FALSE(TableExists(con, QStringLiteral("Справки")));

    EXPECT_TRUE(AddOrAlterField(MakeAccessField(con, "Doc", "Id", afAutoInc, 0)));
    EXPECT_TRUE(AddOrAlterField(MakeAccessField(con, "DOC", "Name", afText, 40)));
    EXPECT_TRUE(FieldExists(con, QStringLiteral("doc"), QStringLiteral(" NAME ")));
    EXPECT_TRUE(FieldExists(con, QStringLiteral("справка"), QStringLiteral("ИМЯ")));
    EXPECT_FALSE(FieldExists(con, QStringLiteral("Doc"), QStringLiteral("Npp")));
    for (int i = 1; i <= 9; ++i)
        Exec(con, QStringLiteral("INSERT INTO Doc (Name) VALUES (?)"), {QStringLiteral("d%1").arg(i)});
    EXPECT_TRUE(AddOrAlterField(MakeAccessField(con, "Doc", "Id", afAutoInc, 0))); // seed 10

    EXPECT_TRUE(CreateIndex(con, QStringLiteral("Doc"), QStringLiteral("Id"), QString(), true, inNone));
    EXPECT_TRUE(CreateIndex(con, QStringLiteral("Doc"), QStringLiteral("ByName"), QStringLiteral("Name, Id"), false,
                            inIgnoreNull));
    EXPECT_TRUE(CreateIndex(con, QStringLiteral("Doc"), QStringLiteral("Strict"), QStringLiteral("Name"), false,
                            inDisallowNull));
    // An existing name is left alone, whatever it covers.
    EXPECT_TRUE(CreateIndex(con, QStringLiteral("Doc"), QStringLiteral(" byname "), QStringLiteral("Id"), true, inNone));
    EXPECT_TRUE(IndexExists(con, QStringLiteral("DOC"), QStringLiteral("BYNAME")));
    EXPECT_TRUE(DropIndex(con, QStringLiteral("Doc"), QStringLiteral("Strict")));
    EXPECT_FALSE(DropIndex(con, QStringLiteral("Doc"), QStringLiteral("Strict")));
    EXPECT_TRUE(DropAllIndexes(con, QStringLiteral(" doc")));
    EXPECT_FALSE(IndexExists(con, QStringLiteral("Doc"), QStringLiteral("Id")));

    EXPECT_EQ(con.statements,
              (QStringList{
                  QStringLiteral("CREATE TABLE Doc"),
                  QStringLiteral("CREATE TABLE Справка ([Id] INT IDENTITY(1,1), [Имя] TEXT(20) WITH COMPRESSION)"),
                  QStringLiteral("ALTER TABLE Doc ADD COLUMN [Id] INT IDENTITY(1,1)"),
                  QStringLiteral("ALTER TABLE DOC ADD COLUMN [Name] TEXT(40) WITH COMPRESSION"),
                  QStringLiteral("ALTER TABLE Doc ALTER COLUMN [Id] INT IDENTITY(10,1)"),
                  QStringLiteral("CREATE UNIQUE INDEX [Id] ON Doc ([Id])"),
                  QStringLiteral("CREATE INDEX [ByName] ON Doc ([Name],[Id]) WITH IGNORE NULL"),
                  QStringLiteral("CREATE INDEX [Strict] ON Doc ([Name]) WITH DISALLOW NULL"),
                  QStringLiteral("DROP INDEX [Strict] ON Doc"),
                  QStringLiteral("DROP INDEX [Id] ON DOC"),
                  QStringLiteral("DROP INDEX [ByName] ON DOC"),
              }));
    EXPECT_TRUE(boxes.shown().isEmpty());
    Exec(con, QStringLiteral("INSERT INTO Doc (Name) VALUES ('d10')"));
    EXPECT_EQ(con.lastInsertId(), 10);
}

TEST_F(AdoDaoToolsTest, MissingTablesFailWithTheQuotedMessages)
{
    const QString t = QStringLiteral("Нет");
    EXPECT_EQ(failureOf([&] { FieldExists(con, t, QStringLiteral("F")); }),
              QStringLiteral("Нельзя проверить наличие поля \"F\" в несуществующей таблице \"Нет\" !"));
    EXPECT_EQ(failureOf([&] { IndexExists(con, t, QStringLiteral("I")); }),
              QStringLiteral("Нельзя проверить наличие индекса \"I\" в несуществующей таблице \"Нет\" !"));
    EXPECT_EQ(failureOf([&] { AddOrAlterField(MakeAccessField(con, t, QStringLiteral("F"), afInteger, 0)); }),
              QStringLiteral("Попытка добавления поля \"F\" в несуществующую таблицу \"Нет\""));
    EXPECT_EQ(failureOf([&] { CreateIndex(con, t, QStringLiteral("I"), QString(), false, inNone); }),
              QStringLiteral("Попытка добавления индекса \"I\" в несуществующую таблицу \"Нет\""));
    EXPECT_EQ(failureOf([&] { DropIndex(con, t, QStringLiteral("I")); }),
              QStringLiteral("Попытка удаления индекса \"I\" из несуществующей таблицу \"Нет\""));
    EXPECT_EQ(failureOf([&] { DropAllIndexes(con, t); }),
              QStringLiteral("Попытка удаления индексов в несуществующей таблице \"Нет\" !"));
    CreateTable(con, QStringLiteral("T"), {});
    EXPECT_EQ(failureOf([&] {
                  BuildFieldList({MakeAccessField(con, "T", "A", afAutoInc, 0), MakeAccessField(con, "T", "B", afAutoInc, 0)});
              }),
              QStringLiteral("В таблицах MsAccess допускается только одно автоинкрементное поле"));
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(AdoDaoToolsTest, RefusedStatementsAreReportedAsTheOperationSays)
{
    CreateTable(con, QStringLiteral("T"), {MakeAccessField(con, "T", "Id", afAutoInc, 0)});

    // A kind past the table gives an empty definition; the statement is refused and shown.
    EXPECT_TRUE(AddOrAlterField(MakeAccessField(con, "T", "X", TAccessFieldKind(11), 0)));
    EXPECT_EQ(con.statements.last(), QStringLiteral("ALTER TABLE T ADD COLUMN "));
    // TEXT(0) is the database's to refuse.
    EXPECT_TRUE(AddOrAlterField(MakeAccessField(con, "T", "Z", afText, 0)));
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Ошибка создания поля X\r в таблице T\r")));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
    EXPECT_TRUE(boxes.shown()[1].text.contains(QStringLiteral("от 1 до 255 символов"))) << boxes.shown()[1].text.toStdString();
    EXPECT_FALSE(FieldExists(con, QStringLiteral("T"), QStringLiteral("Z")));

    // An index over a,,b: the statement holds [a],[],[b] and the failure carries the index message.
    AddOrAlterField(MakeAccessField(con, "T", "a", afInteger, 0));
    AddOrAlterField(MakeAccessField(con, "T", "b", afInteger, 0));
    const QString failure = failureOf([&] { CreateIndex(con, "T", "AB", "a,,b", false, inNone); });
    EXPECT_EQ(con.statements.last(), QStringLiteral("CREATE INDEX [AB] ON T ([a],[],[b])"));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Ошибка создания индекса <[AB]> в таблице <T>\r\r"))) << failure.toStdString();

    // A failed query shows its context and gives 0; no row and a null value give 0 too.
    boxes.clear();
    EXPECT_EQ(Get_FieldValueBySql(con, QStringLiteral("Select Max(Id) as x From T"), "x", "", true), QVariant(0));
    EXPECT_EQ(Get_FieldValueBySql(con, QStringLiteral("Select Id as x From T"), "x", "", false), QVariant(0));
    EXPECT_TRUE(boxes.shown().isEmpty());
    Exec(con, QStringLiteral("INSERT INTO T (a) VALUES (5), (6), (7)"));
    EXPECT_EQ(Get_FieldValueBySql(con, QStringLiteral("Select a as x From T order by a"), "x", "", true).toInt(), 7);
    EXPECT_EQ(Get_FieldValueBySql(con, QStringLiteral("Select a as x From T order by a"), "X", "", false).toInt(), 5);
    EXPECT_EQ(Get_FieldValueBySql(con, QStringLiteral("Select Nope as x From T"), "x", "Загрузка", true), QVariant(0));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(
        QStringLiteral("Ошибка выполнения запроса (Загрузка -> Get_FieldValueBySql):\rSelect Nope as x From T\r")))
        << boxes.shown()[0].text.toStdString();
}

TEST_F(AdoDaoToolsTest, ConnectionStringsAndOpenModes)
{
    const QString folder = ws.path();
    con.close();
    const struct {
        TOpenMode mode;
        const char *word;
    } modes[] = {{omNone, ""}, {omReadWrite, "ReadWrite"}, {omRead, "Read"}, {omWrite, "Write"},
                 {omShareDenyReadWrite, "Share Deny Read|Share Deny Write"}, {omShareDenyNone, "Share Deny None"},
                 {TOpenMode(6), ""}, {TOpenMode(255), ""}};
    for (const auto &m : modes) {
        SetOpenMode(con, m.mode);
        EXPECT_EQ(con.connectionString(),
                  QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + folder + QStringLiteral("/tools.mdb;Mode=")
                      + QString::fromUtf8(m.word) + QStringLiteral(";Persist Security Info=False"));
    }

    // Directory: empty = the current one; trailing separators go; a missing file may be allowed.
    const QString expectedPath = QDir::currentPath() + QStringLiteral("/other.mdb");
    EXPECT_TRUE(SetDatabasePath(con, QStringLiteral("other.mdb"), QString(), false, omRead));
    EXPECT_EQ(con.databasePath(), expectedPath);
    EXPECT_TRUE(SetDatabasePath(con, QStringLiteral("other.mdb"), folder + QStringLiteral("//"), false, omRead));
    EXPECT_EQ(con.databasePath(), folder + QStringLiteral("/other.mdb"));
    try {
        SetDatabasePath(con, QStringLiteral("other.mdb"), folder, true, omRead);
        ADD_FAILURE() << "a missing file was accepted";
    } catch (const OrmenaError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Нет файла базы данных\r") + folder + QStringLiteral("/other.mdb"));
    }

    // The mode cannot change on an open connection; SetDatabasePath closes it first.
    ASSERT_TRUE(SetDatabasePath(con, QStringLiteral("tools.mdb"), folder, true, omReadWrite));
    con.open();
    EXPECT_EQ(failureOf([&] { SetOpenMode(con, omRead); }),
              QStringLiteral("Не могу сменить режим открытия на уже открытой базе данных!"));
    EXPECT_TRUE(con.isConnected());
    EXPECT_TRUE(SetDatabasePath(con, QStringLiteral("tools.mdb"), folder, true, omRead));
    EXPECT_FALSE(con.isConnected());
    // Read mode really is read-only.
    const QString refused = failureOf([&] { CreateTable(con, QStringLiteral("T"), {}); });
    EXPECT_TRUE(refused.contains(QStringLiteral("только для чтения"))) << refused.toStdString();
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(AdoDaoToolsTest, CreateAccessDatabaseLeavesAnExistingFileAlone)
{
    const QString other = ws.file(QStringLiteral("new.mdb"));
    EXPECT_TRUE(CreateAccessDatabase(other));
    EXPECT_TRUE(ForeignFileReason(other).isEmpty());
    const QString notes = ws.file(QStringLiteral("notes.mdb"));
    {
        QFile file(notes);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a database");
    }
    EXPECT_TRUE(CreateAccessDatabase(notes));
    EXPECT_EQ(FileBytes(notes), QByteArray("not a database"));
    const QString failure = failureOf([&] { CreateAccessDatabase(ws.file(QStringLiteral("no/such/dir/x.mdb"))); });
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Не удалось создать файл базы данных"))) << failure.toStdString();
}

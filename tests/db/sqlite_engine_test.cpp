// The SQLite engine on real files: opening (and refusing) files, bound values
// and typed reads, Jet's text rules (case-blind for Cyrillic, sized text),
// identity seeds, column changes with and without a rebuild, the catalogue,
// transactions and queries outliving their connection.
#include "common/errors.h"
#include "db/db_test_support.h"
#include "db/jet_statement_translator.h"
#include "support/temp_workspace.h"

#include <QDateTime>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class SqliteEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ws.file(QStringLiteral("engine.mdb"));
        CreateSqliteDatabaseFile(path);
        con = ConnectionOn(path);
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

    QStringList column(const QString &sql)
    {
        QStringList values;
        auto query = con->prepare(sql);
        while (query->next())
            values.append(query->value(0).toString());
        return values;
    }

    TempWorkspace ws;
    QString path;
    std::unique_ptr<SqliteConnection> con;
};

} // namespace

TEST(JetStatementTranslatorTest, ReadsTheToolkitStatements)
{
    JetStatement s = ParseJetStatement(QStringLiteral("CREATE TABLE Fio"));
    EXPECT_EQ(s.type, JetStatementType::CreateTable);
    EXPECT_EQ(s.table, QStringLiteral("Fio"));
    EXPECT_TRUE(s.columns.isEmpty());

    s = ParseJetStatement(QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Id] INT IDENTITY(42,1)"));
    EXPECT_EQ(s.type, JetStatementType::AlterColumn);
    ASSERT_EQ(s.columns.size(), 1);
    EXPECT_EQ(s.columns[0].kind, DbColumnKind::AutoInc);
    EXPECT_EQ(s.columns[0].seed, 42);

    s = ParseJetStatement(QStringLiteral("create table [Мои данные] ([Имя поля] TEXT(20) WITH COMPRESSION, [B] BIT);"));
    EXPECT_EQ(s.table, QStringLiteral("Мои данные"));
    ASSERT_EQ(s.columns.size(), 2);
    EXPECT_EQ(s.columns[0].name, QStringLiteral("Имя поля"));
    EXPECT_EQ(s.columns[0].size, 20);
    EXPECT_EQ(s.columns[1].kind, DbColumnKind::Bit);

    s = ParseJetStatement(QStringLiteral("CREATE UNIQUE INDEX [Key_] ON FioValue ([Shablon_Id],[Fio_Id]) WITH IGNORE NULL"));
    EXPECT_EQ(s.type, JetStatementType::CreateIndex);
    EXPECT_TRUE(s.unique);
    EXPECT_EQ(s.indexColumns, (QStringList{"Shablon_Id", "Fio_Id"}));
    EXPECT_EQ(s.nullMode, DbIndexNullMode::IgnoreNull);

    s = ParseJetStatement(QStringLiteral("DROP INDEX [Name] ON SPRFIELD"));
    EXPECT_EQ(s.type, JetStatementType::DropIndex);
    EXPECT_EQ(s.index, QStringLiteral("Name"));
    EXPECT_EQ(s.table, QStringLiteral("SPRFIELD"));

    EXPECT_EQ(ParseJetStatement(QStringLiteral("INSERT INTO T VALUES (1)")).type, JetStatementType::Other);

    for (const char *bad : {"ALTER TABLE Fio ADD COLUMN ", "ALTER TABLE Fio ADD COLUMN [X] WIDGET",
                            "CREATE TABLE T ([A] INT", "CREATE INDEX [I] ON T ([a],[],[b])",
                            "ALTER TABLE T ADD COLUMN [A] INT NOT NULL", "CREATE TABLE T ([A] TEXT(x))"}) {
        try {
            ParseJetStatement(QString::fromUtf8(bad));
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const OrmenaError &error) {
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("Синтаксическая ошибка в инструкции")))
                << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(bad).trimmed())) << error.message().toStdString();
        }
    }
}

TEST_F(SqliteEngineTest, RefusesFilesItCannotOpenWithoutTouchingThem)
{
    const QString missing = ws.file(QStringLiteral("missing.mdb"));
    EXPECT_EQ(failureOf([&] { ConnectionOn(missing)->open(); }),
              QStringLiteral("Не найден файл базы данных \"%1\".").arg(missing));
    EXPECT_EQ(failureOf([&] { ConnectionOn(ws.path())->open(); }),
              QStringLiteral("\"%1\" — папка, а не файл базы данных.").arg(ws.path()));

    // An empty file is an empty database.
    const QString empty = ws.file(QStringLiteral("empty.mdb"));
    QFile(empty).open(QIODevice::WriteOnly);
    auto emptyConnection = ConnectionOn(empty);
    EXPECT_TRUE(emptyConnection->tableNames().isEmpty());

    // A file with SQLite's header but broken pages fails when read, and stays as it was.
    QByteArray broken = FileBytes(path);
    broken.append(QByteArray(4096, '\x7f'));
    broken.replace(100, 100, QByteArray(100, '\xee'));
    const QString brokenPath = ws.file(QStringLiteral("broken.mdb"));
    {
        QFile file(brokenPath);
        file.open(QIODevice::WriteOnly);
        file.write(broken);
    }
    const QString failure = failureOf([&] { ConnectionOn(brokenPath)->tableNames(); });
    EXPECT_TRUE(failure.contains(brokenPath)) << failure.toStdString();
    EXPECT_EQ(FileBytes(brokenPath), broken);
}

TEST_F(SqliteEngineTest, BoundValuesComeBackTypedByTheColumnKind)
{
    con->execute(QStringLiteral("CREATE TABLE T ([Id] INT IDENTITY(1,1), [I] INT, [S] TEXT(255) WITH COMPRESSION, "
                                "[M] TEXT, [F] FLOAT, [B] BIT, [D] DATETIME, [P] IMAGE, [Big] MONEY)"));
    const QDateTime moment(QDate(2024, 2, 29), QTime(23, 59, 58, 125));
    const QByteArray bytes("\x00\x01\xff'\";--", 9);
    const QString text = QStringLiteral("O'Brien \"Ёж\"; DROP TABLE T; --");
    auto insert = con->prepare(QStringLiteral("INSERT INTO T (I, S, M, F, B, D, P, Big) VALUES (:i, :s, :m, ?, ?, ?, ?, ?)"));
    EXPECT_EQ(insert->parameterCount(), 8);
    insert->bindValue(QStringLiteral("i"), -7);
    insert->bindValue(QStringLiteral(":s"), text);
    insert->bindValue(QStringLiteral("m"), QString(3000, QLatin1Char('m')));
    insert->bindValue(3, 2.5);
    insert->bindValue(4, true);
    insert->bindValue(5, moment);
    insert->bindValue(6, bytes);
    insert->bindValue(7, 1234.5);
    insert->exec();
    EXPECT_EQ(con->lastInsertId(), 1);
    EXPECT_EQ(con->changes(), 1);
    // The same statement again with other values; unset ones become null (a bit reads false).
    insert->clearBindings();
    insert->bindValue(QStringLiteral("i"), 8);
    insert->exec();
    EXPECT_EQ(con->lastInsertId(), 2);

    auto query = con->prepare(QStringLiteral("SELECT * FROM T ORDER BY Id"));
    ASSERT_EQ(query->columnCount(), 9);
    EXPECT_EQ(query->columnKind(0), DbColumnKind::AutoInc);
    EXPECT_EQ(query->columnKind(2), DbColumnKind::Text);
    EXPECT_EQ(query->columnDeclaredType(2), QStringLiteral("TEXT(255)"));
    EXPECT_EQ(query->columnTable(6), QStringLiteral("T"));
    EXPECT_EQ(query->columnIndex(QStringLiteral(" big ")), 8);
    EXPECT_EQ(query->columnIndex(QStringLiteral("nope")), -1);
    ASSERT_TRUE(query->next());
    EXPECT_EQ(query->value(0), QVariant(1));
    EXPECT_EQ(query->value(QStringLiteral("i")), QVariant(-7));
    EXPECT_EQ(query->value(QStringLiteral("S")), QVariant(text));
    EXPECT_EQ(query->value(QStringLiteral("M")).toString().size(), 3000);
    EXPECT_EQ(query->value(QStringLiteral("F")), QVariant(2.5));
    EXPECT_EQ(query->value(QStringLiteral("B")), QVariant(true));
    EXPECT_EQ(query->value(QStringLiteral("D")), QVariant(moment));
    EXPECT_EQ(query->value(QStringLiteral("P")), QVariant(bytes));
    EXPECT_EQ(query->value(QStringLiteral("Big")), QVariant(1234.5));
    ASSERT_TRUE(query->next());
    EXPECT_EQ(query->value(1), QVariant(8));
    EXPECT_FALSE(query->value(2).isValid());
    EXPECT_TRUE(query->isNull(2));
    EXPECT_EQ(query->value(5), QVariant(false));
    EXPECT_FALSE(query->next());
    EXPECT_FALSE(query->next());
    EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT count(*) FROM T")).toInt(), 2); // the text stayed text

    EXPECT_TRUE(failureOf([&] { query->value(QStringLiteral("nope")); }).startsWith(QStringLiteral("В результате запроса нет поля \"nope\"")));
    EXPECT_TRUE(failureOf([&] { insert->bindValue(QStringLiteral("zz"), 1); }).startsWith(QStringLiteral("В запросе нет параметра \":zz\"")));
    EXPECT_TRUE(failureOf([&] { insert->bindValue(8, 1); }).startsWith(QStringLiteral("В запросе нет параметра с номером 8")));
    EXPECT_TRUE(failureOf([&] { con->prepare(QStringLiteral("SELECT 1; DELETE FROM T")); })
                    .startsWith(QStringLiteral("В тексте запроса больше одной инструкции")));
    EXPECT_TRUE(failureOf([&] { con->prepare(QStringLiteral("SELECT * FROM Nowhere")); })
                    .startsWith(QStringLiteral("Нет таблицы \"Nowhere\"")));
}

TEST_F(SqliteEngineTest, TextIsCaseBlindForCyrillicAndSizedTextRefusesLongerValues)
{
    con->execute(QStringLiteral("CREATE TABLE SprField ([Id] INT IDENTITY(1,1), [Name] TEXT(5) WITH COMPRESSION)"));
    con->execute(QStringLiteral("CREATE UNIQUE INDEX [Name] ON SprField ([Name])"));
    for (const char *name : {"Волков", "антонов", "Борисов", "ёжик", "Ясень", "abc", "ABD"})
        Exec(*con, QStringLiteral("INSERT INTO SprField (Name) VALUES (?)"), {QString::fromUtf8(name).left(5)});
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM SprField ORDER BY Name")),
              (QStringList{"abc", "ABD", "антон", "Борис", "Волко", "Ясень", "ёжик"}));
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM SprField WHERE Name = 'БОРИС'")), QStringList{"Борис"});
    EXPECT_EQ(column(QStringLiteral("SELECT Name FROM SprField WHERE Name LIKE 'ЁЖ%'")), QStringList{"ёжик"});
    EXPECT_EQ(column(QStringLiteral("SELECT upper(Name) FROM SprField WHERE Name = 'ясень'")), QStringList{"ЯСЕНЬ"});
    const struct {
        const char *text, *pattern;
        bool matches;
    } likes[] = {{"Ёлка", "ёл_а", true},  {"Ёлка", "%ЛК%", true}, {"Ёлка", "ЛК%", false}, {"50%", "50!%", true},
                 {"500", "50!%", false}, {"", "%", true},          {"abc", "a%c%", true},  {"abd", "a%c", false}};
    for (const auto &like : likes)
        EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT ? LIKE ? ESCAPE '!'"),
                         {QString::fromUtf8(like.text), QString::fromUtf8(like.pattern)})
                      .toInt(),
                  like.matches ? 1 : 0)
            << like.text << " LIKE " << like.pattern;

    const QString duplicate = failureOf([&] { Exec(*con, QStringLiteral("INSERT INTO SprField (Name) VALUES ('ЁЖИК')")); });
    EXPECT_TRUE(duplicate.startsWith(QStringLiteral(
        "Нарушена уникальность: в таблице SprField повторяется значение поля Name (уникальный индекс \"Name\")")))
        << duplicate.toStdString();

    // Five Cyrillic letters fit TEXT(5) (characters, not bytes); six do not, on insert or update.
    Exec(*con, QStringLiteral("INSERT INTO SprField (Name) VALUES ('ЖЖЖЖЖ')"));
    const QString expected = QStringLiteral("Текст длиннее 5 символов не помещается в поле Name таблицы SprField.");
    EXPECT_EQ(failureOf([&] { Exec(*con, QStringLiteral("INSERT INTO SprField (Name) VALUES ('ЩЩЩЩЩЩ')")); }), expected);
    EXPECT_EQ(failureOf([&] { Exec(*con, QStringLiteral("UPDATE SprField SET Name = Name || 'x' WHERE Name = 'abc'")); }),
              QStringLiteral("<no failure>"));
    EXPECT_EQ(failureOf([&] { Exec(*con, QStringLiteral("UPDATE SprField SET Name = 'abcdef' WHERE Name = 'ABD'")); }), expected);
    EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT count(*) FROM SprField")).toInt(), 8);
}

TEST_F(SqliteEngineTest, IdentitySeedIsTheNextKey)
{
    con->execute(QStringLiteral("CREATE TABLE T ([Id] INT IDENTITY(5,1), [V] INT)"));
    Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (1)"));
    EXPECT_EQ(con->lastInsertId(), 5);
    for (int i = 0; i < 10; ++i)
        Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (1)"));
    Exec(*con, QStringLiteral("DELETE FROM T WHERE Id > 9"));
    Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (2)"));
    EXPECT_EQ(con->lastInsertId(), 16); // deleted keys are not handed out again
    con->execute(QStringLiteral("ALTER TABLE T ALTER COLUMN [Id] INT IDENTITY(17,1)"));
    con->execute(QStringLiteral("DELETE FROM T WHERE Id = 16"));
    con->execute(QStringLiteral("ALTER TABLE T ALTER COLUMN [Id] INT IDENTITY(10,1)"));
    Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (3)"));
    EXPECT_EQ(con->lastInsertId(), 10);
    EXPECT_EQ(con->rebuildCount(), 0);

    EXPECT_TRUE(failureOf([&] { con->execute(QStringLiteral("ALTER TABLE T ALTER COLUMN [Id] INT IDENTITY(1,2)")); })
                    .startsWith(QStringLiteral("Шаг счётчика поля \"Id\" может быть только 1")));
    EXPECT_TRUE(failureOf([&] { con->execute(QStringLiteral("ALTER TABLE T ADD COLUMN [N] INT IDENTITY(1,1)")); })
                    .contains(QStringLiteral("уже есть поле-счётчик")));

    // A key column added to a table with rows numbers them from its seed, in their order.
    con->execute(QStringLiteral("CREATE TABLE U"));
    con->execute(QStringLiteral("ALTER TABLE U ADD COLUMN [Name] TEXT(10)"));
    for (const char *name : {"первый", "второй", "третий"})
        Exec(*con, QStringLiteral("INSERT INTO U (Name) VALUES (?)"), {QString::fromUtf8(name)});
    con->execute(QStringLiteral("ALTER TABLE U ADD COLUMN [Id] INT IDENTITY(100,1)"));
    EXPECT_EQ(column(QStringLiteral("SELECT Id || ':' || Name FROM U ORDER BY Id")),
              (QStringList{"100:первый", "101:второй", "102:третий"}));
    EXPECT_EQ(con->columns(QStringLiteral("u")).last().kind, DbColumnKind::AutoInc);

    // A plain integer column becomes the key when its values are distinct and present.
    con->execute(QStringLiteral("CREATE TABLE V ([Key] INT, [Name] TEXT(10))"));
    Exec(*con, QStringLiteral("INSERT INTO V (Key, Name) VALUES (3, 'три'), (7, 'семь')"));
    con->execute(QStringLiteral("ALTER TABLE V ALTER COLUMN [Key] INT IDENTITY(8,1)"));
    Exec(*con, QStringLiteral("INSERT INTO V (Name) VALUES ('восемь')"));
    EXPECT_EQ(con->lastInsertId(), 8);
    EXPECT_EQ(column(QStringLiteral("SELECT Key FROM V ORDER BY Key")), (QStringList{"3", "7", "8"}));
    con->execute(QStringLiteral("CREATE TABLE W ([Key] INT)"));
    Exec(*con, QStringLiteral("INSERT INTO W (Key) VALUES (1), (1)"));
    EXPECT_TRUE(failureOf([&] { con->execute(QStringLiteral("ALTER TABLE W ALTER COLUMN [Key] INT IDENTITY(2,1)")); })
                    .contains(QStringLiteral("повторяются значения")));
    EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT count(*) FROM W")).toInt(), 2);
}

TEST_F(SqliteEngineTest, ColumnChangesRebuildOnlyWhenTheDefinitionDiffers)
{
    con->execute(QStringLiteral("CREATE TABLE Fio ([Id] INT IDENTITY(1,1), [Npp] INT, [Name] TEXT(100), [Code] TEXT(10))"));
    con->execute(QStringLiteral("CREATE INDEX [Ордер] ON Fio ([Npp],[Name])"));
    con->execute(QStringLiteral("CREATE UNIQUE INDEX [Code] ON Fio ([Code]) WITH DISALLOW NULL"));
    for (int i = 1; i <= 5; ++i)
        Exec(*con, QStringLiteral("INSERT INTO Fio (Npp, Name, Code) VALUES (?, ?, ?)"),
             {i, QStringLiteral("Имя %1").arg(i), QStringLiteral("%1").arg(i * 11)});
    Exec(*con, QStringLiteral("DELETE FROM Fio WHERE Id = 5"));

    // The same definitions again, in any letter case: nothing is rebuilt.
    for (const char *same : {"ALTER TABLE fio ALTER COLUMN [NPP] INT", "ALTER TABLE FIO ALTER COLUMN [name] TEXT(100) WITH COMPRESSION",
                             "ALTER TABLE Fio ALTER COLUMN [Id] INT IDENTITY(6,1)"})
        con->execute(QString::fromUtf8(same));
    EXPECT_EQ(con->rebuildCount(), 0);

    // Real changes keep rows, indexes (with their null rules) and the seed.
    con->execute(QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Name] TEXT(250)"));
    con->execute(QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Code] INT"));
    con->execute(QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Npp] TEXT(3)"));
    EXPECT_EQ(con->rebuildCount(), 3);
    const QList<DbColumnInfo> columns = con->columns(QStringLiteral("Fio"));
    EXPECT_EQ(columns[2].size, 250);
    EXPECT_EQ(columns[3].kind, DbColumnKind::Integer);
    EXPECT_EQ(columns[1].kind, DbColumnKind::Text);
    EXPECT_EQ(column(QStringLiteral("SELECT Id || '|' || Npp || '|' || Name || '|' || typeof(Code) FROM Fio ORDER BY Id")),
              (QStringList{"1|1|Имя 1|integer", "2|2|Имя 2|integer", "3|3|Имя 3|integer", "4|4|Имя 4|integer"}));
    const QList<DbIndexInfo> indexes = con->indexes(QStringLiteral("Fio"));
    ASSERT_EQ(indexes.size(), 2);
    EXPECT_EQ(indexes[0].name, QStringLiteral("Ордер"));
    EXPECT_EQ(indexes[0].columns, (QStringList{"Npp", "Name"}));
    EXPECT_FALSE(indexes[0].unique);
    EXPECT_EQ(indexes[1].name, QStringLiteral("Code"));
    EXPECT_TRUE(indexes[1].unique);
    EXPECT_EQ(indexes[1].nullMode, DbIndexNullMode::DisallowNull);
    EXPECT_EQ(failureOf([&] { Exec(*con, QStringLiteral("INSERT INTO Fio (Name) VALUES ('без кода')")); }),
              QStringLiteral("Поля индекса Code таблицы Fio не могут быть пустыми."));
    Exec(*con, QStringLiteral("INSERT INTO Fio (Name, Code) VALUES ('новый', 99)"));
    EXPECT_EQ(con->lastInsertId(), 6);

    // Changes that stored values do not fit are refused and leave everything as it was.
    const QByteArray before = FileBytes(path);
    const struct {
        const char *statement;
        const char *expected;
    } refused[] = {
        {"ALTER TABLE Fio ALTER COLUMN [Name] TEXT(4)", "Поле Name таблицы Fio нельзя сделать TEXT(4)"},
        {"ALTER TABLE Fio ALTER COLUMN [Name] INT", "Поле Name таблицы Fio нельзя сделать INT"},
        {"ALTER TABLE Fio ALTER COLUMN [Name] DATETIME", "нельзя сделать DATETIME"},
        {"ALTER TABLE Fio ALTER COLUMN [Nope] INT", "Нет поля \"Nope\" в таблице \"Fio\"."},
        {"ALTER TABLE Fio ADD COLUMN [name] INT", "Поле \"name\" уже есть в таблице \"Fio\"."},
        {"ALTER TABLE Nowhere ADD COLUMN [A] INT", "Нет таблицы \"Nowhere\" в базе данных."},
        {"CREATE TABLE FIO ([A] INT)", "Таблица \"FIO\" уже есть в базе данных."},
        {"CREATE INDEX [ордер] ON Fio ([Id])", "Индекс \"ордер\" уже есть в таблице \"Fio\"."},
        {"CREATE INDEX [X] ON Fio ([Nope])", "Нет поля \"Nope\" в таблице \"Fio\"."},
        {"DROP INDEX [Nope] ON Fio", "Нет индекса \"Nope\" в таблице \"Fio\"."},
    };
    for (const auto &c : refused) {
        const QString failure = failureOf([&] { con->execute(QString::fromUtf8(c.statement)); });
        EXPECT_TRUE(failure.contains(QString::fromUtf8(c.expected))) << c.statement << " -> " << failure.toStdString();
    }
    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(con->rebuildCount(), 3);
}

TEST_F(SqliteEngineTest, CatalogueListsTablesViewsColumnsAndIndexesByTheirOwnNames)
{
    con->execute(QStringLiteral("CREATE TABLE Документы ([Id] INT IDENTITY(1,1), [Дата] DATETIME, [Сумма] MONEY)"));
    con->execute(QStringLiteral("CREATE TABLE Пусто"));
    con->execute(QStringLiteral("CREATE INDEX [ПоДате] ON ДОКУМЕНТЫ ([дата]) WITH IGNORE NULL"));
    con->executeNative(QStringLiteral("CREATE VIEW Свод AS SELECT Id FROM Документы"));
    EXPECT_EQ(con->tableNames(), (QStringList{"Документы", "Пусто", "Свод"}));
    EXPECT_EQ(con->findTable(QStringLiteral("  документы ")), QStringLiteral("Документы"));
    EXPECT_TRUE(con->findTable(QStringLiteral("sqlite_sequence")).isEmpty());
    EXPECT_TRUE(con->columns(QStringLiteral("пусто")).isEmpty());
    const QList<DbColumnInfo> columns = con->columns(QStringLiteral("ДОКУМЕНТЫ"));
    ASSERT_EQ(columns.size(), 3);
    EXPECT_TRUE(columns[0].identity);
    EXPECT_EQ(columns[1].kind, DbColumnKind::DateTime);
    EXPECT_EQ(columns[2].kind, DbColumnKind::Money);
    const QList<DbIndexInfo> indexes = con->indexes(QStringLiteral("документы"));
    ASSERT_EQ(indexes.size(), 1);
    EXPECT_EQ(indexes[0].name, QStringLiteral("ПоДате"));
    EXPECT_EQ(indexes[0].columns, QStringList{"Дата"});
    EXPECT_EQ(indexes[0].nullMode, DbIndexNullMode::IgnoreNull);
    // A view over a rebuilt table keeps working.
    Exec(*con, QStringLiteral("INSERT INTO Документы (Сумма) VALUES (10.5)"));
    con->execute(QStringLiteral("ALTER TABLE Документы ALTER COLUMN [Сумма] FLOAT"));
    EXPECT_EQ(con->rebuildCount(), 1);
    EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT count(*) FROM Свод")).toInt(), 1);
    EXPECT_EQ(con->indexes(QStringLiteral("Документы")).size(), 1);
    // Indexes of the same name on two tables are two indexes.
    con->execute(QStringLiteral("ALTER TABLE Пусто ADD COLUMN [Дата] DATETIME"));
    con->execute(QStringLiteral("CREATE INDEX [ПоДате] ON Пусто ([Дата])"));
    EXPECT_EQ(IndexNames(*con, QStringLiteral("Пусто")), QStringList{"ПоДате"});
    con->execute(QStringLiteral("DROP TABLE пусто"));
    EXPECT_EQ(con->tableNames(), (QStringList{"Документы", "Свод"}));
    EXPECT_EQ(failureOf([&] { con->columns(QStringLiteral("Пусто")); }), QStringLiteral("Нет таблицы \"Пусто\" в базе данных."));
}

TEST_F(SqliteEngineTest, TransactionsNestAndRollBackUnlessCommitted)
{
    con->execute(QStringLiteral("CREATE TABLE T ([V] INT)"));
    {
        DbTransaction outer(*con);
        Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (1)"));
        {
            DbTransaction inner(*con);
            Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (2)"));
        } // rolled back
        {
            DbTransaction inner(*con);
            Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (3)"));
            inner.commit();
        }
        EXPECT_EQ(con->transactionDepth(), 1);
        outer.commit();
    }
    EXPECT_EQ(column(QStringLiteral("SELECT V FROM T ORDER BY V")), (QStringList{"1", "3"}));
    {
        DbTransaction dropped(*con);
        Exec(*con, QStringLiteral("DELETE FROM T"));
    }
    EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT count(*) FROM T")).toInt(), 2);
    EXPECT_EQ(con->transactionDepth(), 0);
    EXPECT_THROW(con->commit(), OrmenaError);
}

TEST_F(SqliteEngineTest, ClosingTheConnectionEndsItsQueries)
{
    con->execute(QStringLiteral("CREATE TABLE T ([V] INT)"));
    Exec(*con, QStringLiteral("INSERT INTO T (V) VALUES (1), (2)"));
    int closing = 0;
    QObject::connect(con.get(), &DbConnection::aboutToClose, [&] { ++closing; });
    auto query = con->prepare(QStringLiteral("SELECT V FROM T"));
    ASSERT_TRUE(query->next());
    con->beginTransaction();
    Exec(*con, QStringLiteral("DELETE FROM T"));
    con->close();
    EXPECT_EQ(closing, 1);
    EXPECT_FALSE(query->isValid());
    EXPECT_TRUE(failureOf([&] { query->next(); }).startsWith(QStringLiteral("Запрос закрыт")));
    // The open transaction was rolled back; the connection reopens on demand.
    EXPECT_EQ(Scalar(*con, QStringLiteral("SELECT count(*) FROM T")).toInt(), 2);
    EXPECT_EQ(con->transactionDepth(), 0);
    EXPECT_THROW(con->setConnectionString(QString()), OrmenaError);
    // A query may outlive its connection object.
    con.reset();
    EXPECT_FALSE(query->isValid());
}

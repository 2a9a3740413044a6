// The start-up schema check on real files: the statements it sends for a new
// and for an existing file, seeds, column re-declarations, indexes, reserved
// rows, the failures it absorbs and those it passes on, foreign files, and a
// kill -9 in the middle of a check.
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "common/wait_form.h"
#include "db/ado_dao_tools.h"
#include "db/check_database.h"
#include "db/database_schema.h"
#include "db/db_test_support.h"
#include "db/recording_connection.h"
#include "support/temp_workspace.h"

#include <QApplication>
#include <QTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>

#include <iostream>

namespace {

class CheckDatabaseTest : public ::testing::Test {
protected:
    QString dbPath() const { return ws.file(QStringLiteral("Ormena.mdb")); }

    // Runs the check through a recording connection and returns it.
    std::unique_ptr<RecordingConnection> check()
    {
        auto connection = std::make_unique<RecordingConnection>();
        CheckDatabaseAt(ws.path(), *connection);
        return connection;
    }

    QList<QVariantList> rows(const QString &sql)
    {
        auto connection = ConnectionOn(dbPath());
        auto query = connection->prepare(sql);
        QList<QVariantList> result;
        while (query->next()) {
            QVariantList row;
            for (int i = 0; i < query->columnCount(); ++i)
                row.append(query->value(i));
            result.append(row);
        }
        return result;
    }

    TempWorkspace ws;
    ScriptedMessageBoxes boxes;
};

QString BoxTexts(const ScriptedMessageBoxes &boxes)
{
    QStringList texts;
    for (const MessageBoxRequest &request : boxes.shown())
        texts.append(request.text);
    return texts.join(QStringLiteral("\n---\n"));
}

} // namespace

TEST_F(CheckDatabaseTest, NewFileIsBuiltColumnByColumnWithTheQuotedStatements)
{
    auto connection = check();

    EXPECT_EQ(connection->statementsFor(QStringLiteral("Fio")),
              (QStringList{
                  QStringLiteral("CREATE TABLE Fio"),
                  QStringLiteral("ALTER TABLE Fio ADD COLUMN [Id] INT IDENTITY(1,1)"),
                  QStringLiteral("ALTER TABLE Fio ADD COLUMN [Shablon_Id] INT"),
                  QStringLiteral("ALTER TABLE Fio ADD COLUMN [Npp] INT"),
                  QStringLiteral("ALTER TABLE Fio ADD COLUMN [Name] TEXT(250) WITH COMPRESSION"),
                  QStringLiteral("ALTER TABLE Fio ADD COLUMN [Doc] IMAGE"),
                  QStringLiteral("CREATE UNIQUE INDEX [Id] ON Fio ([Id])"),
                  QStringLiteral("CREATE INDEX [Name] ON Fio ([Shablon_Id],[Name],[Npp])"),
                  QStringLiteral("CREATE INDEX [Npp] ON Fio ([Shablon_Id],[Npp],[Name])"),
              }));
    EXPECT_TRUE(connection->statementsFor(QStringLiteral("SprField"))
                    .contains(QStringLiteral("ALTER TABLE SprField ADD COLUMN [isEdit] BIT")));
    EXPECT_TRUE(boxes.shown().isEmpty()) << BoxTexts(boxes).toStdString();

    // The file holds the schema: tables, columns in order with kinds and sizes, indexes.
    auto file = ConnectionOn(dbPath());
    EXPECT_EQ(file->tableNames(),
              (QStringList{"Fio", "FioValue", "Shablon", "ShablonFld", "SprField"}));
    for (const SchemaTable &table : DatabaseSchema()) {
        const QList<DbColumnInfo> columns = file->columns(table.name);
        ASSERT_EQ(columns.size(), table.columns.size()) << table.name.toStdString();
        for (int i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(columns[i].name, table.columns[i].name);
            EXPECT_EQ(columns[i].size, table.columns[i].size) << columns[i].name.toStdString();
        }
        EXPECT_TRUE(columns[0].identity);
        const QList<DbIndexInfo> indexes = file->indexes(table.name);
        ASSERT_EQ(indexes.size(), table.indexes.size() + 1) << table.name.toStdString();
        EXPECT_EQ(indexes[0].name, QStringLiteral("Id"));
        EXPECT_TRUE(indexes[0].unique);
        for (int i = 0; i < table.indexes.size(); ++i) {
            EXPECT_EQ(indexes[i + 1].name, table.indexes[i].name);
            EXPECT_EQ(indexes[i + 1].unique, table.indexes[i].unique);
            EXPECT_EQ(indexes[i + 1].columns.join(QLatin1Char(',')), table.indexes[i].columns);
        }
    }
    EXPECT_EQ(file->columns(QStringLiteral("FioValue"))[6].kind, DbColumnKind::DateTime);
    EXPECT_EQ(file->columns(QStringLiteral("SprField"))[4].kind, DbColumnKind::Bit);

    // Exactly the three reserved rows; isSecure was not set and reads false.
    const QList<QVariantList> reserved =
        rows(QStringLiteral("SELECT Id, Npp, Name, Skript, isEdit, isSecure FROM SprField ORDER BY Npp"));
    ASSERT_EQ(reserved.size(), 3);
    const QStringList names = {"НОМДОК", "НШ", "НД"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(reserved[i][0].toInt(), i + 1); // seeds were 1
        EXPECT_EQ(reserved[i][1].toInt(), i + 1);
        EXPECT_EQ(reserved[i][2].toString(), names[i]);
        EXPECT_EQ(reserved[i][4], QVariant(true));
        EXPECT_EQ(reserved[i][5], QVariant(false));
    }
    EXPECT_EQ(reserved[1][3].toString(), QStringLiteral("Наименование шаблона документа"));
}

TEST_F(CheckDatabaseTest, SecondRunReDeclaresEveryColumnSetsSeedsAndRecreatesIndexesWithoutRebuilding)
{
    check();
    {
        auto file = ConnectionOn(dbPath());
        for (int i = 1; i <= 50; ++i)
            Exec(*file, QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, ?, ?)"),
                 {i, QStringLiteral("Документ %1").arg(i)});
        Exec(*file, QStringLiteral("DELETE FROM Fio WHERE Id > 41"));
        for (int i = 1; i <= 10; ++i)
            Exec(*file, QStringLiteral("INSERT INTO FioValue (Fio_Id, Npp) VALUES (1, ?)"), {i});
        Exec(*file, QStringLiteral("DELETE FROM FioValue"));
    }
    boxes.clear();
    auto connection = check();

    EXPECT_EQ(connection->statementsFor(QStringLiteral("Fio")),
              (QStringList{
                  QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Id] INT IDENTITY(42,1)"),
                  QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Shablon_Id] INT"),
                  QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Npp] INT"),
                  QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Name] TEXT(250) WITH COMPRESSION"),
                  QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Doc] IMAGE"),
                  QStringLiteral("DROP INDEX [Id] ON FIO"),
                  QStringLiteral("DROP INDEX [Name] ON FIO"),
                  QStringLiteral("DROP INDEX [Npp] ON FIO"),
                  QStringLiteral("CREATE UNIQUE INDEX [Id] ON Fio ([Id])"),
                  QStringLiteral("CREATE INDEX [Name] ON Fio ([Shablon_Id],[Name],[Npp])"),
                  QStringLiteral("CREATE INDEX [Npp] ON Fio ([Shablon_Id],[Npp],[Name])"),
              }));
    EXPECT_TRUE(connection->statementsFor(QStringLiteral("FioValue"))
                    .contains(QStringLiteral("ALTER TABLE FioValue ALTER COLUMN [Id] INT IDENTITY(1,1)")));
    for (const QString &statement : connection->statements) {
        EXPECT_FALSE(statement.startsWith(QStringLiteral("CREATE TABLE"))) << statement.toStdString();
        EXPECT_FALSE(statement.contains(QStringLiteral("ADD COLUMN"))) << statement.toStdString();
    }
    EXPECT_EQ(connection->real.rebuildCount(), 0);
    EXPECT_EQ(connection->real.indexBuildCount(), 0); // every index dropped and created again is kept as it was
    EXPECT_TRUE(boxes.shown().isEmpty()) << BoxTexts(boxes).toStdString();
    EXPECT_EQ(rows(QStringLiteral("SELECT count(*) FROM SprField"))[0][0].toInt(), 3);

    // The next keys follow the seeds: 42 although 50 was handed out before; 1 in the emptied table.
    auto file = ConnectionOn(dbPath());
    Exec(*file, QStringLiteral("INSERT INTO Fio (Name) VALUES ('новый')"));
    EXPECT_EQ(file->lastInsertId(), 42);
    Exec(*file, QStringLiteral("INSERT INTO FioValue (Fio_Id, Npp) VALUES (1, 1)"));
    EXPECT_EQ(file->lastInsertId(), 1);
    EXPECT_EQ(IndexNames(*file, QStringLiteral("fio")), (QStringList{"Id", "Name", "Npp"}));
}

TEST_F(CheckDatabaseTest, ColumnSizesAreBroughtBackAndAShrinkThatDoesNotFitIsRefused)
{
    check();
    const QString longDocument = QString(90, QChar(0x0416)); // 90 × "Ж"
    {
        auto file = ConnectionOn(dbPath());
        file->execute(QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Name] TEXT(100)"));
        file->execute(QStringLiteral("ALTER TABLE SprField ALTER COLUMN [Name] TEXT(50)"));
        Exec(*file, QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, 1, ?)"), {longDocument});
        Exec(*file, QStringLiteral("INSERT INTO SprField (Npp, Name) VALUES (10, ?)"), {QStringLiteral("АДРЕС")});
        ASSERT_EQ(file->columns(QStringLiteral("Fio"))[3].size, 100);
    }
    auto connection = check();
    EXPECT_TRUE(connection->statements.contains(QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Name] TEXT(250) WITH COMPRESSION")));
    EXPECT_TRUE(connection->statements.contains(QStringLiteral("ALTER TABLE SprField ALTER COLUMN [Name] TEXT(20) WITH COMPRESSION")));
    EXPECT_EQ(connection->real.rebuildCount(), 2);
    EXPECT_TRUE(boxes.shown().isEmpty()) << BoxTexts(boxes).toStdString();
    {
        auto file = ConnectionOn(dbPath());
        EXPECT_EQ(file->columns(QStringLiteral("Fio"))[3].size, 250);
        EXPECT_EQ(file->columns(QStringLiteral("SprField"))[2].size, 20);
        EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT Name FROM Fio")).toString(), longDocument);
        EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT count(*) FROM SprField")).toInt(), 4);
        EXPECT_EQ(IndexNames(*file, QStringLiteral("SprField")), (QStringList{"Id", "Name", "Npp"}));

        // Now a stored name longer than 20 characters: the shrink is refused, nothing is cut.
        file->execute(QStringLiteral("ALTER TABLE SprField ALTER COLUMN [Name] TEXT(50)"));
        Exec(*file, QStringLiteral("INSERT INTO SprField (Npp, Name) VALUES (11, ?)"),
             {QStringLiteral("ОЧЕНЬДЛИННОЕИМЯПОЛЯ_30_СИМВОЛОВ")});
    }
    boxes.clear();
    check();
    ASSERT_EQ(boxes.shown().size(), 1) << BoxTexts(boxes).toStdString();
    const MessageBoxRequest &box = boxes.shown().first();
    EXPECT_EQ(box.caption, QStringLiteral("Ошибка!"));
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Ошибка создания поля Name\r в таблице SprField\r"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("нельзя сделать TEXT(20)"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("31 символов"))) << box.text.toStdString();
    auto file = ConnectionOn(dbPath());
    EXPECT_EQ(file->columns(QStringLiteral("SprField"))[2].size, 50);
    EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT Name FROM SprField WHERE Npp = 11")).toString(),
              QStringLiteral("ОЧЕНЬДЛИННОЕИМЯПОЛЯ_30_СИМВОЛОВ"));
    EXPECT_EQ(IndexNames(*file, QStringLiteral("SprField")), (QStringList{"Id", "Name", "Npp"}));
}

TEST_F(CheckDatabaseTest, UnknownTablesAndColumnsSurviveUnknownIndexesAreDropped)
{
    check();
    {
        auto file = ConnectionOn(dbPath());
        file->execute(QStringLiteral("CREATE TABLE Extra ([Id] INT IDENTITY(1,1), [Note] TEXT(30))"));
        file->execute(QStringLiteral("CREATE INDEX [ByNote] ON Extra ([Note])"));
        Exec(*file, QStringLiteral("INSERT INTO Extra (Note) VALUES ('сохранить')"));
        file->execute(QStringLiteral("ALTER TABLE Fio ADD COLUMN [Remark] TEXT(40) WITH COMPRESSION"));
        file->execute(QStringLiteral("CREATE INDEX [ByRemark] ON Fio ([Remark])"));
        Exec(*file, QStringLiteral("INSERT INTO Fio (Name, Remark) VALUES ('a', 'примечание')"));
    }
    check();
    auto file = ConnectionOn(dbPath());
    EXPECT_TRUE(file->tableNames().contains(QStringLiteral("Extra")));
    EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT Note FROM Extra")).toString(), QStringLiteral("сохранить"));
    EXPECT_EQ(IndexNames(*file, QStringLiteral("Extra")), QStringList{"ByNote"});
    EXPECT_EQ(file->columns(QStringLiteral("Fio")).last().name, QStringLiteral("Remark"));
    EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT Remark FROM Fio")).toString(), QStringLiteral("примечание"));
    EXPECT_EQ(IndexNames(*file, QStringLiteral("Fio")), (QStringList{"Id", "Name", "Npp"}));
    EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE 'Fio.ByRemark'")).toInt(), 0);
}

TEST_F(CheckDatabaseTest, ReservedRowsAreAddedOnlyWhenMissing)
{
    check();
    {
        auto file = ConnectionOn(dbPath());
        Exec(*file, QStringLiteral("DELETE FROM SprField"));
        Exec(*file, QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isEdit) VALUES (7, 'НШ', 'своё', 0)"));
    }
    check();
    EXPECT_TRUE(boxes.shown().isEmpty()) << BoxTexts(boxes).toStdString();
    const QList<QVariantList> reserved = rows(QStringLiteral("SELECT Npp, Name, Skript, isEdit FROM SprField ORDER BY Npp"));
    ASSERT_EQ(reserved.size(), 3);
    EXPECT_EQ(reserved[0], (QVariantList{1, "НОМДОК", "Номер документа", true}));
    EXPECT_EQ(reserved[1], (QVariantList{3, "НД", "Наименование документа", true}));
    EXPECT_EQ(reserved[2], (QVariantList{7, "НШ", "своё", false}));
}

TEST_F(CheckDatabaseTest, FailuresThatEndTheCheckReachTheCaller)
{
    struct Case {
        const char *name;
        const char *spoil;    // executed on a checked file
        const char *expected; // part of the failure's message
    };
    const Case cases[] = {
        {"a taken Npp 1 stops the reserved row",
         "INSERT INTO SprField (Npp, Name) VALUES (1, 'ФИО')", "SprField"},
        // "Договор" and "ДОГОВОР" are one name to the unique index.
        {"duplicate template names fail the index",
         "INSERT INTO Shablon (Name) VALUES ('Договор'), ('ДОГОВОР')",
         "Ошибка создания индекса <[Name]> в таблице <Shablon>\r\r"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dbPath());
        check();
        {
            auto file = ConnectionOn(dbPath());
            Exec(*file, QStringLiteral("DELETE FROM SprField WHERE Npp = 1"));
            file->execute(QStringLiteral("DROP INDEX [Name] ON Shablon"));
            Exec(*file, QString::fromUtf8(c.spoil));
        }
        try {
            CheckDatabase();
            ADD_FAILURE() << "the check passed";
        } catch (const OrmenaError &error) {
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.expected))) << error.message().toStdString();
        }
    }
}

TEST_F(CheckDatabaseTest, UniqueNppMessageNamesTheIndex)
{
    check();
    {
        auto file = ConnectionOn(dbPath());
        Exec(*file, QStringLiteral("DELETE FROM SprField WHERE Npp = 1"));
        Exec(*file, QStringLiteral("INSERT INTO SprField (Npp, Name) VALUES (1, 'ФИО')"));
    }
    try {
        CheckDatabase();
        FAIL() << "the check passed";
    } catch (const OrmenaError &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral(
            "Нарушена уникальность: в таблице SprField повторяется значение поля Npp (уникальный индекс \"Npp\")")))
            << error.message().toStdString();
    }
}

TEST_F(CheckDatabaseTest, AForeignFileIsNeverWrittenTo)
{
    QByteArray jet(4096, '\0');
    jet.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
    struct Case {
        const char *name;
        QByteArray content;
        const char *expected;
    };
    const Case cases[] = {
        {"a Microsoft Access file", jet, "Microsoft Access"},
        {"a text file", QByteArray("Ormena demo notes\n").repeated(20), "не является базой данных SQLite"},
        {"a short file", QByteArray("SQLite format 3"), "не является базой данных SQLite"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        {
            QFile file(dbPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.content);
        }
        // A stray journal beside the file must not be replayed into it either.
        {
            QFile journal(dbPath() + QStringLiteral("-journal"));
            ASSERT_TRUE(journal.open(QIODevice::WriteOnly | QIODevice::Truncate));
            journal.write(QByteArray(1024, 'j'));
        }
        const QDateTime modified = QFileInfo(dbPath()).lastModified();
        try {
            CheckDatabase();
            ADD_FAILURE() << "the check passed";
        } catch (const OrmenaError &error) {
            EXPECT_TRUE(error.message().contains(dbPath())) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QString::fromUtf8(c.expected))) << error.message().toStdString();
        }
        EXPECT_EQ(FileBytes(dbPath()), c.content);
        EXPECT_EQ(QFileInfo(dbPath()).lastModified(), modified);
        EXPECT_EQ(FileBytes(dbPath() + QStringLiteral("-journal")), QByteArray(1024, 'j'));
        QFile::remove(dbPath() + QStringLiteral("-journal"));
    }
}

TEST_F(CheckDatabaseTest, RunsUnderAWaitWindowAndUsesTheWorkingFolder)
{
    // The check lets window messages run once, right after the message is set.
    QString title, message;
    bool visible = false;
    QTimer::singleShot(0, [&] {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<TWaitForm *>(widget); form && form->isVisible()) {
                visible = true;
                title = form->windowTitle();
                message = form->message();
            }
    });
    CheckDatabase();
    EXPECT_TRUE(visible);
    EXPECT_EQ(title, QStringLiteral("Ожидайте!"));
    EXPECT_EQ(message, QStringLiteral("Производится проверка базы..."));
    for (QWidget *widget : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<TWaitForm *>(widget) && widget->isVisible());
    EXPECT_TRUE(QFileInfo::exists(dbPath()));
    EXPECT_TRUE(boxes.shown().isEmpty()) << BoxTexts(boxes).toStdString();
    auto file = ConnectionOn(dbPath());
    EXPECT_EQ(Scalar(*file, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
}

// The child side of the kill test: checks and re-shapes the file until killed.
TEST(CheckDatabaseChild, DISABLED_LoopUntilKilled)
{
    const QString folder = qEnvironmentVariable("ORMENA_KILL_TEST_DIR");
    ASSERT_FALSE(folder.isEmpty());
    ScriptedMessageBoxes boxes;
    for (int round = 0;; ++round) {
        {
            auto file = ConnectionOn(folder + QStringLiteral("/Ormena.mdb"));
            file->execute(round % 2 ? QStringLiteral("ALTER TABLE FioValue ALTER COLUMN [Value_] TEXT(200)")
                                    : QStringLiteral("ALTER TABLE Fio ALTER COLUMN [Name] TEXT(100)"));
            file->execute(QStringLiteral("DROP INDEX [Key_] ON FioValue"));
            Exec(*file, QStringLiteral("INSERT INTO Shablon (Name) VALUES (?)"), {QStringLiteral("Шаблон %1-%2").arg(QCoreApplication::applicationPid()).arg(round)});
        }
        SqliteConnection connection;
        CheckDatabaseAt(folder, connection);
    }
}

TEST_F(CheckDatabaseTest, KillNineAtAnyMomentLeavesAFileThatPassesTheNextCheck)
{
    check();
    {
        auto file = ConnectionOn(dbPath());
        DbTransaction transaction(*file);
        auto insertFio = file->prepare(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, ?, ?)"));
        auto insertValue =
            file->prepare(QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Npp, Value_) "
                                         "VALUES (1, ?, ?, ?, ?)"));
        for (int i = 1; i <= 5000; ++i) {
            insertFio->bindValue(0, i);
            insertFio->bindValue(1, QStringLiteral("Документ номер %1").arg(i));
            insertFio->exec();
            for (int f = 1; f <= 4; ++f) {
                insertValue->bindValue(0, i);
                insertValue->bindValue(1, f);
                insertValue->bindValue(2, f);
                insertValue->bindValue(3, QStringLiteral("Значение %1-%2").arg(i).arg(f));
                insertValue->exec();
            }
        }
        transaction.commit();
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ORMENA_KILL_TEST_DIR"), ws.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    int killedMidTransaction = 0;
    qint64 roundsSeen = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        SCOPED_TRACE(attempt);
        QProcess child;
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=CheckDatabaseChild.DISABLED_LoopUntilKilled")});
        ASSERT_TRUE(child.waitForStarted());
        QThread::msleep(300 + QRandomGenerator::global()->bounded(1500));
        ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardOutput().toStdString();
        child.kill(); // SIGKILL
        child.waitForFinished();
        if (QFileInfo(dbPath() + QStringLiteral("-journal")).size() > 0)
            ++killedMidTransaction; // a hot journal: the kill interrupted a write

        auto connection = check();
        EXPECT_TRUE(boxes.shown().isEmpty()) << BoxTexts(boxes).toStdString();
        auto file = ConnectionOn(dbPath());
        EXPECT_EQ(Scalar(*file, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT count(*) FROM Fio")).toInt(), 5000);
        EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT count(*) FROM FioValue")).toInt(), 20000);
        EXPECT_EQ(Scalar(*file, QStringLiteral("SELECT Value_ FROM FioValue WHERE Fio_Id = 4321 AND Npp = 3")).toString(),
                  QStringLiteral("Значение 4321-3"));
        EXPECT_EQ(file->columns(QStringLiteral("Fio"))[3].size, 250);
        EXPECT_EQ(file->columns(QStringLiteral("FioValue"))[4].size, 255);
        EXPECT_EQ(IndexNames(*file, QStringLiteral("FioValue")), (QStringList{"Id", "Key_", "Npp"}));
        const qint64 rounds = Scalar(*file, QStringLiteral("SELECT count(*) FROM Shablon")).toLongLong();
        EXPECT_GT(rounds, roundsSeen); // the child got through at least one more round
        roundsSeen = rounds;
    }
    std::cout << "kills that interrupted a write: " << killedMidTransaction << " of 8\n";
}

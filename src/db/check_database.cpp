#include "db/check_database.h"

#include "common/file_utils.h"
#include "common/wait_form.h"
#include "db/ado_dao_tools.h"
#include "db/database_schema.h"
#include "db/sqlite_engine.h"

#include <QCoreApplication>
#include <QDir>

namespace {

// Closes the check's connection on every way out.
class ClosedOnExit {
public:
    explicit ClosedOnExit(DbConnection &connection) : m_connection(connection) {}
    ~ClosedOnExit() { m_connection.close(); }
    ClosedOnExit(const ClosedOnExit &) = delete;
    ClosedOnExit &operator=(const ClosedOnExit &) = delete;

private:
    DbConnection &m_connection;
};

void CheckTable(DbConnection &connection, const SchemaTable &table)
{
    CreateTable(connection, table.name, {});
    for (const SchemaColumn &column : table.columns)
        AddOrAlterField(MakeAccessField(connection, table.name, column.name, column.kind, column.size));
    DropAllIndexes(connection, table.name);
    CreateIndex(connection, table.name, QStringLiteral("Id"), QStringLiteral("Id"), true, inNone);
    for (const SchemaIndex &index : table.indexes)
        CreateIndex(connection, table.name, index.name, index.columns, index.unique, inNone);
}

// Adds each reserved dictionary row whose name is missing; rows that exist are
// left as they are, whatever their other columns hold.
void AddReservedFields(DbConnection &connection)
{
    for (const ReservedField &field : ReservedFields()) {
        auto find = connection.prepare(QStringLiteral("SELECT count(*) FROM SprField WHERE Name = ?"));
        find->bindValue(0, field.name);
        if (find->next() && find->value(0).toLongLong() > 0)
            continue;
        auto insert =
            connection.prepare(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isEdit) VALUES (?, ?, ?, ?)"));
        insert->bindValue(0, field.npp);
        insert->bindValue(1, field.name);
        insert->bindValue(2, field.skript);
        insert->bindValue(3, true);
        insert->exec();
    }
}

} // namespace

void CheckDatabaseAt(const QString &directory, DbConnection &connection)
{
    ClosedOnExit closed(connection);
    ScopedWaitForm wait(QString(), QStringLiteral("Ожидайте!"), wsAnimation);
    wait->PlaceAt(5);
    wait->SetMessage(QStringLiteral("Производится проверка базы..."));
    QCoreApplication::processEvents();

    if (CreateAccessDatabase(directory + QDir::separator() + kDatabaseFileName))
        SetDatabasePath(connection, kDatabaseFileName, directory, true, omReadWrite);
    for (const SchemaTable &table : DatabaseSchema())
        CheckTable(connection, table);
    AddReservedFields(connection);
}

void CheckDatabase()
{
    SqliteConnection connection;
    CheckDatabaseAt(NormalizeDir(QDir::currentPath()), connection);
}

#include "db/ado_dao_tools.h"

#include "common/errors.h"
#include "common/file_utils.h"
#include "common/message_boxes.h"
#include "common/text_utils.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The name comparison of every existence test: trimmed, upper-cased, case-blind.
bool SameName(const QString &a, const QString &b)
{
    return SameTextNoCase(TrimUpper(a), TrimUpper(b));
}

// Replaces the text between a key and the next ";" (or the end) by a value.
QString ReplaceKeyValue(const QString &text, const QString &key, const QString &value)
{
    // The key itself, at the start or after a ";", not the same letters inside a path.
    qsizetype at = -1;
    for (qsizetype from = 0; (from = text.indexOf(key, from)) >= 0; from += key.size())
        if (from == 0 || text.at(from - 1) == QLatin1Char(';')) {
            at = from;
            break;
        }
    if (at < 0)
        return text + (text.isEmpty() || text.endsWith(QLatin1Char(';')) ? QString() : QStringLiteral(";")) + key
            + value + QLatin1Char(';');
    const qsizetype start = at + key.size();
    qsizetype end = text.indexOf(QLatin1Char(';'), start);
    if (end < 0)
        end = text.size();
    QString result = text;
    result.replace(start, end - start, value);
    return result;
}

QString KindSuffix(TAccessFieldKind kind)
{
    switch (kind) {
    case afInteger:
        return QStringLiteral(" INT, ");
    case afImage:
        return QStringLiteral(" IMAGE, ");
    case afLongText:
        return QStringLiteral(" TEXT, ");
    case afFloat:
        return QStringLiteral(" FLOAT, ");
    case afBit:
        return QStringLiteral(" BIT, ");
    case afMoney:
        return QStringLiteral(" MONEY, ");
    case afDateTime:
        return QStringLiteral(" DATETIME, ");
    case afBinary:
        return QStringLiteral(" BINARY, ");
    default:
        return QString();
    }
}

QString MessageOf(const std::exception &error)
{
    if (const auto *ormena = dynamic_cast<const OrmenaError *>(&error))
        return ormena->message();
    return QString::fromUtf8(error.what());
}

} // namespace

QString FormatS(const QString &pattern, const QStringList &arguments)
{
    QString result = pattern;
    qsizetype from = 0;
    for (const QString &argument : arguments) {
        const qsizetype at = result.indexOf(QLatin1String("%S"), from);
        if (at < 0)
            break;
        result.replace(at, 2, argument);
        from = at + argument.size();
    }
    return result;
}

QString CreateConnectionString(const QString &path)
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path
        + QStringLiteral(";Jet OLEDB:Engine Type=5;");
}

QString OpenModeWord(TOpenMode mode)
{
    switch (mode) {
    case omReadWrite:
        return QStringLiteral("ReadWrite");
    case omRead:
        return QStringLiteral("Read");
    case omWrite:
        return QStringLiteral("Write");
    case omShareDenyReadWrite:
        return QStringLiteral("Share Deny Read|Share Deny Write");
    case omShareDenyNone:
        return QStringLiteral("Share Deny None");
    default:
        return QString();
    }
}

bool CreateAccessDatabase(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    CreateSqliteDatabaseFile(ConnectionStringValue(CreateConnectionString(path), QStringLiteral("Data Source=")));
    return true;
}

TAccessField MakeAccessField(DbConnection &connection, const QString &table, const QString &column,
                             TAccessFieldKind kind, qint32 size)
{
    return TAccessField{&connection, table, column, kind, size};
}

QString BuildFieldList(const TAccessFields &fields)
{
    QString text;
    bool autoIncSeen = false;
    for (const TAccessField &field : fields) {
        const QString name = QLatin1Char('[') + field.FieldName + QLatin1Char(']');
        switch (field.Kind) {
        case afAutoInc: {
            if (autoIncSeen)
                throw OrmenaError(QStringLiteral("В таблицах MsAccess допускается только одно автоинкрементное поле"));
            autoIncSeen = true;
            qint32 seed = 1;
            if (!field.Connection)
                throw OrmenaError(QStringLiteral("Для поля \"%1\" не задано соединение с базой данных.").arg(field.FieldName));
            // A table that does not exist yet (CREATE TABLE with its columns) has no
            // keys: its seed is 1, instead of the failure FieldExists gives there.
            if (TableExists(*field.Connection, field.TableName)
                && FieldExists(*field.Connection, field.TableName, field.FieldName)) {
                const QVariant largest =
                    Get_FieldValueBySql(*field.Connection,
                                        FormatS(QStringLiteral("Select Max(%S) as x From %S"),
                                                {field.FieldName, field.TableName}),
                                        QStringLiteral("x"), QString(), true);
                seed = static_cast<qint32>(largest.toLongLong() + 1);
            }
            text += name + QStringLiteral(" INT IDENTITY(%D,1), ");
            text.replace(QLatin1String("%D"), QString::number(seed));
            break;
        }
        case afText:
        case afText2:
            if (field.Size > 255)
                throw OrmenaError(QStringLiteral("Размер текстового поля превысил 255 символов"));
            text += name + QStringLiteral(" TEXT(") + QString::number(field.Size) + QStringLiteral(") WITH COMPRESSION")
                + QStringLiteral(", ");
            break;
        default: {
            const QString suffix = KindSuffix(field.Kind);
            if (!suffix.isEmpty())
                text += name + suffix;
            break;
        }
        }
    }
    if (!text.isEmpty()) {
        DropLastChar(text);
        DropLastChar(text);
    }
    return text;
}

bool TableExists(DbConnection &connection, const QString &table)
{
    connection.close();
    for (const QString &name : connection.tableNames())
        if (SameName(name, table))
            return true;
    return false;
}

bool FieldExists(DbConnection &connection, const QString &table, const QString &column)
{
    if (!TableExists(connection, table))
        throw OrmenaError(FormatS(QStringLiteral("Нельзя проверить наличие поля \"%S\" в несуществующей таблице \"%S\" !"),
                                  {column, table}));
    for (const DbColumnInfo &info : connection.columns(TrimUpper(table)))
        if (SameName(info.name, column))
            return true;
    return false;
}

bool IndexExists(DbConnection &connection, const QString &table, const QString &index)
{
    if (!TableExists(connection, table))
        throw OrmenaError(FormatS(
            QStringLiteral("Нельзя проверить наличие индекса \"%S\" в несуществующей таблице \"%S\" !"), {index, table}));
    for (const DbIndexInfo &info : connection.indexes(TrimUpper(table)))
        if (SameName(info.name, index))
            return true;
    return false;
}

bool CreateTable(DbConnection &connection, const QString &table, const TAccessFields &fields)
{
    if (TableExists(connection, table))
        return false;
    const QString definitions = BuildFieldList(fields);
    const QString statement = definitions.isEmpty()
        ? QStringLiteral("CREATE TABLE ") + table
        : QStringLiteral("CREATE TABLE ") + table + QStringLiteral(" (") + definitions + QStringLiteral(")");
    ExecuteSql(connection, statement);
    return true;
}

bool AddOrAlterField(const TAccessField &field)
{
    if (!field.Connection)
        throw OrmenaError(QStringLiteral("Для поля \"%1\" не задано соединение с базой данных.").arg(field.FieldName));
    DbConnection &connection = *field.Connection;
    if (!TableExists(connection, field.TableName))
        throw OrmenaError(FormatS(QStringLiteral("Попытка добавления поля \"%S\" в несуществующую таблицу \"%S\""),
                                  {field.FieldName, field.TableName}));
    const bool exists = FieldExists(connection, field.TableName, field.FieldName);
    const QString definition = BuildFieldList({field});
    const QString statement = QStringLiteral("ALTER TABLE ") + field.TableName
        + (exists ? QStringLiteral(" ALTER COLUMN ") : QStringLiteral(" ADD COLUMN ")) + definition;
    try {
        ExecuteSql(connection, statement);
    } catch (const std::exception &error) {
        ShowError(QStringLiteral("Ошибка создания поля ") + field.FieldName + QStringLiteral("\r")
                      + QStringLiteral(" в таблице ") + field.TableName,
                  MessageOf(error));
    }
    return true;
}

QString IndexColumnList(const QString &index, const QString &columns)
{
    if (columns.isEmpty())
        return QLatin1Char('[') + index + QLatin1Char(']');
    const QString comma = QStringLiteral(",");
    QStringList pieces;
    const int count = WordCount(columns, comma);
    for (int i = 1; i <= count; ++i)
        pieces.append(QLatin1Char('[') + ExtractWord(columns, comma, i).trimmed() + QLatin1Char(']'));
    return pieces.join(comma);
}

bool CreateIndex(DbConnection &connection, const QString &table, const QString &index, const QString &columns,
                 bool unique, TIndexNullMode nullMode)
{
    if (!TableExists(connection, table))
        throw OrmenaError(FormatS(QStringLiteral("Попытка добавления индекса \"%S\" в несуществующую таблицу \"%S\""),
                                  {index, table}));
    if (IndexExists(connection, table, index))
        return true;
    const QString indexName = QLatin1Char('[') + index + QLatin1Char(']');
    QString statement = (unique ? QStringLiteral("CREATE UNIQUE INDEX ") : QStringLiteral("CREATE INDEX ")) + indexName
        + QStringLiteral(" ON ") + table + QStringLiteral(" (") + IndexColumnList(index, columns) + QStringLiteral(")");
    if (nullMode == inDisallowNull)
        statement += QStringLiteral(" WITH DISALLOW NULL");
    else if (nullMode == inIgnoreNull)
        statement += QStringLiteral(" WITH IGNORE NULL");
    try {
        ExecuteSql(connection, statement);
    } catch (const std::exception &error) {
        throw OrmenaError(FormatS(QStringLiteral("Ошибка создания индекса <%S> в таблице <%S>"), {indexName, table})
                          + QStringLiteral("\r\r") + MessageOf(error));
    }
    return true;
}

bool DropIndex(DbConnection &connection, const QString &table, const QString &index)
{
    if (!TableExists(connection, table))
        throw OrmenaError(FormatS(QStringLiteral("Попытка удаления индекса \"%S\" из несуществующей таблицу \"%S\""),
                                  {index, table}));
    if (!IndexExists(connection, table, index))
        return false;
    ExecuteSql(connection, QStringLiteral("DROP INDEX [") + index + QStringLiteral("] ON ") + table);
    return true;
}

bool DropAllIndexes(DbConnection &connection, const QString &table)
{
    if (!TableExists(connection, table))
        throw OrmenaError(
            FormatS(QStringLiteral("Попытка удаления индексов в несуществующей таблице \"%S\" !"), {table}));
    const QString upper = TrimUpper(table);
    QStringList names;
    for (const DbIndexInfo &info : connection.indexes(upper))
        names.append(info.name);
    for (const QString &name : std::as_const(names))
        DropIndex(connection, upper, name.trimmed());
    return true;
}

void ExecuteSql(DbConnection &connection, const QString &statement)
{
    connection.execute(statement);
}

QVariant Get_FieldValueBySql(DbConnection &connection, const QString &query, const QString &column,
                             const QString &caller, bool takeLast)
{
    const QString context = caller.isEmpty() ? QStringLiteral("Get_FieldValueBySql")
                                             : caller + QStringLiteral(" -> ") + QStringLiteral("Get_FieldValueBySql");
    try {
        std::unique_ptr<DbQuery> dataset = connection.prepare(query);
        if (!dataset->next())
            return QVariant(0);
        QVariant value = dataset->value(column);
        if (takeLast)
            while (dataset->next())
                value = dataset->value(column);
        return value.isValid() && !value.isNull() ? value : QVariant(0);
    } catch (const std::exception &error) {
        ShowError(QStringLiteral("Ошибка выполнения запроса (") + context + QStringLiteral("):") + QStringLiteral("\r")
                      + query,
                  MessageOf(error));
        return QVariant(0);
    }
}

bool SetDatabasePath(DbConnection &connection, const QString &fileName, const QString &directory, bool mustExist,
                     TOpenMode mode)
{
    const QString folder = NormalizeDir(directory.isEmpty() ? QDir::currentPath() : directory);
    const QString path = folder + QDir::separator() + fileName;
    if (mustExist && !QFileInfo::exists(path))
        throw OrmenaError(QStringLiteral("Нет файла базы данных\r") + path);
    connection.close();
    try {
        connection.setConnectionString(kOpenConnectionTemplate);
        connection.setConnectionString(
            ReplaceKeyValue(connection.connectionString(), QStringLiteral("Data Source="), path));
        SetOpenMode(connection, mode);
    } catch (const std::exception &error) {
        ShowError(QStringLiteral("Возникла ошибка при установлении пути \r") + path + QStringLiteral("\r")
                      + QStringLiteral("и установки режима открытия базы."),
                  MessageOf(error));
        return false;
    }
    return true;
}

void SetOpenMode(DbConnection &connection, TOpenMode mode)
{
    if (connection.isConnected())
        throw OrmenaError(QStringLiteral("Не могу сменить режим открытия на уже открытой базе данных!"));
    connection.setConnectionString(
        ReplaceKeyValue(connection.connectionString(), QStringLiteral("Mode="), OpenModeWord(mode)));
}

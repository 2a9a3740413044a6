#include "db/sqlite_schema_editor.h"

#include "common/errors.h"
#include "db/sqlite_engine.h"
#include "db/sqlite_functions.h"

#include <QRegularExpression>

#include <sqlite3.h>

namespace {

constexpr const char *kRebuildTable = "ormena_rebuild";

// The definition as an operator reads it in a message: TEXT(20), INT IDENTITY, ...
QString DefinitionText(const JetColumnDefinition &column)
{
    switch (column.kind) {
    case DbColumnKind::AutoInc:
        return QStringLiteral("INT IDENTITY");
    case DbColumnKind::Text:
        return QStringLiteral("TEXT(%1)").arg(column.size);
    case DbColumnKind::LongText:
        return QStringLiteral("TEXT");
    case DbColumnKind::Integer:
        return QStringLiteral("INT");
    case DbColumnKind::Image:
        return QStringLiteral("IMAGE");
    case DbColumnKind::Float:
        return QStringLiteral("FLOAT");
    case DbColumnKind::Bit:
        return QStringLiteral("BIT");
    case DbColumnKind::Money:
        return QStringLiteral("MONEY");
    case DbColumnKind::DateTime:
        return QStringLiteral("DATETIME");
    case DbColumnKind::Binary:
        return QStringLiteral("BINARY");
    case DbColumnKind::Unknown:
        break;
    }
    return QString();
}

QString SqlLiteral(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

bool IsReservedName(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("ormena_"), Qt::CaseInsensitive);
}

bool SameName(const QString &a, const QString &b)
{
    return CompareNoCase(a.trimmed(), b.trimmed()) == 0;
}

// Turns PRAGMA legacy_alter_table on for a rebuild: the final RENAME must not
// try to re-parse views and triggers while the old table is gone.
class LegacyAlterTable {
public:
    explicit LegacyAlterTable(SqliteConnection &connection) : m_connection(connection)
    {
        m_connection.executeNative(QStringLiteral("PRAGMA legacy_alter_table=ON"));
    }
    ~LegacyAlterTable()
    {
        try {
            m_connection.executeNative(QStringLiteral("PRAGMA legacy_alter_table=OFF"));
        } catch (...) {
        }
    }

private:
    SqliteConnection &m_connection;
};

} // namespace

// ---------------------------------------------------------------------------
// Reading table definitions

QStringList SqliteSchemaEditor::SplitTableDefinition(const QString &createSql, QString *tableOptions)
{
    QStringList items;
    int depth = 0;
    QChar quote;
    qsizetype start = -1;
    for (qsizetype i = 0; i < createSql.size(); ++i) {
        const QChar c = createSql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('`')) {
            quote = c;
        } else if (c == QLatin1Char('[')) {
            quote = QLatin1Char(']');
        } else if (c == QLatin1Char('(')) {
            if (++depth == 1)
                start = i + 1;
        } else if (c == QLatin1Char(')')) {
            if (--depth == 0) {
                items.append(createSql.mid(start, i - start).trimmed());
                if (tableOptions)
                    *tableOptions = createSql.mid(i + 1).trimmed();
                return items;
            }
        } else if (c == QLatin1Char(',') && depth == 1) {
            items.append(createSql.mid(start, i - start).trimmed());
            start = i + 1;
        }
    }
    return items;
}

QString SqliteSchemaEditor::ItemColumnName(const QString &item)
{
    if (item.isEmpty())
        return QString();
    const QChar first = item.at(0);
    if (first == QLatin1Char('"') || first == QLatin1Char('`') || first == QLatin1Char('[')
        || first == QLatin1Char('\'')) {
        const QChar closing = first == QLatin1Char('[') ? QLatin1Char(']') : first;
        QString name;
        for (qsizetype i = 1; i < item.size(); ++i) {
            if (item.at(i) == closing) {
                if (closing != QLatin1Char(']') && i + 1 < item.size() && item.at(i + 1) == closing) {
                    name += closing;
                    ++i;
                    continue;
                }
                break;
            }
            name += item.at(i);
        }
        return name;
    }
    qsizetype end = 0;
    while (end < item.size() && !item.at(end).isSpace())
        ++end;
    const QString word = item.left(end);
    static const QStringList constraints = {QStringLiteral("CONSTRAINT"), QStringLiteral("PRIMARY"),
                                            QStringLiteral("UNIQUE"), QStringLiteral("CHECK"),
                                            QStringLiteral("FOREIGN")};
    for (const QString &keyword : constraints)
        if (word.compare(keyword, Qt::CaseInsensitive) == 0)
            return QString();
    return word;
}

SqliteSchemaEditor::TableShape SqliteSchemaEditor::shapeOf(const QString &storedTable)
{
    TableShape shape;
    shape.name = storedTable;
    const QString sql = masterSql(QStringLiteral("table"), storedTable);
    if (sql.isEmpty())
        throw OrmenaError(QStringLiteral("\"%1\" — это запрос (представление), а не таблица.").arg(storedTable));
    for (const QString &text : SplitTableDefinition(sql, &shape.options)) {
        TableItem item{text, ItemColumnName(text)};
        if (item.column == QLatin1String(kPlaceholderColumn)) {
            shape.hasPlaceholder = true;
            continue;
        }
        shape.items.append(item);
    }
    for (const DbColumnInfo &column : m_connection.columns(storedTable))
        if (column.identity)
            shape.identityColumn = column.name;
    return shape;
}

QString SqliteSchemaEditor::masterSql(const QString &type, const QString &name)
{
    auto query = m_connection.prepare(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = ? AND name = ?"));
    query->bindValue(0, type);
    query->bindValue(1, name);
    return query->next() ? query->value(0).toString() : QString();
}

qint64 SqliteSchemaEditor::scalar(const QString &sql, const QVariantList &values)
{
    auto query = m_connection.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    return query->next() ? query->value(0).toLongLong() : 0;
}

QString SqliteSchemaEditor::requireTable(const QString &table)
{
    const QString stored = m_connection.findTable(table);
    if (stored.isEmpty())
        throw OrmenaError(QStringLiteral("Нет таблицы \"%1\" в базе данных.").arg(table));
    return stored;
}

void SqliteSchemaEditor::validate(const JetColumnDefinition &column) const
{
    if (column.name.trimmed().isEmpty())
        throw OrmenaError(QStringLiteral("Пустое имя поля."));
    if (column.name == QLatin1String(kPlaceholderColumn))
        throw OrmenaError(QStringLiteral("Имя поля \"%1\" занято самой программой.").arg(column.name));
    if (column.kind == DbColumnKind::Text && (column.size < 1 || column.size > 255))
        throw OrmenaError(QStringLiteral("Размер текстового поля \"%1\" должен быть от 1 до 255 символов, а указано %2.")
                              .arg(column.name)
                              .arg(column.size));
    if (column.kind == DbColumnKind::AutoInc && column.increment != 1)
        throw OrmenaError(QStringLiteral("Шаг счётчика поля \"%1\" может быть только 1, а указано %2.")
                              .arg(column.name)
                              .arg(column.increment));
}

// ---------------------------------------------------------------------------
// Statements

void SqliteSchemaEditor::apply(const JetStatement &statement)
{
    // A CREATE INDEX may take back a pending drop, and further DROP INDEX
    // statements join the pending ones; anything else sees the drops done.
    if (statement.type != JetStatementType::CreateIndex && statement.type != JetStatementType::DropIndex)
        m_connection.applyPendingIndexDrops();
    switch (statement.type) {
    case JetStatementType::CreateTable:
        createTable(statement);
        break;
    case JetStatementType::AddColumn:
        addColumn(statement);
        break;
    case JetStatementType::AlterColumn:
        alterColumn(statement);
        break;
    case JetStatementType::CreateIndex:
        createIndex(statement);
        break;
    case JetStatementType::DropIndex:
        dropIndex(statement);
        break;
    case JetStatementType::DropTable:
        dropTable(statement);
        break;
    case JetStatementType::Other:
        break;
    }
}

void SqliteSchemaEditor::createTable(const JetStatement &statement)
{
    const QString table = statement.table.trimmed();
    if (!m_connection.findTable(table).isEmpty())
        throw OrmenaError(QStringLiteral("Таблица \"%1\" уже есть в базе данных.").arg(table));
    if (IsReservedName(table))
        throw OrmenaError(QStringLiteral("Имя таблицы \"%1\" занято самой базой данных.").arg(table));
    QStringList items;
    const JetColumnDefinition *identity = nullptr;
    for (const JetColumnDefinition &column : statement.columns) {
        validate(column);
        for (const JetColumnDefinition &other : statement.columns)
            if (&other != &column && SameName(other.name, column.name))
                throw OrmenaError(QStringLiteral("Поле \"%1\" указано в таблице \"%2\" дважды.").arg(column.name, table));
        if (column.kind == DbColumnKind::AutoInc) {
            if (identity)
                throw OrmenaError(QStringLiteral("В таблице \"%1\" может быть только одно поле-счётчик.").arg(table));
            identity = &column;
        }
        items.append(SqliteColumnDefinition(table, column));
    }
    if (items.isEmpty())
        items.append(QuoteIdentifier(QLatin1String(kPlaceholderColumn)) + QStringLiteral(" INT"));
    DbTransaction transaction(m_connection);
    m_connection.executeNative(
        QStringLiteral("CREATE TABLE %1 (%2)").arg(QuoteIdentifier(table), items.join(QStringLiteral(", "))));
    if (identity)
        setIdentitySeed(table, identity->seed);
    transaction.commit();
}

void SqliteSchemaEditor::addColumn(const JetStatement &statement)
{
    const QString table = requireTable(statement.table);
    const JetColumnDefinition column = statement.columns.value(0);
    validate(column);
    const TableShape shape = shapeOf(table);
    for (const TableItem &item : shape.items)
        if (!item.column.isEmpty() && SameName(item.column, column.name))
            throw OrmenaError(QStringLiteral("Поле \"%1\" уже есть в таблице \"%2\".").arg(column.name, table));
    if (column.kind == DbColumnKind::AutoInc && !shape.identityColumn.isEmpty())
        throw OrmenaError(QStringLiteral("В таблице \"%1\" уже есть поле-счётчик \"%2\"; второе добавить нельзя.")
                              .arg(table, shape.identityColumn));
    const QString definition = SqliteColumnDefinition(table, column);
    if (column.kind != DbColumnKind::AutoInc && !shape.hasPlaceholder) {
        m_connection.executeNative(
            QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(QuoteIdentifier(table), definition));
        return;
    }
    // SQLite adds neither a key column nor drops the stand-in column of an empty
    // table in place: the table is rebuilt with the new column.
    QList<RebuildColumn> columns;
    for (const TableItem &item : shape.items)
        columns.append({item.text, item.column, item.column.isEmpty() ? QString() : QuoteIdentifier(item.column)});
    columns.append({definition, column.name, QString()});
    rebuild(shape, columns, column.kind == DbColumnKind::AutoInc ? column.seed : 0);
}

void SqliteSchemaEditor::alterColumn(const JetStatement &statement)
{
    const QString table = requireTable(statement.table);
    JetColumnDefinition column = statement.columns.value(0);
    validate(column);
    const TableShape shape = shapeOf(table);
    qsizetype position = -1;
    for (qsizetype i = 0; i < shape.items.size(); ++i)
        if (!shape.items.at(i).column.isEmpty() && SameName(shape.items.at(i).column, column.name))
            position = i;
    if (position < 0)
        throw OrmenaError(QStringLiteral("Нет поля \"%1\" в таблице \"%2\".").arg(column.name, table));
    const TableItem &current = shape.items.at(position);
    column.name = current.column; // ALTER COLUMN never renames
    if (column.kind == DbColumnKind::AutoInc && !shape.identityColumn.isEmpty()
        && !SameName(shape.identityColumn, column.name))
        throw OrmenaError(QStringLiteral("В таблице \"%1\" уже есть поле-счётчик \"%2\"; второго быть не может.")
                              .arg(table, shape.identityColumn));

    const QString definition = SqliteColumnDefinition(table, column);
    if (current.text == definition) {
        // Re-declared as it is: only an identity seed may change, and no row moves.
        if (column.kind == DbColumnKind::AutoInc)
            setIdentitySeed(table, column.seed);
        return;
    }
    requireFits(shape, current.column, column);
    QList<RebuildColumn> columns;
    for (qsizetype i = 0; i < shape.items.size(); ++i) {
        const TableItem &item = shape.items.at(i);
        if (i == position)
            columns.append({definition, item.column,
                            QStringLiteral("ormena_convert(%1, %2)")
                                .arg(QuoteIdentifier(item.column))
                                .arg(static_cast<int>(column.kind))});
        else
            columns.append({item.text, item.column, item.column.isEmpty() ? QString() : QuoteIdentifier(item.column)});
    }
    rebuild(shape, columns, column.kind == DbColumnKind::AutoInc ? column.seed : 0);
}

void SqliteSchemaEditor::requireFits(const TableShape &shape, const QString &column, const JetColumnDefinition &target)
{
    const QString name = QuoteIdentifier(column);
    const QString table = QuoteIdentifier(shape.name);
    const qint64 misfits = scalar(QStringLiteral("SELECT count(*) FROM %1 WHERE NOT ormena_fits(%2, %3, %4)")
                                      .arg(table, name)
                                      .arg(static_cast<int>(target.kind))
                                      .arg(target.size));
    QString problem;
    if (misfits > 0) {
        auto sample = m_connection.prepare(QStringLiteral("SELECT %2 FROM %1 WHERE NOT ormena_fits(%2, %3, %4) LIMIT 1")
                                               .arg(table, name)
                                               .arg(static_cast<int>(target.kind))
                                               .arg(target.size));
        QString example;
        if (sample->next())
            example = sample->isNull(0) ? QStringLiteral("пустое значение") : sample->value(0).toString().left(60);
        problem = QStringLiteral("в %1 записях значение не помещается в новое определение (например, \"%2\")")
                      .arg(misfits)
                      .arg(example);
        if (target.kind == DbColumnKind::Text) {
            const qint64 longest = scalar(QStringLiteral("SELECT max(length(%2)) FROM %1").arg(table, name));
            problem += QStringLiteral("; самое длинное значение — %1 символов").arg(longest);
        }
    } else if (target.kind == DbColumnKind::AutoInc) {
        const qint64 repeated = scalar(
            QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 GROUP BY %2 HAVING count(*) > 1)").arg(table, name));
        if (repeated > 0)
            problem = QStringLiteral("в поле повторяются значения (%1 повторяющихся)").arg(repeated);
    }
    if (!problem.isEmpty())
        throw OrmenaError(QStringLiteral("Поле %1 таблицы %2 нельзя сделать %3: %4. Изменение отменено, данные не "
                                         "изменены.")
                              .arg(column, shape.name, DefinitionText(target), problem));
}

void SqliteSchemaEditor::rebuild(const TableShape &shape, const QList<RebuildColumn> &columns, qint64 identitySeed)
{
    const QString table = QuoteIdentifier(shape.name);
    const QString temporary = QuoteIdentifier(QLatin1String(kRebuildTable));
    LegacyAlterTable legacy(m_connection);
    DbTransaction transaction(m_connection);

    // Indexes and triggers go with the old table; their texts bring them back.
    QStringList dependents;
    {
        auto query = m_connection.prepare(
            QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = ? AND type IN ('index','trigger') "
                           "AND sql IS NOT NULL ORDER BY rowid"));
        query->bindValue(0, shape.name);
        while (query->next())
            dependents.append(query->value(0).toString());
    }
    const bool hadSequence =
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_sequence'")) > 0;
    const qint64 oldSequence =
        hadSequence ? scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {shape.name}) : 0;

    QStringList definitions, targets, sources;
    QString identity;
    for (const RebuildColumn &column : columns) {
        definitions.append(column.definition);
        if (column.definition.contains(QLatin1String("PRIMARY KEY AUTOINCREMENT")) && !column.column.isEmpty())
            identity = column.column;
        if (!column.column.isEmpty() && !column.source.isEmpty()) {
            targets.append(QuoteIdentifier(column.column));
            sources.append(column.source);
        }
    }
    QString createSql = QStringLiteral("CREATE TABLE %1 (%2)").arg(temporary, definitions.join(QStringLiteral(", ")));
    if (!shape.options.isEmpty())
        createSql += QLatin1Char(' ') + shape.options;
    m_connection.executeNative(QStringLiteral("DROP TABLE IF EXISTS %1").arg(temporary));
    m_connection.executeNative(createSql);
    // A new key column numbers the kept rows from its seed, in their old order.
    if (!identity.isEmpty() && identitySeed != 0)
        setIdentitySeed(QLatin1String(kRebuildTable), identitySeed);
    if (!targets.isEmpty()) {
        const bool hasRowid = !shape.options.contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive);
        m_connection.executeNative(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4%5")
                                       .arg(temporary, targets.join(QStringLiteral(", ")),
                                            sources.join(QStringLiteral(", ")), table,
                                            hasRowid ? QStringLiteral(" ORDER BY rowid") : QString()));
    } else {
        // No column to copy (a table that had none): keep the number of rows.
        m_connection.executeNative(
            QStringLiteral("INSERT INTO %1 (rowid) SELECT NULL FROM %2 ORDER BY rowid").arg(temporary, table));
    }
    m_connection.executeNative(QStringLiteral("DROP TABLE %1").arg(table));
    m_connection.executeNative(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(temporary, table));
    for (const QString &sql : std::as_const(dependents))
        m_connection.executeNative(sql);
    if (!identity.isEmpty()) {
        if (identitySeed != 0)
            setIdentitySeed(shape.name, identitySeed);
        else if (oldSequence > 0)
            setIdentitySeed(shape.name, oldSequence + 1);
    }
    transaction.commit();
    m_connection.noteRebuild();
}

void SqliteSchemaEditor::setIdentitySeed(const QString &storedTable, qint64 seed)
{
    // AUTOINCREMENT hands out one more than the larger of the stored sequence and
    // the largest key, so the sequence is set to one less than the seed.
    const qint64 sequence = seed - 1;
    auto current = m_connection.prepare(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"));
    current->bindValue(0, storedTable);
    if (current->next()) {
        if (current->value(0).toLongLong() == sequence)
            return;
        current.reset();
        auto update = m_connection.prepare(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ?"));
        update->bindValue(0, sequence);
        update->bindValue(1, storedTable);
        update->exec();
        return;
    }
    current.reset();
    auto insert = m_connection.prepare(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"));
    insert->bindValue(0, storedTable);
    insert->bindValue(1, sequence);
    insert->exec();
}

void SqliteSchemaEditor::createIndex(const JetStatement &statement)
{
    const QString table = requireTable(statement.table);
    const QString index = statement.index.trimmed();
    for (const DbIndexInfo &existing : m_connection.indexes(table))
        if (SameName(existing.name, index))
            throw OrmenaError(QStringLiteral("Индекс \"%1\" уже есть в таблице \"%2\".").arg(index, table));
    const QList<DbColumnInfo> tableColumns = m_connection.columns(table);
    QStringList columns;
    for (const QString &wanted : statement.indexColumns) {
        if (wanted.trimmed().isEmpty())
            throw OrmenaError(QStringLiteral("Пустое имя поля в списке полей индекса \"%1\".").arg(index));
        QString stored;
        for (const DbColumnInfo &column : tableColumns)
            if (SameName(column.name, wanted))
                stored = column.name;
        if (stored.isEmpty())
            throw OrmenaError(QStringLiteral("Нет поля \"%1\" в таблице \"%2\".").arg(wanted, table));
        columns.append(QuoteIdentifier(stored));
    }
    if (columns.isEmpty())
        throw OrmenaError(QStringLiteral("Не указаны поля индекса \"%1\".").arg(index));

    const QString sqliteName = SqliteIndexName(table, index);
    QString sql = QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                      .arg(statement.unique ? QStringLiteral("UNIQUE ") : QString(), QuoteIdentifier(sqliteName),
                           QuoteIdentifier(table), columns.join(QLatin1Char(',')));
    QStringList nullTests;
    for (const QString &column : std::as_const(columns))
        nullTests.append(column + QStringLiteral(" IS NULL"));
    if (statement.nullMode == DbIndexNullMode::IgnoreNull) {
        QStringList present;
        for (const QString &column : std::as_const(columns))
            present.append(column + QStringLiteral(" IS NOT NULL"));
        sql += QStringLiteral(" WHERE ") + present.join(QStringLiteral(" AND "));
    }

    // The same index dropped a moment ago (the schema check drops and creates
    // every index at each start) is kept as it is instead of being built again.
    for (const QString &pending : std::as_const(m_connection.pendingIndexDrops())) {
        if (pending == sqliteName && masterSql(QStringLiteral("index"), pending) == sql) {
            const bool hadTriggers = !masterSql(QStringLiteral("trigger"), pending + QStringLiteral(":notnull:insert")).isEmpty();
            if (hadTriggers == (statement.nullMode == DbIndexNullMode::DisallowNull)) {
                m_connection.pendingIndexDrops().remove(pending);
                return;
            }
        }
    }
    m_connection.applyPendingIndexDrops();

    DbTransaction transaction(m_connection);
    if (statement.nullMode == DbIndexNullMode::DisallowNull) {
        const QString anyNull = nullTests.join(QStringLiteral(" OR "));
        if (scalar(QStringLiteral("SELECT EXISTS(SELECT 1 FROM %1 WHERE %2)").arg(QuoteIdentifier(table), anyNull)))
            throw OrmenaError(QStringLiteral("Индекс \"%1\" запрещает пустые значения, а в таблице \"%2\" есть записи "
                                             "с пустыми полями индекса.")
                                  .arg(index, table));
        const QString message = SqlLiteral(
            QStringLiteral("Поля индекса %1 таблицы %2 не могут быть пустыми.").arg(index, table));
        QString newNull = anyNull;
        newNull.replace(QRegularExpression(QStringLiteral("(\"(?:[^\"]|\"\")*\") IS NULL")), QStringLiteral("NEW.\\1 IS NULL"));
        m_connection.executeNative(
            QStringLiteral("CREATE TRIGGER %1 BEFORE INSERT ON %2 WHEN %3 BEGIN SELECT RAISE(ABORT, %4); END")
                .arg(QuoteIdentifier(sqliteName + QStringLiteral(":notnull:insert")), QuoteIdentifier(table), newNull,
                     message));
        m_connection.executeNative(
            QStringLiteral("CREATE TRIGGER %1 BEFORE UPDATE OF %2 ON %3 WHEN %4 BEGIN SELECT RAISE(ABORT, %5); END")
                .arg(QuoteIdentifier(sqliteName + QStringLiteral(":notnull:update")), columns.join(QLatin1Char(',')),
                     QuoteIdentifier(table), newNull, message));
    }
    m_connection.executeNative(sql);
    transaction.commit();
    m_connection.noteIndexBuild();
}

void SqliteSchemaEditor::dropIndex(const JetStatement &statement)
{
    const QString table = requireTable(statement.table);
    const QString index = statement.index.trimmed();
    const QString prefix = SqliteIndexName(table, QString());
    for (const DbIndexInfo &existing : m_connection.indexes(table)) {
        if (!SameName(existing.name, index))
            continue;
        // Indexes this engine made carry the table's prefix; others keep their own name.
        QString sqliteName = prefix + existing.name;
        if (masterSql(QStringLiteral("index"), sqliteName).isEmpty())
            sqliteName = existing.name;
        // Carried out by the next statement that is not a CREATE INDEX restoring it.
        m_connection.pendingIndexDrops().insert(sqliteName);
        return;
    }
    throw OrmenaError(QStringLiteral("Нет индекса \"%1\" в таблице \"%2\".").arg(index, table));
}

void SqliteSchemaEditor::dropTable(const JetStatement &statement)
{
    const QString table = requireTable(statement.table);
    const bool isView = masterSql(QStringLiteral("table"), table).isEmpty();
    m_connection.executeNative(
        QStringLiteral("DROP %1 %2").arg(isView ? QStringLiteral("VIEW") : QStringLiteral("TABLE"), QuoteIdentifier(table)));
}

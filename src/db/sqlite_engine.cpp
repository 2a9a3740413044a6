#include "db/sqlite_engine.h"

#include "common/errors.h"
#include "db/jet_statement_translator.h"
#include "db/sqlite_functions.h"
#include "db/sqlite_schema_editor.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTime>

#include <limits>
#include <sqlite3.h>

namespace {

// "ORMN": marks the files this engine creates (other SQLite files open too).
constexpr int kApplicationId = 0x4F524D4E;
constexpr int kBusyTimeoutMs = 5000;

QString FromUtf8(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

} // namespace

QString ConnectionStringValue(const QString &text, const QString &key)
{
    static const QRegularExpression nextKey(QStringLiteral(";\\s*[A-Za-z][A-Za-z0-9 :]*="));
    qsizetype at = -1;
    for (qsizetype from = 0; (from = text.indexOf(key, from, Qt::CaseInsensitive)) >= 0; from += key.size()) {
        const QString before = text.left(from).trimmed();
        if (before.isEmpty() || before.endsWith(QLatin1Char(';'))) {
            at = from + key.size();
            break;
        }
    }
    if (at < 0)
        return QString();
    const QRegularExpressionMatch match = nextKey.match(text, at);
    const qsizetype end = match.hasMatch() ? match.capturedStart() : text.size();
    QString value = text.mid(at, end - at);
    if (!match.hasMatch() && value.endsWith(QLatin1Char(';')))
        value.chop(1);
    return value;
}

namespace {

bool IsSystemName(const QString &name)
{
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive)
        || name.startsWith(QLatin1String("ormena_"), Qt::CaseInsensitive);
}

} // namespace

// ---------------------------------------------------------------------------
// Messages

QString SqliteErrorText(sqlite3 *db, int resultCode)
{
    const QString own = db ? FromUtf8(sqlite3_errmsg(db)) : FromUtf8(sqlite3_errstr(resultCode));
    const int primary = resultCode & 0xFF;
    auto withOwn = [&own](const QString &text) { return text + QStringLiteral(" (") + own + QLatin1Char(')'); };
    switch (resultCode) {
    case SQLITE_CONSTRAINT_CHECK: {
        const QString prefix = QStringLiteral("CHECK constraint failed: ");
        if (own.startsWith(prefix)) {
            const QString name = own.mid(prefix.size());
            if (name.startsWith(QStringLiteral("Текст длиннее")))
                return name + QLatin1Char('.');
        }
        return withOwn(QStringLiteral("Значение не проходит проверку поля"));
    }
    case SQLITE_CONSTRAINT_TRIGGER:
        return own; // the engine's triggers raise Russian messages themselves
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_ROWID:
        return withOwn(QStringLiteral("Нарушена уникальность: такое значение в таблице уже есть"));
    case SQLITE_CONSTRAINT_NOTNULL:
        return withOwn(QStringLiteral("Поле не может быть пустым"));
    default:
        break;
    }
    switch (primary) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return withOwn(QStringLiteral("База данных занята другим соединением или программой"));
    case SQLITE_READONLY:
        return withOwn(QStringLiteral("База данных открыта только для чтения, изменения невозможны"));
    case SQLITE_FULL:
        return withOwn(QStringLiteral("Нет места на диске для записи в базу данных"));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return withOwn(QStringLiteral("Файл базы данных повреждён или не является базой данных SQLite"));
    case SQLITE_CANTOPEN:
        return withOwn(QStringLiteral("Не удаётся открыть файл базы данных"));
    case SQLITE_IOERR:
        return withOwn(QStringLiteral("Ошибка чтения или записи файла базы данных"));
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return withOwn(QStringLiteral("Нет прав на это действие с базой данных"));
    case SQLITE_TOOBIG:
        return withOwn(QStringLiteral("Значение слишком велико для базы данных"));
    case SQLITE_CONSTRAINT:
        return withOwn(QStringLiteral("Значение нарушает ограничение таблицы"));
    case SQLITE_MISMATCH:
        return withOwn(QStringLiteral("Значение не подходит по типу"));
    default:
        break;
    }
    static const QRegularExpression noTable(QStringLiteral("^no such table: (.*)$"));
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (.*)$"));
    QRegularExpressionMatch m = noTable.match(own);
    if (m.hasMatch())
        return withOwn(QStringLiteral("Нет таблицы \"%1\"").arg(m.captured(1)));
    m = noColumn.match(own);
    if (m.hasMatch())
        return withOwn(QStringLiteral("Нет поля \"%1\"").arg(m.captured(1)));
    if (own.contains(QLatin1String("syntax error")))
        return withOwn(QStringLiteral("Синтаксическая ошибка в тексте запроса"));
    return withOwn(QStringLiteral("Ошибка базы данных"));
}

DbColumnKind KindOfDeclaredType(const QString &declaredType, int *size)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*([A-Za-z]+)\\s*(?:\\(\\s*(\\d+)\\s*\\))?"));
    if (size)
        *size = 0;
    const QRegularExpressionMatch match = pattern.match(declaredType);
    if (!match.hasMatch())
        return DbColumnKind::Unknown;
    const QString word = match.captured(1).toUpper();
    const bool sized = !match.captured(2).isEmpty();
    if (word == QLatin1String("TEXT") || word == QLatin1String("VARCHAR") || word == QLatin1String("CHAR")
        || word == QLatin1String("NVARCHAR") || word == QLatin1String("NCHAR")) {
        if (!sized)
            return DbColumnKind::LongText;
        if (size)
            *size = match.captured(2).toInt();
        return DbColumnKind::Text;
    }
    if (word == QLatin1String("INT") || word == QLatin1String("INTEGER") || word == QLatin1String("LONG"))
        return DbColumnKind::Integer;
    if (word == QLatin1String("IMAGE") || word == QLatin1String("BLOB") || word == QLatin1String("LONGBINARY"))
        return DbColumnKind::Image;
    if (word == QLatin1String("MEMO") || word == QLatin1String("LONGTEXT"))
        return DbColumnKind::LongText;
    if (word == QLatin1String("FLOAT") || word == QLatin1String("DOUBLE") || word == QLatin1String("REAL"))
        return DbColumnKind::Float;
    if (word == QLatin1String("BIT") || word == QLatin1String("BOOLEAN") || word == QLatin1String("YESNO"))
        return DbColumnKind::Bit;
    if (word == QLatin1String("MONEY") || word == QLatin1String("CURRENCY"))
        return DbColumnKind::Money;
    if (word == QLatin1String("DATETIME") || word == QLatin1String("DATE") || word == QLatin1String("TIMESTAMP"))
        return DbColumnKind::DateTime;
    if (word == QLatin1String("BINARY") || word == QLatin1String("VARBINARY"))
        return DbColumnKind::Binary;
    return DbColumnKind::Unknown;
}

// ---------------------------------------------------------------------------
// Files

QString ForeignFileReason(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Файл базы данных \"%1\" не открывается для чтения (%2).").arg(path, file.errorString());
    const QByteArray header = file.read(100);
    if (header.isEmpty())
        return QString(); // an empty file is an empty database
    static const QByteArray sqlite("SQLite format 3\0", 16);
    if (header.size() == 100 && header.startsWith(sqlite))
        return QString();
    if (header.mid(4, 15) == "Standard Jet DB" || header.mid(4, 15) == "Standard ACE DB")
        return QStringLiteral("Файл \"%1\" — база данных Microsoft Access (Jet), а программа работает с базами "
                              "SQLite. Файл не изменён; перенесите данные или уберите файл.")
            .arg(path);
    return QStringLiteral("Файл \"%1\" не является базой данных SQLite. Файл не изменён.").arg(path);
}

void CreateSqliteDatabaseFile(const QString &path)
{
    if (QFileInfo::exists(path))
        throw OrmenaError(QStringLiteral("Файл базы данных \"%1\" уже существует.").arg(path));
    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db,
                          QStringLiteral("PRAGMA application_id=%1; PRAGMA user_version=1;")
                              .arg(kApplicationId)
                              .toUtf8()
                              .constData(),
                          nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = SqliteErrorText(db, rc);
        sqlite3_close(db);
        throw OrmenaError(QStringLiteral("Не удалось создать файл базы данных \"%1\": %2").arg(path, reason));
    }
    sqlite3_close(db);
}

// ---------------------------------------------------------------------------
// Queries

class SqliteQuery final : public DbQuery {
public:
    SqliteQuery(SqliteConnection *connection, sqlite3_stmt *statement, QString sql)
        : m_connection(connection), m_statement(statement), m_sql(std::move(sql))
    {
        describeColumns();
    }
    ~SqliteQuery() override
    {
        if (m_connection)
            m_connection->forget(this);
        sqlite3_finalize(m_statement);
    }

    // Called by the connection when it closes.
    void detach()
    {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        m_connection = nullptr;
        m_hasRow = false;
    }

    QString sql() const override { return m_sql; }
    bool isValid() const override { return m_statement != nullptr; }

    int parameterCount() const override
    {
        requireValid();
        return sqlite3_bind_parameter_count(m_statement);
    }

    void bindValue(int position, const QVariant &value) override
    {
        requireValid();
        if (position < 0 || position >= sqlite3_bind_parameter_count(m_statement))
            throw OrmenaError(QStringLiteral("В запросе нет параметра с номером %1 (параметров %2).\r%3")
                                  .arg(position)
                                  .arg(sqlite3_bind_parameter_count(m_statement))
                                  .arg(m_sql));
        rewind();
        bind(position + 1, value);
    }

    void bindValue(const QString &name, const QVariant &value) override
    {
        requireValid();
        QString key = name.trimmed();
        if (!key.startsWith(QLatin1Char(':')) && !key.startsWith(QLatin1Char('@'))
            && !key.startsWith(QLatin1Char('$')))
            key.prepend(QLatin1Char(':'));
        const int index = sqlite3_bind_parameter_index(m_statement, key.toUtf8().constData());
        if (index == 0)
            throw OrmenaError(QStringLiteral("В запросе нет параметра \"%1\".\r%2").arg(key, m_sql));
        rewind();
        bind(index, value);
    }

    void clearBindings() override
    {
        requireValid();
        rewind();
        sqlite3_clear_bindings(m_statement);
    }

    bool next() override
    {
        requireValid();
        if (m_done)
            return false;
        if (!m_started && !sqlite3_stmt_readonly(m_statement))
            m_connection->applyPendingIndexDrops();
        m_started = true;
        const int rc = sqlite3_step(m_statement);
        if (rc == SQLITE_ROW) {
            m_hasRow = true;
            return true;
        }
        m_hasRow = false;
        if (rc == SQLITE_DONE) {
            m_done = true;
            sqlite3_reset(m_statement); // releases the read lock; bindings stay
            return false;
        }
        const QString message = m_connection->describeFailure(rc);
        sqlite3_reset(m_statement);
        m_started = false;
        throw OrmenaError(message);
    }

    void exec() override
    {
        rewind();
        while (next()) {
        }
    }

    void reset() override
    {
        requireValid();
        rewind();
    }

    int columnCount() const override { return static_cast<int>(m_columns.size()); }
    QString columnName(int column) const override { return columnAt(column).name; }
    int columnIndex(const QString &name) const override
    {
        const QString wanted = name.trimmed();
        for (int i = 0; i < m_columns.size(); ++i)
            if (m_columns.at(i).name.trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    DbColumnKind columnKind(int column) const override { return columnAt(column).kind; }
    QString columnDeclaredType(int column) const override { return columnAt(column).declaredType; }
    QString columnTable(int column) const override { return columnAt(column).table; }
    QString columnOrigin(int column) const override { return columnAt(column).origin; }

    QVariant value(int column) const override
    {
        const ColumnDescription &description = columnAt(column);
        requireRow();
        switch (sqlite3_column_type(m_statement, column)) {
        case SQLITE_NULL:
            return QVariant();
        case SQLITE_INTEGER: {
            const qint64 v = sqlite3_column_int64(m_statement, column);
            switch (description.kind) {
            case DbColumnKind::Bit:
                return QVariant(v != 0);
            case DbColumnKind::Float:
            case DbColumnKind::Money:
                return QVariant(static_cast<double>(v));
            case DbColumnKind::Text:
            case DbColumnKind::LongText:
                return QVariant(QString::number(v));
            default:
                if (v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max())
                    return QVariant(static_cast<int>(v));
                return QVariant(static_cast<qlonglong>(v));
            }
        }
        case SQLITE_FLOAT: {
            const double v = sqlite3_column_double(m_statement, column);
            if (description.kind == DbColumnKind::Bit)
                return QVariant(v != 0);
            return QVariant(v);
        }
        case SQLITE_BLOB: {
            const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
            return QVariant(QByteArray(data, sqlite3_column_bytes(m_statement, column)));
        }
        default: {
            const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
            const QString text = QString::fromUtf8(data, sqlite3_column_bytes(m_statement, column));
            if (description.kind == DbColumnKind::DateTime) {
                const QDateTime parsed = StorageTextToDateTime(text);
                if (parsed.isValid())
                    return QVariant(parsed);
            }
            if (description.kind == DbColumnKind::Image || description.kind == DbColumnKind::Binary)
                return QVariant(text.toUtf8());
            return QVariant(text);
        }
        }
    }

    QVariant value(const QString &name) const override
    {
        const int index = columnIndex(name);
        if (index < 0)
            throw OrmenaError(QStringLiteral("В результате запроса нет поля \"%1\".\r%2").arg(name, m_sql));
        return value(index);
    }

    bool isNull(int column) const override
    {
        columnAt(column);
        requireRow();
        return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
    }

private:
    struct ColumnDescription {
        QString name;
        QString declaredType;
        QString table;
        QString origin;
        DbColumnKind kind = DbColumnKind::Unknown;
    };

    void describeColumns()
    {
        const int count = sqlite3_column_count(m_statement);
        sqlite3 *db = sqlite3_db_handle(m_statement);
        for (int i = 0; i < count; ++i) {
            ColumnDescription c;
            c.name = FromUtf8(sqlite3_column_name(m_statement, i));
            c.declaredType = FromUtf8(sqlite3_column_decltype(m_statement, i));
            c.table = FromUtf8(sqlite3_column_table_name(m_statement, i));
            c.origin = FromUtf8(sqlite3_column_origin_name(m_statement, i));
            c.kind = KindOfDeclaredType(c.declaredType);
            if (c.kind == DbColumnKind::Integer && !c.table.isEmpty()) {
                int autoinc = 0;
                if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(m_statement, i),
                                                  sqlite3_column_table_name(m_statement, i),
                                                  sqlite3_column_origin_name(m_statement, i), nullptr, nullptr,
                                                  nullptr, nullptr, &autoinc)
                        == SQLITE_OK
                    && autoinc)
                    c.kind = DbColumnKind::AutoInc;
            }
            m_columns.append(c);
        }
    }

    void requireValid() const
    {
        if (!m_statement)
            throw OrmenaError(
                QStringLiteral("Запрос закрыт: соединение с базой данных было закрыто.\r%1").arg(m_sql));
    }
    void requireRow() const
    {
        requireValid();
        if (!m_hasRow)
            throw OrmenaError(QStringLiteral("У запроса нет текущей записи.\r%1").arg(m_sql));
    }
    const ColumnDescription &columnAt(int column) const
    {
        if (column < 0 || column >= m_columns.size())
            throw OrmenaError(QStringLiteral("В результате запроса нет поля с номером %1.\r%2").arg(column).arg(m_sql));
        return m_columns.at(column);
    }
    void rewind()
    {
        requireValid();
        sqlite3_reset(m_statement);
        m_started = false;
        m_done = false;
        m_hasRow = false;
    }

    void bind(int index, const QVariant &value)
    {
        int rc = SQLITE_OK;
        if (!value.isValid() || value.isNull()) {
            rc = sqlite3_bind_null(m_statement, index);
        } else {
            switch (value.typeId()) {
            case QMetaType::Bool:
                rc = sqlite3_bind_int64(m_statement, index, value.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
            case QMetaType::Long:
            case QMetaType::ULong:
            case QMetaType::Char:
            case QMetaType::SChar:
            case QMetaType::UChar:
                rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
                break;
            case QMetaType::ULongLong:
                if (value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
                    throw OrmenaError(QStringLiteral("Число %1 слишком велико для базы данных.").arg(value.toString()));
                rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
                break;
            case QMetaType::Double:
            case QMetaType::Float:
                rc = sqlite3_bind_double(m_statement, index, value.toDouble());
                break;
            case QMetaType::QByteArray: {
                const QByteArray bytes = value.toByteArray();
                rc = sqlite3_bind_blob64(m_statement, index, bytes.constData(), static_cast<sqlite3_uint64>(bytes.size()),
                                         SQLITE_TRANSIENT);
                break;
            }
            case QMetaType::QDateTime:
                rc = bindText(index, DateTimeToStorageText(value.toDateTime()));
                break;
            case QMetaType::QDate:
                rc = bindText(index, DateTimeToStorageText(QDateTime(value.toDate(), QTime(0, 0))));
                break;
            case QMetaType::QTime:
                rc = bindText(index, DateTimeToStorageText(QDateTime(QDate(1899, 12, 30), value.toTime())));
                break;
            default:
                if (!value.canConvert<QString>())
                    throw OrmenaError(QStringLiteral("Значение типа %1 нельзя записать в базу данных.")
                                          .arg(QLatin1String(value.typeName())));
                rc = bindText(index, value.toString());
                break;
            }
        }
        if (rc != SQLITE_OK)
            throw OrmenaError(SqliteErrorText(sqlite3_db_handle(m_statement), rc));
    }

    int bindText(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        return sqlite3_bind_text64(m_statement, index, utf8.constData(), static_cast<sqlite3_uint64>(utf8.size()),
                                   SQLITE_TRANSIENT, SQLITE_UTF8);
    }

    SqliteConnection *m_connection;
    sqlite3_stmt *m_statement;
    QString m_sql;
    QList<ColumnDescription> m_columns;
    bool m_started = false;
    bool m_done = false;
    bool m_hasRow = false;
};

// ---------------------------------------------------------------------------
// Transactions

DbTransaction::DbTransaction(DbConnection &connection) : m_connection(connection)
{
    m_connection.beginTransaction();
}

DbTransaction::~DbTransaction()
{
    if (m_done)
        return;
    try {
        m_connection.rollback();
    } catch (...) {
        // The connection may have been closed, which rolled it back already.
    }
}

void DbTransaction::commit()
{
    m_done = true;
    m_connection.commit();
}

// ---------------------------------------------------------------------------
// The connection

SqliteConnection::SqliteConnection(QObject *parent) : DbConnection(parent) {}

SqliteConnection::~SqliteConnection()
{
    try {
        applyPendingIndexDrops();
    } catch (...) {
        // The indexes stay; the next schema check drops them again.
    }
    close();
    for (SqliteQuery *query : std::as_const(m_queries))
        query->detach();
}

void SqliteConnection::setConnectionString(const QString &text)
{
    if (isConnected())
        throw OrmenaError(QStringLiteral("Нельзя изменить строку подключения открытой базы данных."));
    if (!m_pendingDrops.isEmpty() && ConnectionStringValue(text, QStringLiteral("Data Source=")) != m_openPath) {
        applyPendingIndexDrops();
        close();
    }
    m_connectionString = text;
}

QString SqliteConnection::databasePath() const
{
    return ConnectionStringValue(m_connectionString, QStringLiteral("Data Source="));
}

void SqliteConnection::open()
{
    if (m_db)
        return;
    const QString path = databasePath();
    if (path.trimmed().isEmpty())
        throw OrmenaError(QStringLiteral("В строке подключения не указан файл базы данных."));
    const QFileInfo info(path);
    if (!info.exists())
        throw OrmenaError(QStringLiteral("Не найден файл базы данных \"%1\".").arg(path));
    if (info.isDir())
        throw OrmenaError(QStringLiteral("\"%1\" — папка, а не файл базы данных.").arg(path));
    // The header is read before SQLite sees the file, so that a foreign file is
    // never touched (SQLite would, for instance, replay a stray journal into it).
    const QString foreign = ForeignFileReason(path);
    if (!foreign.isEmpty())
        throw OrmenaError(foreign);

    const QString mode = ConnectionStringValue(m_connectionString, QStringLiteral("Mode=")).trimmed();
    const bool readOnly = mode.compare(QLatin1String("Read"), Qt::CaseInsensitive) == 0;
    const bool exclusive = mode.compare(QLatin1String("Share Deny Read|Share Deny Write"), Qt::CaseInsensitive) == 0
        || mode.compare(QLatin1String("Share Exclusive"), Qt::CaseInsensitive) == 0;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;

    sqlite3 *db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    auto fail = [&](const QString &what) {
        const QString text = QStringLiteral("%1 \"%2\": %3").arg(what, path, SqliteErrorText(db, rc));
        sqlite3_close(db);
        throw OrmenaError(text);
    };
    if (rc != SQLITE_OK)
        fail(QStringLiteral("Не удалось открыть файл базы данных"));
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    try {
        RegisterEngineFunctions(db);
    } catch (const OrmenaError &) {
        sqlite3_close(db);
        throw;
    }
    // Reading the catalogue proves the file is a readable database (and rolls
    // back a transaction that a killed process left in its journal).
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK && exclusive)
        rc = sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr);
    // A page cache large enough for a document list of 100,000 rows read in
    // index order (the default 2 MB makes such a read thrash).
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        fail(QStringLiteral("Не удалось прочитать базу данных"));
    m_db = db;
    m_openPath = path;
}

void SqliteConnection::close()
{
    if (!m_db)
        return;
    emit aboutToClose();
    if (!m_db)
        return; // a receiver closed it already
    for (SqliteQuery *query : std::as_const(m_queries))
        query->detach();
    m_queries.clear();
    if (m_transactionDepth > 0 || !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    m_transactionDepth = 0;
    sqlite3_close(m_db);
    m_db = nullptr;
}

void SqliteConnection::ensureOpen()
{
    if (!m_db)
        open();
}

sqlite3 *SqliteConnection::handle()
{
    ensureOpen();
    return m_db;
}

void SqliteConnection::forget(SqliteQuery *query)
{
    m_queries.remove(query);
}

void SqliteConnection::executeNative(const QString &sql)
{
    ensureOpen();
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw OrmenaError(describeFailure(rc));
}

void SqliteConnection::execute(const QString &statement)
{
    ensureOpen();
    const JetStatement parsed = ParseJetStatement(statement);
    if (parsed.type != JetStatementType::Other) {
        SqliteSchemaEditor(*this).apply(parsed);
        return;
    }
    std::unique_ptr<DbQuery> query = prepare(statement);
    query->exec();
}

std::unique_ptr<DbQuery> SqliteConnection::prepare(const QString &sql)
{
    ensureOpen();
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *statement = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v3(m_db, utf8.constData(), static_cast<int>(utf8.size()), 0, &statement, &tail);
    if (rc != SQLITE_OK)
        throw OrmenaError(describeFailure(rc) + QStringLiteral("\r") + sql);
    if (!statement)
        throw OrmenaError(QStringLiteral("Пустой текст запроса."));
    if (tail && !QString::fromUtf8(tail).trimmed().remove(QLatin1Char(';')).trimmed().isEmpty()) {
        sqlite3_finalize(statement);
        throw OrmenaError(QStringLiteral("В тексте запроса больше одной инструкции.\r%1").arg(sql));
    }
    auto query = std::make_unique<SqliteQuery>(this, statement, sql);
    m_queries.insert(query.get());
    return query;
}

qint64 SqliteConnection::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

qint64 SqliteConnection::changes() const
{
    return m_db ? sqlite3_changes64(m_db) : 0;
}

void SqliteConnection::beginTransaction()
{
    ensureOpen();
    if (m_transactionDepth == 0)
        executeNative(QStringLiteral("BEGIN"));
    else
        executeNative(QStringLiteral("SAVEPOINT ormena_level_%1").arg(m_transactionDepth));
    ++m_transactionDepth;
}

void SqliteConnection::commit()
{
    if (m_transactionDepth == 0 || !m_db)
        throw OrmenaError(QStringLiteral("Нет открытой транзакции для сохранения."));
    if (m_transactionDepth > 1) {
        executeNative(QStringLiteral("RELEASE ormena_level_%1").arg(m_transactionDepth - 1));
        --m_transactionDepth;
        return;
    }
    const int rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = describeFailure(rc);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        m_transactionDepth = 0;
        throw OrmenaError(QStringLiteral("Изменения не сохранены и отменены: %1").arg(message));
    }
    m_transactionDepth = 0;
}

void SqliteConnection::rollback()
{
    if (m_transactionDepth == 0 || !m_db)
        throw OrmenaError(QStringLiteral("Нет открытой транзакции для отмены."));
    if (m_transactionDepth > 1) {
        const QString name = QStringLiteral("ormena_level_%1").arg(m_transactionDepth - 1);
        --m_transactionDepth;
        executeNative(QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(name));
        return;
    }
    m_transactionDepth = 0;
    if (!sqlite3_get_autocommit(m_db))
        executeNative(QStringLiteral("ROLLBACK"));
}

QStringList SqliteConnection::tableNames()
{
    ensureOpen();
    QStringList names;
    auto query = prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view')"));
    while (query->next()) {
        const QString name = query->value(0).toString();
        if (!IsSystemName(name))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) { return CompareNoCase(a, b) < 0; });
    return names;
}

QString SqliteConnection::findTable(const QString &name)
{
    const QString wanted = name.trimmed();
    for (const QString &table : tableNames())
        if (CompareNoCase(table.trimmed(), wanted) == 0)
            return table;
    return QString();
}

QList<DbColumnInfo> SqliteConnection::columns(const QString &table)
{
    const QString stored = findTable(table);
    if (stored.isEmpty())
        throw OrmenaError(QStringLiteral("Нет таблицы \"%1\" в базе данных.").arg(table.trimmed()));
    QList<DbColumnInfo> result;
    auto query = prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
    query->bindValue(0, stored);
    const QByteArray tableUtf8 = stored.toUtf8();
    while (query->next()) {
        DbColumnInfo column;
        column.name = query->value(0).toString();
        if (column.name == QLatin1String(kPlaceholderColumn))
            continue;
        column.declaredType = query->value(1).toString();
        column.kind = KindOfDeclaredType(column.declaredType, &column.size);
        if (query->value(2).toInt() != 0 && column.declaredType.compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0) {
            int autoinc = 0;
            if (sqlite3_table_column_metadata(m_db, "main", tableUtf8.constData(), column.name.toUtf8().constData(),
                                              nullptr, nullptr, nullptr, nullptr, &autoinc)
                    == SQLITE_OK
                && autoinc) {
                column.kind = DbColumnKind::AutoInc;
                column.identity = true;
            }
        }
        result.append(column);
    }
    return result;
}

QList<DbIndexInfo> SqliteConnection::indexes(const QString &table)
{
    const QString stored = findTable(table);
    if (stored.isEmpty())
        throw OrmenaError(QStringLiteral("Нет таблицы \"%1\" в базе данных.").arg(table.trimmed()));
    QList<DbIndexInfo> result;
    const QString prefix = SqliteIndexName(stored, QString());
    auto query = prepare(QStringLiteral(
        "SELECT m.name, l.\"unique\", l.partial, "
        "EXISTS(SELECT 1 FROM sqlite_master t WHERE t.type='trigger' AND t.name = m.name || ':notnull:insert') "
        "FROM sqlite_master m JOIN pragma_index_list(?1) l ON l.name = m.name "
        "WHERE m.type='index' AND m.tbl_name = ?1 AND m.sql IS NOT NULL ORDER BY m.rowid"));
    query->bindValue(0, stored);
    while (query->next()) {
        const QString sqliteName = query->value(0).toString();
        if (m_pendingDrops.contains(sqliteName))
            continue;
        DbIndexInfo index;
        index.name = sqliteName.startsWith(prefix) ? sqliteName.mid(prefix.size()) : sqliteName;
        index.unique = query->value(1).toInt() != 0;
        if (query->value(2).toInt() != 0)
            index.nullMode = DbIndexNullMode::IgnoreNull;
        else if (query->value(3).toInt() != 0)
            index.nullMode = DbIndexNullMode::DisallowNull;
        auto columnsQuery = prepare(QStringLiteral("SELECT name FROM pragma_index_info(?) ORDER BY seqno"));
        columnsQuery->bindValue(0, sqliteName);
        while (columnsQuery->next())
            index.columns.append(columnsQuery->value(0).toString());
        result.append(index);
    }
    return result;
}

void SqliteConnection::applyPendingIndexDrops()
{
    if (m_pendingDrops.isEmpty())
        return;
    ensureOpen();
    const QSet<QString> drops = m_pendingDrops;
    DbTransaction transaction(*this);
    for (const QString &name : drops) {
        executeNative(QStringLiteral("DROP INDEX IF EXISTS %1").arg(QuoteIdentifier(name)));
        for (const char *event : {"insert", "update"})
            executeNative(QStringLiteral("DROP TRIGGER IF EXISTS %1")
                              .arg(QuoteIdentifier(name + QStringLiteral(":notnull:") + QLatin1String(event))));
    }
    transaction.commit();
    m_pendingDrops.clear();
}

QString SqliteConnection::describeFailure(int resultCode)
{
    QString text = SqliteErrorText(m_db, resultCode);
    if (resultCode != SQLITE_CONSTRAINT_UNIQUE)
        return text;
    // Name the table, the columns and, when one matches, the index.
    static const QRegularExpression pattern(QStringLiteral("UNIQUE constraint failed: (.*)$"));
    const QRegularExpressionMatch match = pattern.match(FromUtf8(sqlite3_errmsg(m_db)));
    if (!match.hasMatch())
        return text;
    QString table;
    QStringList columnNames;
    for (const QString &item : match.captured(1).split(QLatin1Char(','))) {
        const QString trimmed = item.trimmed();
        const qsizetype dot = trimmed.lastIndexOf(QLatin1Char('.'));
        table = trimmed.left(dot);
        columnNames.append(trimmed.mid(dot + 1));
    }
    QString indexName;
    try {
        for (const DbIndexInfo &index : indexes(table))
            if (index.unique && index.columns == columnNames)
                indexName = index.name;
    } catch (const OrmenaError &) {
    }
    QString result = QStringLiteral("Нарушена уникальность: в таблице %1 повторяется значение %2 %3")
                         .arg(table,
                              columnNames.size() == 1 ? QStringLiteral("поля") : QStringLiteral("полей"),
                              columnNames.join(QStringLiteral(", ")));
    if (!indexName.isEmpty())
        result += QStringLiteral(" (уникальный индекс \"%1\")").arg(indexName);
    return result + QStringLiteral(" (") + match.captured(0) + QLatin1Char(')');
}

// The database engine of Ormena: one connection to one database file, opened
// from a connection string, that runs the Jet statements the schema toolkit
// composes (translated for SQLite), runs queries with bound parameters, answers
// the catalogue questions and keeps Jet's rules: case-blind text (Cyrillic
// included), sized text that refuses longer values, identity seeds.
//
// Every failure throws OrmenaError with a Russian message that names what went
// wrong; nothing fails silently. A file that is not an SQLite database is never
// written to. Single-threaded: a connection and its queries belong to one thread.
#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The column kinds of a Jet database, as the toolkit declares them.
enum class DbColumnKind {
    Unknown,  // a column declared by other means than this engine
    AutoInc,  // INT IDENTITY(seed,1): 32-bit key numbered by the engine
    Text,     // TEXT(n): at most n characters (1..255)
    Integer,  // INT: 32-bit signed integer
    Image,    // IMAGE: bytes of a whole file
    LongText, // TEXT: text without a length
    Float,    // FLOAT
    Bit,      // BIT: Boolean
    Money,    // MONEY
    DateTime, // DATETIME
    Binary,   // BINARY
};

struct DbColumnInfo {
    QString name;         // as stored
    DbColumnKind kind = DbColumnKind::Unknown;
    int size = 0;         // characters of sized text; 0 for every other kind
    bool identity = false;
    QString declaredType; // the type text the file holds, e.g. "TEXT(250)"
};

// How an index treats rows with an empty (null) indexed column.
enum class DbIndexNullMode { None, DisallowNull, IgnoreNull };

struct DbIndexInfo {
    QString name;        // the name the index was created with
    QStringList columns; // in index order, as stored in the table
    bool unique = false;
    DbIndexNullMode nullMode = DbIndexNullMode::None;
};

// One prepared statement with its result rows. Parameters are written "?" or
// ":name" in the statement text and bound by value; every value, text above
// all, reaches the database as a bound parameter, never as SQL text.
//
// Values read back are typed by the column's declared kind: Integer/AutoInc ->
// int (qlonglong when out of 32-bit range), Text/LongText -> QString, Bit ->
// bool, Float/Money -> double, DateTime -> QDateTime, Image/Binary ->
// QByteArray; a column without a declared kind (an expression) by its stored
// value. NULL reads as an invalid QVariant.
class DbQuery {
public:
    virtual ~DbQuery() = default;

    virtual QString sql() const = 0;

    // Parameters: positions are 0-based (as in QSqlQuery); names include the
    // leading ":" or not, either way.
    virtual int parameterCount() const = 0;
    virtual void bindValue(int position, const QVariant &value) = 0;
    virtual void bindValue(const QString &name, const QVariant &value) = 0;
    virtual void clearBindings() = 0;

    // Runs the statement on the first call and moves to the next row; false
    // after the last row. A failing step throws and leaves the query reset.
    virtual bool next() = 0;
    // Runs the statement to its end, discarding rows (for INSERT/UPDATE/DELETE).
    virtual void exec() = 0;
    // Back to before the first row; bindings are kept.
    virtual void reset() = 0;
    // False once the owning connection was closed; any use then throws.
    virtual bool isValid() const = 0;

    // Result columns, known as soon as the query is prepared.
    virtual int columnCount() const = 0;
    virtual QString columnName(int column) const = 0;
    // Index of a result column by name (trimmed, case-blind, Cyrillic included); -1 when absent.
    virtual int columnIndex(const QString &name) const = 0;
    virtual DbColumnKind columnKind(int column) const = 0;
    virtual QString columnDeclaredType(int column) const = 0;
    // The table and column a result column reads, empty for an expression.
    virtual QString columnTable(int column) const = 0;
    virtual QString columnOrigin(int column) const = 0;

    // Values of the current row.
    virtual QVariant value(int column) const = 0;
    // Throws when the query has no column of that name.
    virtual QVariant value(const QString &name) const = 0;
    virtual bool isNull(int column) const = 0;
};

// The connection every part of the program uses. It is closed until opened
// explicitly or on demand: every operation that needs the file opens it from
// the connection string ("Data Source=" path, "Mode=" word).
class DbConnection : public QObject {
    Q_OBJECT
public:
    explicit DbConnection(QObject *parent = nullptr) : QObject(parent) {}
    ~DbConnection() override = default;

    // The connection string, read and written while closed (writing it on an
    // open connection throws).
    virtual QString connectionString() const = 0;
    virtual void setConnectionString(const QString &text) = 0;
    // The path after "Data Source=" in the connection string.
    virtual QString databasePath() const = 0;

    // Opens the file named by the connection string. A missing file, a file
    // that is not an SQLite database or an unreadable one throws, naming the
    // file; the file is left untouched. "Mode=Read" opens read-only.
    virtual void open() = 0;
    // Emits aboutToClose, invalidates every query of the connection, rolls back
    // an open transaction and closes the file. Closing a closed connection does nothing.
    virtual void close() = 0;
    virtual bool isConnected() const = 0;

    // Runs one statement: the Jet schema statements (CREATE TABLE with or
    // without columns, ALTER TABLE ADD COLUMN / ALTER COLUMN, CREATE [UNIQUE]
    // INDEX ... [WITH DISALLOW NULL | WITH IGNORE NULL], DROP INDEX ... ON ...,
    // DROP TABLE) are carried out on SQLite; any other statement is passed to
    // SQLite as written. Rows it returns are discarded.
    virtual void execute(const QString &statement) = 0;
    // Prepares one statement (SQLite's own dialect) for binding and stepping.
    virtual std::unique_ptr<DbQuery> prepare(const QString &sql) = 0;

    virtual qint64 lastInsertId() const = 0;
    // Rows changed by the last INSERT, UPDATE or DELETE.
    virtual qint64 changes() const = 0;

    // Transactions nest: an inner begin is a savepoint of the outer one.
    virtual void beginTransaction() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual int transactionDepth() const = 0;

    // Catalogue. Names are matched trimmed and case-blind, Cyrillic included.
    // Tables and views without the engine's and SQLite's own tables.
    virtual QStringList tableNames() = 0;
    // The stored name of a table or view, empty when there is none.
    virtual QString findTable(const QString &name) = 0;
    // Columns in table order; throws when there is no such table.
    virtual QList<DbColumnInfo> columns(const QString &table) = 0;
    // Indexes by the names they were created with; throws when there is no such table.
    virtual QList<DbIndexInfo> indexes(const QString &table) = 0;

signals:
    // Sent before the file is closed, so datasets can drop their rows and queries.
    void aboutToClose();
};

// Holds a transaction (or a savepoint inside one) for a scope: rolled back
// unless commit() was called.
class DbTransaction {
public:
    explicit DbTransaction(DbConnection &connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;
    void commit();

private:
    DbConnection &m_connection;
    bool m_done = false;
};

// Creates an empty SQLite database file (the engine's own header values set).
// Throws with a Russian message when the file cannot be created; an existing
// file is an error here (the caller decides whether to create).
void CreateSqliteDatabaseFile(const QString &path);

// Why a file at the path cannot be opened as a database of this engine, or an
// empty text when it can (an SQLite file, or an empty file). Reads the header only.
QString ForeignFileReason(const QString &path);

// The value of one key ("Data Source=", "Mode=") of a connection string: it
// runs to the next ";" that starts another key (so a ";" inside a path does not
// cut it) or to the end; empty when the key is absent.
QString ConnectionStringValue(const QString &text, const QString &key);

class SqliteQuery;

// The real connection, on the SQLite C API.
class SqliteConnection final : public DbConnection {
    Q_OBJECT
public:
    explicit SqliteConnection(QObject *parent = nullptr);
    ~SqliteConnection() override;

    QString connectionString() const override { return m_connectionString; }
    void setConnectionString(const QString &text) override;
    QString databasePath() const override;

    void open() override;
    void close() override;
    bool isConnected() const override { return m_db != nullptr; }

    void execute(const QString &statement) override;
    std::unique_ptr<DbQuery> prepare(const QString &sql) override;
    qint64 lastInsertId() const override;
    qint64 changes() const override;

    void beginTransaction() override;
    void commit() override;
    void rollback() override;
    int transactionDepth() const override { return m_transactionDepth; }

    QStringList tableNames() override;
    QString findTable(const QString &name) override;
    QList<DbColumnInfo> columns(const QString &table) override;
    QList<DbIndexInfo> indexes(const QString &table) override;

    // For the engine's own parts (schema editing, tests): the raw handle,
    // opened on demand.
    sqlite3 *handle();
    // Runs SQL of SQLite's dialect directly (no Jet translation, several
    // statements allowed), throwing on failure.
    void executeNative(const QString &sql);
    // The Russian message for the connection's last failure (see SqliteErrorText);
    // a broken unique index is named by table, columns and index.
    QString describeFailure(int resultCode);
    // Names (SQLite's) of indexes whose DROP INDEX has been accepted but not yet
    // carried out: a CREATE INDEX that restores the same definition keeps them.
    QSet<QString> &pendingIndexDrops() { return m_pendingDrops; }
    // Carries out the pending index drops now.
    void applyPendingIndexDrops();
    // How many tables were rebuilt through this connection (for tests and the benchmark).
    int rebuildCount() const { return m_rebuildCount; }
    void noteRebuild() { ++m_rebuildCount; }
    // How many indexes were built through this connection (a CREATE INDEX that
    // took back a pending drop builds none).
    int indexBuildCount() const { return m_indexBuildCount; }
    void noteIndexBuild() { ++m_indexBuildCount; }

private:
    friend class SqliteQuery;
    void ensureOpen();
    void forget(SqliteQuery *query);

    QString m_connectionString;
    QString m_openPath; // the path the handle (or pending drops) belong to
    sqlite3 *m_db = nullptr;
    int m_transactionDepth = 0;
    QSet<SqliteQuery *> m_queries;
    QSet<QString> m_pendingDrops;
    int m_rebuildCount = 0;
    int m_indexBuildCount = 0;
};

// The Russian text for an SQLite failure on a connection: what happened, then
// SQLite's own words in parentheses.
QString SqliteErrorText(sqlite3 *db, int resultCode);

// Kind and size of a declared column type ("TEXT(250)" -> Text, 250).
DbColumnKind KindOfDeclaredType(const QString &declaredType, int *size = nullptr);

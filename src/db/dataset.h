// TDataSet: the rows of one query or table held in memory with a current row,
// the browse / edit / insert states, posting of one row by its Id, row events,
// lookup fields resolved from another dataset and a master/detail link that
// keeps a detail list on the master's current row without any call.
//
// Rows are read with bound parameters; a post writes only the changed columns
// of one row. Windows bind to a dataset through its signals and never hold rows.
#pragma once

#include "db/sqlite_engine.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

enum TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert };

struct TLocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false; // the row's text may be longer than the wanted one
};

// A statement with its bound values, as a dataset runs it to read its rows.
struct TSelectStatement {
    QString sql;
    QVariantList bindings;
};

class TDataSet : public QObject {
    Q_OBJECT
public:
    explicit TDataSet(QObject *parent = nullptr);
    ~TDataSet() override;

    void SetConnection(DbConnection *connection);
    DbConnection *Connection() const { return m_connection; }

    // The table that posts and deletes write to (matched by its Id column).
    void SetUpdateTable(const QString &table) { m_updateTable = table; }
    QString UpdateTable() const { return m_updateTable; }

    // --- opening
    void Open();
    void Close();
    // Reads the rows again with the same statement; the first row becomes current.
    void Requery();
    bool Active() const { return m_state != dsInactive; }
    TDataSetState State() const { return m_state; }

    // --- navigation
    int RecordCount() const { return static_cast<int>(m_rows.size()); }
    bool IsEmpty() const { return m_rows.isEmpty(); }
    // 1-based position of the current row; 0 when there is none.
    int RecNo() const { return m_current + 1; }
    // Moves to a 1-based position, clamped to the rows there are.
    void SetRecNo(int recNo);
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    int CurrentIndex() const { return m_current; }

    // Finds the first row, in the present order, whose columns hold the values.
    bool Locate(const QStringList &fields, const QVariantList &values, TLocateOptions options = {});
    bool Locate(const QString &field, const QVariant &value, TLocateOptions options = {});

    // A bookmark is the current row's Id; an invalid QVariant when there is no row.
    QVariant GetBookmark() const;
    bool GotoBookmark(const QVariant &bookmark);

    // --- fields
    QStringList FieldNames() const;
    bool HasField(const QString &name) const;
    // The current row's value (the edit buffer while editing or inserting).
    QVariant Value(const QString &field) const;
    QString AsString(const QString &field) const { return Value(field).toString(); }
    int AsInteger(const QString &field) const { return Value(field).toInt(); }
    bool IsNull(const QString &field) const
    {
        const QVariant value = Value(field);
        return !value.isValid() || value.isNull();
    }
    // The value of any row (edit buffer for the row being edited).
    QVariant ValueAt(int row, const QString &field) const;
    // Sets a value of the row being edited or inserted.
    void SetValue(const QString &field, const QVariant &value);

    // A lookup field shows a column of the row of another dataset whose key
    // equals this row's key field; no such row gives an empty value.
    void AddLookupField(const QString &name, const QString &keyField, TDataSet *lookup,
                        const QString &lookupKeyField, const QString &resultField);

    // Display text of a field; a GetText handler, when attached, gives it.
    using GetTextHandler = std::function<QString(const TDataSet &, int row, const QVariant &value)>;
    void SetGetText(const QString &field, GetTextHandler handler);
    bool HasGetText(const QString &field) const;
    QString DisplayText(int row, const QString &field) const;

    // --- editing
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const;

    // --- master/detail: the rows whose detail fields equal the master's fields
    void SetMasterSource(TDataSet *master, const QStringList &masterFields, const QStringList &detailFields);
    TDataSet *MasterSource() const { return m_master; }
    QStringList DetailFields() const { return m_detailFields; }

    // --- suspending bound controls around bulk work
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // --- row events (the names the program gives them)
    std::function<void(TDataSet &)> BeforeEdit;
    std::function<void(TDataSet &)> BeforePost;
    std::function<void(TDataSet &)> AfterPost;
    std::function<void(TDataSet &)> AfterScroll;
    std::function<void(TDataSet &)> BeforeDelete;

Q_SIGNALS:
    // The whole set of rows changed (opened, closed, re-read, controls resumed).
    void rowsReset();
    // One row's values changed, or its edit state did.
    void rowChanged(int row);
    void rowInserted(int row);
    void rowRemoved(int row);
    void currentChanged(int row);
    void stateChanged(TDataSetState state);

protected:
    // The statement that reads the rows, with its bound values.
    virtual TSelectStatement SelectStatement() const = 0;
    // Runs after a successful post, once the post's own events ran.
    virtual void AfterPostStep() {}
    // The statement extended by the master link (WHERE on the detail fields).
    QVector<QVariant> MasterValues() const;
    bool MasterLinkEmpty() const;

private:
    struct LookupField {
        QString keyField;
        QPointer<TDataSet> lookup;
        QString lookupKeyField;
        QString resultField;
    };

    void readRows();
    // Reads the rows again (dropping a pending edit) and makes the first current.
    void rereadFromFirst();
    void clearRows();
    int columnOf(const QString &field) const;
    int columnOfOrThrow(const QString &field) const;
    QVariant lookupValue(const LookupField &lookup, int row) const;
    const QHash<QString, int> &keyIndex(const QString &field) const;
    void invalidateKeyIndexes() const;
    void setCurrent(int index, bool notify = true);
    void setState(TDataSetState state);
    void notifyScroll();
    void notifyReset();
    void checkBrowse(const char *what) const;
    void masterChanged();
    void takeMasterValues();
    QVector<QVariant> readRowById(const QVariant &id) const;
    QVariant fetchDeferred(int row, int column) const;
    void postInsert();
    void postEdit();
    QString quotedUpdateTable() const;

    QPointer<DbConnection> m_connection;
    QString m_updateTable;
    TDataSetState m_state = dsInactive;

    QStringList m_columns;                 // columns read from the database
    QHash<QString, int> m_columnIndex;     // upper-cased name -> column
    QHash<int, QString> m_deferredOrigins; // file columns read on demand -> table column
    QVector<QVector<QVariant>> m_rows;
    int m_current = -1;
    bool m_eof = true;
    bool m_bof = true;

    QVector<QVariant> m_buffer;            // the row being edited or inserted
    QVector<bool> m_changed;
    int m_editRow = -1;                    // row shown for the buffer

    QHash<QString, LookupField> m_lookups; // upper-cased name -> lookup
    QStringList m_lookupOrder;
    QSet<TDataSet *> m_lookupSources;
    QHash<QString, GetTextHandler> m_getText;
    mutable QHash<QString, QHash<QString, int>> m_keyIndexes;

    QPointer<TDataSet> m_master;
    QStringList m_masterFields;
    QStringList m_detailFields;
    QList<QPointer<TDataSet>> m_details;

    int m_disableCount = 0;
    bool m_scrollPending = false;
};

// Suspends a dataset's bound controls for one scope and resumes them on every way out.
class TControlsSuspended {
public:
    explicit TControlsSuspended(TDataSet *dataSet) : m_dataSet(dataSet) { m_dataSet->DisableControls(); }
    ~TControlsSuspended() { m_dataSet->EnableControls(); }
    TControlsSuspended(const TControlsSuspended &) = delete;
    TControlsSuspended &operator=(const TControlsSuspended &) = delete;

private:
    TDataSet *m_dataSet;
};

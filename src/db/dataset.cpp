#include "db/dataset.h"

#include "common/errors.h"

#include <QDateTime>

namespace {

QString Key(const QString &name)
{
    return name.trimmed().toUpper();
}

// A text form of a key value for the lookup and locate indexes.
QString KeyText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::Double)
        return QString::number(value.toDouble(), 'g', 17);
    return value.toString();
}

bool SameValue(const QVariant &have, const QVariant &want, TLocateOptions options)
{
    const bool haveNull = !have.isValid() || have.isNull();
    const bool wantNull = !want.isValid() || want.isNull();
    if (haveNull || wantNull)
        return haveNull && wantNull;
    if (want.typeId() == QMetaType::QString || have.typeId() == QMetaType::QString) {
        const QString h = have.toString();
        const QString w = want.toString();
        const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return options.partialKey ? h.startsWith(w, cs) : h.compare(w, cs) == 0;
    }
    if (want.typeId() == QMetaType::Bool || have.typeId() == QMetaType::Bool)
        return have.toBool() == want.toBool();
    bool okHave = false;
    bool okWant = false;
    const double h = have.toDouble(&okHave);
    const double w = want.toDouble(&okWant);
    if (okHave && okWant)
        return h == w;
    return have == want;
}

} // namespace

TDataSet::TDataSet(QObject *parent)
    : QObject(parent)
{
}

TDataSet::~TDataSet() = default;

void TDataSet::SetConnection(DbConnection *connection)
{
    if (m_connection)
        disconnect(m_connection, nullptr, this, nullptr);
    m_connection = connection;
    if (m_connection)
        connect(m_connection, &DbConnection::aboutToClose, this, &TDataSet::Close);
}

// ---------------------------------------------------------------- opening

void TDataSet::Open()
{
    if (Active())
        return;
    if (!m_connection)
        throw OrmenaError(QStringLiteral("Набор данных %1 не связан с базой данных").arg(objectName()));
    readRows();
    m_state = dsBrowse;
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    Q_EMIT stateChanged(m_state);
    notifyReset();
    notifyScroll();
}

void TDataSet::Close()
{
    if (!Active())
        return;
    clearRows();
    m_state = dsInactive;
    m_current = -1;
    m_bof = m_eof = true;
    Q_EMIT stateChanged(m_state);
    notifyReset();
    for (const QPointer<TDataSet> &detail : m_details)
        if (detail)
            detail->masterChanged();
}

void TDataSet::Requery()
{
    if (!Active()) {
        Open();
        return;
    }
    rereadFromFirst();
}

void TDataSet::rereadFromFirst()
{
    if (m_state == dsEdit || m_state == dsInsert)
        Cancel();
    clearRows();
    readRows();
    m_current = m_rows.isEmpty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.isEmpty();
    notifyReset();
    notifyScroll();
}

void TDataSet::clearRows()
{
    m_rows.clear();
    m_buffer.clear();
    m_changed.clear();
    m_editRow = -1;
    invalidateKeyIndexes();
}

void TDataSet::readRows()
{
    const TSelectStatement statement = SelectStatement();
    std::unique_ptr<DbQuery> query = m_connection->prepare(statement.sql);
    for (int i = 0; i < statement.bindings.size(); ++i)
        query->bindValue(i, statement.bindings.at(i));

    m_columns.clear();
    m_columnIndex.clear();
    m_deferredOrigins.clear();
    const int count = query->columnCount();
    for (int c = 0; c < count; ++c) {
        const QString name = query->columnName(c);
        m_columns.append(name);
        if (!m_columnIndex.contains(Key(name)))
            m_columnIndex.insert(Key(name), c);
    }
    // Whole files (stored documents) are read only when a row's value is asked
    // for, so a list of many documents does not hold every stored file in memory.
    const bool canFetch = !m_updateTable.isEmpty() && m_columnIndex.contains(Key(QStringLiteral("Id")));
    for (int c = 0; c < count && canFetch; ++c) {
        const DbColumnKind kind = query->columnKind(c);
        if (kind == DbColumnKind::Image || kind == DbColumnKind::Binary) {
            const QString origin = query->columnOrigin(c);
            m_deferredOrigins.insert(c, origin.isEmpty() ? m_columns[c] : origin);
        }
    }
    m_rows.clear();
    while (query->next()) {
        QVector<QVariant> row(count);
        for (int c = 0; c < count; ++c)
            if (!m_deferredOrigins.contains(c))
                row[c] = query->value(c);
        m_rows.append(std::move(row));
    }
    invalidateKeyIndexes();
}

// ---------------------------------------------------------------- navigation

void TDataSet::setCurrent(int index, bool notify)
{
    if (m_rows.isEmpty()) {
        m_current = -1;
    } else {
        m_current = std::clamp(index, 0, static_cast<int>(m_rows.size()) - 1);
    }
    if (notify)
        notifyScroll();
}

void TDataSet::checkBrowse(const char *what) const
{
    Q_UNUSED(what);
    if (!Active())
        throw OrmenaError(QStringLiteral("Набор данных %1 закрыт").arg(objectName()));
}

void TDataSet::SetRecNo(int recNo)
{
    checkBrowse("SetRecNo");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    m_bof = m_eof = false;
    setCurrent(recNo - 1);
}

void TDataSet::First()
{
    checkBrowse("First");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    setCurrent(0);
    m_bof = true;
    m_eof = m_rows.isEmpty();
}

void TDataSet::Last()
{
    checkBrowse("Last");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    setCurrent(static_cast<int>(m_rows.size()) - 1);
    m_eof = true;
    m_bof = m_rows.isEmpty();
}

void TDataSet::Next()
{
    checkBrowse("Next");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    m_bof = false;
    if (m_current + 1 >= m_rows.size()) {
        m_eof = true;
        return;
    }
    m_eof = false;
    setCurrent(m_current + 1);
}

void TDataSet::Prior()
{
    checkBrowse("Prior");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    m_eof = false;
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    setCurrent(m_current - 1);
}

bool TDataSet::Locate(const QString &field, const QVariant &value, TLocateOptions options)
{
    return Locate(QStringList{field}, QVariantList{value}, options);
}

bool TDataSet::Locate(const QStringList &fields, const QVariantList &values, TLocateOptions options)
{
    checkBrowse("Locate");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    if (fields.size() != values.size())
        throw OrmenaError(QStringLiteral("Число полей поиска не совпадает с числом значений"));
    QVector<int> columns;
    for (const QString &field : fields) {
        if (!HasField(field))
            columnOfOrThrow(field);
        columns.append(columnOf(field)); // -1 for a lookup field, read through ValueAt
    }
    for (int row = 0; row < m_rows.size(); ++row) {
        bool all = true;
        for (int i = 0; i < fields.size() && all; ++i) {
            const QVariant have = columns[i] >= 0 ? m_rows[row][columns[i]] : ValueAt(row, fields[i]);
            all = SameValue(have, values[i], options);
        }
        if (all) {
            m_bof = m_eof = false;
            setCurrent(row);
            return true;
        }
    }
    return false;
}

QVariant TDataSet::GetBookmark() const
{
    if (m_current < 0 || !HasField(QStringLiteral("Id")))
        return QVariant();
    return m_rows[m_current][columnOf(QStringLiteral("Id"))];
}

bool TDataSet::GotoBookmark(const QVariant &bookmark)
{
    if (!bookmark.isValid())
        return false;
    return Locate(QStringLiteral("Id"), bookmark);
}

// ---------------------------------------------------------------- fields

int TDataSet::columnOf(const QString &field) const
{
    return m_columnIndex.value(Key(field), -1);
}

int TDataSet::columnOfOrThrow(const QString &field) const
{
    const int column = columnOf(field);
    if (column < 0)
        throw OrmenaError(QStringLiteral("%1: поле '%2' не найдено").arg(objectName(), field));
    return column;
}

QStringList TDataSet::FieldNames() const
{
    return m_columns + m_lookupOrder;
}

bool TDataSet::HasField(const QString &name) const
{
    return m_columnIndex.contains(Key(name)) || m_lookups.contains(Key(name));
}

QVariant TDataSet::Value(const QString &field) const
{
    if ((m_state == dsEdit || m_state == dsInsert) && !m_buffer.isEmpty())
        return ValueAt(m_editRow, field);
    if (m_current < 0) {
        if (!HasField(field) && Active())
            columnOfOrThrow(field);
        return QVariant();
    }
    return ValueAt(m_current, field);
}

QVariant TDataSet::ValueAt(int row, const QString &field) const
{
    if (row < 0 || row >= m_rows.size())
        return QVariant();
    const bool buffered = (m_state == dsEdit || m_state == dsInsert) && row == m_editRow && !m_buffer.isEmpty();
    const int column = columnOf(field);
    if (column >= 0) {
        const bool deferred = m_deferredOrigins.contains(column);
        if (buffered && (!deferred || m_changed[column]))
            return m_buffer[column];
        return deferred ? fetchDeferred(row, column) : m_rows[row][column];
    }
    const auto lookup = m_lookups.constFind(Key(field));
    if (lookup == m_lookups.cend()) {
        columnOfOrThrow(field);
        return QVariant();
    }
    return lookupValue(*lookup, row);
}

void TDataSet::SetValue(const QString &field, const QVariant &value)
{
    if (m_state != dsEdit && m_state != dsInsert)
        throw OrmenaError(QStringLiteral("Набор данных %1 не в режиме редактирования").arg(objectName()));
    const int column = columnOf(field);
    if (column < 0) {
        if (m_lookups.contains(Key(field)))
            throw OrmenaError(QStringLiteral("Поле '%1' нельзя изменить").arg(field));
        columnOfOrThrow(field);
    }
    m_buffer[column] = value;
    m_changed[column] = true;
    if (m_disableCount == 0)
        Q_EMIT rowChanged(m_editRow);
}

void TDataSet::AddLookupField(const QString &name, const QString &keyField, TDataSet *lookup,
                              const QString &lookupKeyField, const QString &resultField)
{
    if (!m_lookups.contains(Key(name)))
        m_lookupOrder.append(name);
    m_lookups.insert(Key(name), LookupField{keyField, lookup, lookupKeyField, resultField});
    if (lookup && !m_lookupSources.contains(lookup)) {
        // Lookup values change whenever the other dataset's rows do.
        m_lookupSources.insert(lookup);
        connect(lookup, &TDataSet::rowsReset, this, [this] {
            if (Active() && m_disableCount == 0)
                Q_EMIT rowsReset();
        });
    }
}

QVariant TDataSet::lookupValue(const LookupField &lookup, int row) const
{
    if (!lookup.lookup || !lookup.lookup->Active())
        return QVariant();
    const QVariant key = ValueAt(row, lookup.keyField);
    const QString keyText = KeyText(key);
    if (keyText.isEmpty())
        return QVariant();
    const int found = lookup.lookup->keyIndex(lookup.lookupKeyField).value(keyText, -1);
    if (found < 0)
        return QVariant();
    return lookup.lookup->ValueAt(found, lookup.resultField);
}

const QHash<QString, int> &TDataSet::keyIndex(const QString &field) const
{
    const QString key = Key(field);
    auto it = m_keyIndexes.find(key);
    if (it != m_keyIndexes.end())
        return *it;
    QHash<QString, int> index;
    const int column = columnOf(field);
    if (column >= 0) {
        index.reserve(m_rows.size());
        for (int row = static_cast<int>(m_rows.size()) - 1; row >= 0; --row)
            index.insert(KeyText(m_rows[row][column]), row); // the first row of a key wins
    }
    return *m_keyIndexes.insert(key, index);
}

void TDataSet::invalidateKeyIndexes() const
{
    m_keyIndexes.clear();
}

void TDataSet::SetGetText(const QString &field, GetTextHandler handler)
{
    if (handler)
        m_getText.insert(Key(field), std::move(handler));
    else
        m_getText.remove(Key(field));
    if (Active() && m_disableCount == 0)
        Q_EMIT rowsReset();
}

bool TDataSet::HasGetText(const QString &field) const
{
    return m_getText.contains(Key(field));
}

QString TDataSet::DisplayText(int row, const QString &field) const
{
    const QVariant value = ValueAt(row, field);
    const auto handler = m_getText.constFind(Key(field));
    if (handler != m_getText.cend())
        return (*handler)(*this, row, value);
    if (!value.isValid() || value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd.MM.yyyy"))
                                         : dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray().isEmpty() ? QString() : QStringLiteral("(BLOB)");
    return value.toString();
}

// ---------------------------------------------------------------- editing

void TDataSet::Edit()
{
    checkBrowse("Edit");
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (m_current < 0)
        throw OrmenaError(QStringLiteral("Нет записи для изменения"));
    if (BeforeEdit)
        BeforeEdit(*this);
    m_buffer = m_rows[m_current];
    m_changed = QVector<bool>(m_columns.size(), false);
    m_editRow = m_current;
    setState(dsEdit);
}

void TDataSet::Insert()
{
    checkBrowse("Insert");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    const int at = m_current < 0 ? 0 : m_current;
    m_rows.insert(at, QVector<QVariant>(m_columns.size()));
    m_buffer = QVector<QVariant>(m_columns.size());
    m_changed = QVector<bool>(m_columns.size(), false);
    m_editRow = at;
    m_current = at;
    invalidateKeyIndexes();
    takeMasterValues();
    if (m_disableCount == 0)
        Q_EMIT rowInserted(at);
    setState(dsInsert);
    notifyScroll();
}

void TDataSet::takeMasterValues()
{
    // A new detail row belongs to the master's current row.
    if (!m_master)
        return;
    const QVector<QVariant> values = MasterValues();
    for (int i = 0; i < m_detailFields.size() && i < values.size(); ++i) {
        const int column = columnOf(m_detailFields[i]);
        if (column >= 0) {
            m_buffer[column] = values[i];
            m_changed[column] = true;
        }
    }
}

void TDataSet::Append()
{
    checkBrowse("Append");
    if (m_state == dsEdit || m_state == dsInsert)
        Post();
    m_current = static_cast<int>(m_rows.size());
    m_rows.append(QVector<QVariant>(m_columns.size()));
    m_buffer = QVector<QVariant>(m_columns.size());
    m_changed = QVector<bool>(m_columns.size(), false);
    m_editRow = m_current;
    invalidateKeyIndexes();
    takeMasterValues();
    if (m_disableCount == 0)
        Q_EMIT rowInserted(m_current);
    setState(dsInsert);
    notifyScroll();
}

bool TDataSet::Modified() const
{
    for (bool changed : m_changed)
        if (changed)
            return true;
    return false;
}

QString TDataSet::quotedUpdateTable() const
{
    if (m_updateTable.isEmpty())
        throw OrmenaError(QStringLiteral("Набор данных %1 нельзя изменять").arg(objectName()));
    return QLatin1Char('"') + m_updateTable + QLatin1Char('"');
}

QVector<QVariant> TDataSet::readRowById(const QVariant &id) const
{
    std::unique_ptr<DbQuery> query =
        m_connection->prepare(QStringLiteral("SELECT * FROM %1 WHERE \"Id\"=?").arg(quotedUpdateTable()));
    query->bindValue(0, id);
    QVector<QVariant> row(m_columns.size());
    if (!query->next())
        return row;
    for (int c = 0; c < m_columns.size(); ++c) {
        const int source = query->columnIndex(m_columns[c]);
        if (source >= 0 && !m_deferredOrigins.contains(c))
            row[c] = query->value(source);
    }
    return row;
}

QVariant TDataSet::fetchDeferred(int row, int column) const
{
    const QVariant id = m_rows[row][columnOf(QStringLiteral("Id"))];
    if (!id.isValid() || id.isNull())
        return QVariant(); // a row not saved yet has nothing stored
    std::unique_ptr<DbQuery> query = m_connection->prepare(
        QStringLiteral("SELECT \"%1\" FROM %2 WHERE \"Id\"=?").arg(m_deferredOrigins.value(column), quotedUpdateTable()));
    query->bindValue(0, id);
    return query->next() ? query->value(0) : QVariant();
}

void TDataSet::postInsert()
{
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!m_changed[c])
            continue;
        names.append(QLatin1Char('"') + m_columns[c] + QLatin1Char('"'));
        marks.append(QStringLiteral("?"));
        values.append(m_buffer[c]);
    }
    const QString sql = names.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quotedUpdateTable())
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
              .arg(quotedUpdateTable(), names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    std::unique_ptr<DbQuery> query = m_connection->prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values[i]);
    query->exec();
    const qint64 id = m_connection->lastInsertId();
    m_rows[m_editRow] = readRowById(id);
}

void TDataSet::postEdit()
{
    const int idColumn = columnOfOrThrow(QStringLiteral("Id"));
    QStringList sets;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (!m_changed[c] || c == idColumn)
            continue;
        sets.append(QLatin1Char('"') + m_columns[c] + QStringLiteral("\"=?"));
        values.append(m_buffer[c]);
    }
    if (!sets.isEmpty()) {
        std::unique_ptr<DbQuery> query = m_connection->prepare(
            QStringLiteral("UPDATE %1 SET %2 WHERE \"Id\"=?").arg(quotedUpdateTable(), sets.join(QLatin1Char(','))));
        int i = 0;
        for (; i < values.size(); ++i)
            query->bindValue(i, values[i]);
        query->bindValue(i, m_rows[m_editRow][idColumn]);
        query->exec();
    }
    m_rows[m_editRow] = readRowById(m_rows[m_editRow][idColumn]);
}

void TDataSet::Post()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    if (BeforePost)
        BeforePost(*this);
    if (m_state == dsInsert)
        postInsert();
    else
        postEdit();
    const int row = m_editRow;
    m_buffer.clear();
    m_changed.clear();
    m_editRow = -1;
    invalidateKeyIndexes();
    setState(dsBrowse);
    if (m_disableCount == 0)
        Q_EMIT rowChanged(row);
    for (const QPointer<TDataSet> &detail : m_details)
        if (detail)
            detail->masterChanged();
    if (AfterPost)
        AfterPost(*this);
    AfterPostStep();
}

void TDataSet::Cancel()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    const bool inserting = m_state == dsInsert;
    const int row = m_editRow;
    m_buffer.clear();
    m_changed.clear();
    m_editRow = -1;
    if (inserting) {
        m_rows.removeAt(row);
        invalidateKeyIndexes();
        if (m_disableCount == 0)
            Q_EMIT rowRemoved(row);
        setState(dsBrowse);
        setCurrent(row >= m_rows.size() ? row - 1 : row);
        return;
    }
    setState(dsBrowse);
    if (m_disableCount == 0)
        Q_EMIT rowChanged(row);
}

void TDataSet::Delete()
{
    checkBrowse("Delete");
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (m_state == dsEdit)
        Cancel();
    if (m_current < 0)
        throw OrmenaError(QStringLiteral("Нет записи для удаления"));
    if (BeforeDelete)
        BeforeDelete(*this);
    const QVariant id = m_rows[m_current][columnOfOrThrow(QStringLiteral("Id"))];
    std::unique_ptr<DbQuery> query =
        m_connection->prepare(QStringLiteral("DELETE FROM %1 WHERE \"Id\"=?").arg(quotedUpdateTable()));
    query->bindValue(0, id);
    query->exec();
    const int row = m_current;
    m_rows.removeAt(row);
    invalidateKeyIndexes();
    if (m_disableCount == 0)
        Q_EMIT rowRemoved(row);
    setCurrent(row >= m_rows.size() ? row - 1 : row);
    m_eof = m_rows.isEmpty();
    m_bof = m_rows.isEmpty();
}

void TDataSet::setState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

// ---------------------------------------------------------------- master/detail

void TDataSet::SetMasterSource(TDataSet *master, const QStringList &masterFields, const QStringList &detailFields)
{
    if (m_master)
        m_master->m_details.removeAll(this);
    m_master = master;
    m_masterFields = masterFields;
    m_detailFields = detailFields;
    if (m_master)
        m_master->m_details.append(this);
}

QVector<QVariant> TDataSet::MasterValues() const
{
    QVector<QVariant> values;
    if (!m_master)
        return values;
    for (const QString &field : m_masterFields)
        values.append(m_master->Active() && m_master->m_state != dsInsert ? m_master->Value(field) : QVariant());
    return values;
}

bool TDataSet::MasterLinkEmpty() const
{
    if (!m_master)
        return false;
    if (!m_master->Active() || m_master->IsEmpty() || m_master->m_state == dsInsert)
        return true;
    for (const QVariant &value : MasterValues())
        if (!value.isValid() || value.isNull())
            return true;
    return false;
}

void TDataSet::masterChanged()
{
    if (!Active() || !m_master)
        return;
    if (m_master->m_disableCount > 0) {
        m_master->m_scrollPending = true;
        return;
    }
    rereadFromFirst();
}

// ---------------------------------------------------------------- bound controls

void TDataSet::DisableControls()
{
    ++m_disableCount;
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount > 0)
        return;
    Q_EMIT rowsReset();
    Q_EMIT currentChanged(m_current);
    if (m_scrollPending) {
        m_scrollPending = false;
        for (const QPointer<TDataSet> &detail : m_details)
            if (detail)
                detail->masterChanged();
    }
}

void TDataSet::notifyReset()
{
    if (m_disableCount == 0)
        Q_EMIT rowsReset();
}

void TDataSet::notifyScroll()
{
    if (m_disableCount > 0) {
        m_scrollPending = true;
    } else {
        Q_EMIT currentChanged(m_current);
        for (const QPointer<TDataSet> &detail : m_details)
            if (detail)
                detail->masterChanged();
    }
    if (AfterScroll)
        AfterScroll(*this);
}

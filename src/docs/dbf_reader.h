// Read-only access to a dBase III or FoxPro table (.dbf): its fields, its
// records and the one-row look-up by key the organisation registry needs.
// Texts are decoded from the code page the header names; nothing is written.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class DbfTable {
public:
    struct Field {
        QString name;
        char type = 'C';
        int offset = 0; // within the record, after the deletion flag
        int length = 0;
        int decimals = 0;
        bool nullable = false;
        bool system = false;
        int nullBit = -1; // bit of the _NullFlags field, -1 when none
    };

    // Reads the whole table; fails with a Russian message when the file cannot
    // be read or is not a DBF table.
    explicit DbfTable(const QString &path);

    QString path() const { return m_path; }
    int codePage() const { return m_codePage; }
    int recordCount() const { return m_recordCount; }
    const QList<Field> &fields() const { return m_fields; }
    // Field index by name, letter case ignored; -1 when there is none.
    int fieldIndex(const QString &name) const;
    bool isDeleted(int record) const;
    // The field's text as stored (blank padding kept); nullopt for a null value.
    std::optional<QString> value(int record, int field) const;
    std::optional<QString> value(int record, const QString &fieldName) const;
    // The first record not marked deleted whose field, trimmed and upper-cased,
    // equals the key trimmed and upper-cased; -1 when none. Fails when the
    // table has no such field.
    int findFirst(const QString &fieldName, const QString &key) const;

private:
    const char *record(int index) const;
    [[noreturn]] void fail(const QString &reason) const;

    QString m_path;
    QByteArray m_data;
    QList<Field> m_fields;
    int m_headerLength = 0;
    int m_recordLength = 0;
    int m_recordCount = 0;
    int m_codePage = 0;
    int m_nullFlagsField = -1;
};

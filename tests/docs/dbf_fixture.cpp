#include "dbf_fixture.h"

#include "docs/dbf_code_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <gtest/gtest.h>

namespace {

// Encodes by inverting the reader's table, after the known letters have been
// checked by the code-page test.
QByteArray Encode(const QString &text, int codePage, int length)
{
    QHash<QChar, char> bytes;
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        bytes.insert(DecodeDbfText(&c, 1, codePage).at(0), c);
    }
    QByteArray encoded;
    for (QChar ch : text) {
        EXPECT_TRUE(bytes.contains(ch)) << "no byte for " << int(ch.unicode());
        encoded.append(bytes.value(ch, '?'));
    }
    encoded = encoded.left(length);
    encoded.append(QByteArray(length - encoded.size(), ' '));
    return encoded;
}

void PutLe16(QByteArray &data, int at, int value)
{
    data[at] = static_cast<char>(value & 0xFF);
    data[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutLe32(QByteArray &data, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

void WriteDbf(const QString &path, unsigned char version, unsigned char languageDriver,
              const QList<DbfFieldSpec> &fields, const QList<DbfRowSpec> &rows)
{
    const bool foxPro = version == 0x30;
    const int codePage = DbfCodePage(languageDriver);
    QList<DbfFieldSpec> all = fields;
    int nullable = 0;
    for (const DbfFieldSpec &field : fields)
        nullable += field.nullable ? 1 : 0;
    const int nullBytes = (nullable + 7) / 8;
    if (foxPro && nullable > 0)
        all.append({QStringLiteral("_NullFlags"), nullBytes, false});

    const int headerLength = 32 + 32 * static_cast<int>(all.size()) + 1 + (foxPro ? 263 : 0);
    int recordLength = 1;
    for (const DbfFieldSpec &field : all)
        recordLength += field.length;

    QByteArray data(headerLength, '\0');
    data[0] = static_cast<char>(version);
    data[1] = 124;
    data[2] = 5;
    data[3] = 17;
    PutLe32(data, 4, static_cast<quint32>(rows.size()));
    PutLe16(data, 8, headerLength);
    PutLe16(data, 10, recordLength);
    data[29] = static_cast<char>(languageDriver);
    int offset = 1;
    for (int i = 0; i < all.size(); ++i) {
        const int at = 32 + 32 * i;
        const QByteArray name = all[i].name.toLatin1().left(10);
        for (int k = 0; k < name.size(); ++k)
            data[at + k] = name[k];
        const bool system = all[i].name == QLatin1String("_NullFlags");
        data[at + 11] = system ? '0' : 'C';
        PutLe32(data, at + 12, foxPro ? static_cast<quint32>(offset) : 0);
        data[at + 16] = static_cast<char>(all[i].length);
        data[at + 18] = static_cast<char>((system ? 0x05 : 0) | (all[i].nullable && foxPro ? 0x02 : 0));
        offset += all[i].length;
    }
    data[32 + 32 * all.size()] = 0x0D;

    for (const DbfRowSpec &row : rows) {
        QByteArray record(1, row.deleted ? '*' : ' ');
        QByteArray nullFlags(nullBytes, '\0');
        int nullBit = 0;
        for (int i = 0; i < fields.size(); ++i) {
            const std::optional<QString> value = row.values.value(i);
            record += Encode(value.value_or(QString()), codePage, fields[i].length);
            if (fields[i].nullable) {
                if (!value)
                    nullFlags[nullBit / 8] = static_cast<char>(nullFlags[nullBit / 8] | (1 << (nullBit % 8)));
                ++nullBit;
            }
        }
        if (foxPro && nullable > 0)
            record += nullFlags;
        data += record;
    }
    data += '\x1A';

    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

void WriteOrganTable(const QString &loginDir, const QList<QStringList> &rows)
{
    QList<DbfRowSpec> records;
    for (const QStringList &row : rows)
        records.append({{row.value(0), row.value(1), row.value(2)}, false});
    WriteDbf(loginDir + QStringLiteral("/organ.dbf"), 0x30, 0xC9,
             {{QStringLiteral("ALIAS"), 12}, {QStringLiteral("ORG_NAME"), 40}, {QStringLiteral("ADM_PATH"), 120}},
             records);
}

void WriteDbeList(const QString &adminDir, const QList<QStringList> &rows)
{
    QList<DbfRowSpec> records;
    for (const QStringList &row : rows)
        records.append({{row.value(0), row.value(1), row.value(2), row.value(3)}, false});
    WriteDbf(adminDir + QStringLiteral("/DBE/DBELIST.DBF"), 0x03, 0x65,
             {{QStringLiteral("ALIAS"), 12},
              {QStringLiteral("FULLNAME"), 40},
              {QStringLiteral("PATH"), 120},
              {QStringLiteral("GUIDENAME"), 20}},
             records);
}

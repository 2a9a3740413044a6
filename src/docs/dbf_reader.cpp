#include "docs/dbf_reader.h"

#include "common/errors.h"
#include "common/text_utils.h"
#include "docs/dbf_code_pages.h"

#include <QFile>

namespace {

constexpr int kHeaderSize = 32;
constexpr int kFieldDescriptorSize = 32;
constexpr char kFieldTerminator = 0x0D;
// Visual FoxPro tables carry a 263-byte backlink after the field descriptors.
constexpr unsigned char kVisualFoxPro = 0x30;
constexpr unsigned char kVisualFoxProAutoIncrement = 0x31;
constexpr unsigned char kVisualFoxProVarchar = 0x32;
constexpr unsigned char kFieldFlagSystem = 0x01;
constexpr unsigned char kFieldFlagNullable = 0x02;

quint32 Le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

quint16 Le16(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return quint16(u[0] | u[1] << 8);
}

bool KnownVersion(unsigned char version)
{
    switch (version) {
    case 0x02: // FoxBASE
    case 0x03: // dBase III / FoxPro without memo
    case 0x83: // dBase III with memo
    case 0x8B: // dBase IV with memo
    case 0xF5: // FoxPro 2.x with memo
    case 0xFB: // FoxBASE with memo
    case kVisualFoxPro:
    case kVisualFoxProAutoIncrement:
    case kVisualFoxProVarchar:
        return true;
    default:
        return false;
    }
}

} // namespace

DbfTable::DbfTable(const QString &path)
    : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(file.errorString());
    m_data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(file.errorString());
    if (m_data.size() < kHeaderSize + 1)
        fail(QStringLiteral("файл слишком короток для заголовка"));

    const char *header = m_data.constData();
    const auto version = static_cast<unsigned char>(header[0]);
    if (!KnownVersion(version))
        fail(QStringLiteral("неизвестная версия формата 0x%1").arg(version, 2, 16, QLatin1Char('0')));
    const quint32 records = Le32(header + 4);
    m_headerLength = Le16(header + 8);
    m_recordLength = Le16(header + 10);
    m_codePage = DbfCodePage(static_cast<unsigned char>(header[29]));
    if (m_headerLength < kHeaderSize + 1 || m_headerLength > m_data.size() || m_recordLength < 1)
        fail(QStringLiteral("повреждён заголовок"));

    int position = kHeaderSize;
    int offset = 0;
    int nullBit = 0;
    while (position < m_headerLength && m_data.at(position) != kFieldTerminator) {
        if (position + kFieldDescriptorSize > m_headerLength)
            fail(QStringLiteral("повреждено описание полей"));
        const char *descriptor = header + position;
        Field field;
        field.name = QString::fromLatin1(descriptor, static_cast<qsizetype>(qstrnlen(descriptor, 11))).trimmed();
        field.type = descriptor[11];
        field.length = static_cast<unsigned char>(descriptor[16]);
        field.decimals = static_cast<unsigned char>(descriptor[17]);
        const auto flags = static_cast<unsigned char>(descriptor[18]);
        field.offset = offset + 1;
        offset += field.length;
        const bool visualFoxPro =
            version == kVisualFoxPro || version == kVisualFoxProAutoIncrement || version == kVisualFoxProVarchar;
        if (visualFoxPro) {
            field.system = (flags & kFieldFlagSystem) != 0;
            field.nullable = (flags & kFieldFlagNullable) != 0;
            if (field.nullable)
                field.nullBit = nullBit++;
        }
        if (field.name.isEmpty() || field.length == 0)
            fail(QStringLiteral("повреждено описание полей"));
        if (field.system && field.name.compare(QLatin1String("_NullFlags"), Qt::CaseInsensitive) == 0)
            m_nullFlagsField = static_cast<int>(m_fields.size());
        m_fields.append(field);
        position += kFieldDescriptorSize;
    }
    if (position >= m_headerLength || m_fields.isEmpty())
        fail(QStringLiteral("нет описания полей"));
    if (offset + 1 > m_recordLength)
        fail(QStringLiteral("длина записи меньше суммы длин полей"));

    // A table cut short keeps only its complete records.
    const qint64 available = (m_data.size() - m_headerLength) / m_recordLength;
    m_recordCount = static_cast<int>(std::min<qint64>(records, available));
}

void DbfTable::fail(const QString &reason) const
{
    throw OrmenaError(QStringLiteral("Не удалось прочитать таблицу DBF\r%1\r%2").arg(m_path, reason));
}

int DbfTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (!m_fields.at(i).system && m_fields.at(i).name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

const char *DbfTable::record(int index) const
{
    return m_data.constData() + m_headerLength + static_cast<qsizetype>(index) * m_recordLength;
}

bool DbfTable::isDeleted(int index) const
{
    return index < 0 || index >= m_recordCount || record(index)[0] == '*';
}

std::optional<QString> DbfTable::value(int index, int fieldIndex) const
{
    if (index < 0 || index >= m_recordCount || fieldIndex < 0 || fieldIndex >= m_fields.size())
        return std::nullopt;
    const Field &field = m_fields.at(fieldIndex);
    const char *row = record(index);
    if (field.nullBit >= 0 && m_nullFlagsField >= 0) {
        const Field &flags = m_fields.at(m_nullFlagsField);
        const int byte = field.nullBit / 8;
        if (byte < flags.length && (static_cast<unsigned char>(row[flags.offset + byte]) >> (field.nullBit % 8)) & 1)
            return std::nullopt;
    }
    return DecodeDbfText(row + field.offset, field.length, m_codePage);
}

std::optional<QString> DbfTable::value(int index, const QString &fieldName) const
{
    return value(index, fieldIndex(fieldName));
}

int DbfTable::findFirst(const QString &fieldName, const QString &key) const
{
    const int field = fieldIndex(fieldName);
    if (field < 0)
        fail(QStringLiteral("нет поля %1").arg(fieldName));
    const QString wanted = TrimUpper(key);
    for (int i = 0; i < m_recordCount; ++i) {
        if (isDeleted(i))
            continue;
        const std::optional<QString> text = value(i, field);
        if (text && TrimUpper(*text) == wanted)
            return i;
    }
    return -1;
}

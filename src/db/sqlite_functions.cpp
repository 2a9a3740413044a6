#include "db/sqlite_functions.h"

#include "common/errors.h"

#include <QLocale>
#include <QStringList>

#include <cmath>
#include <limits>
#include <sqlite3.h>

namespace {

const QStringList &DateTimeFormats()
{
    static const QStringList formats = {
        QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"), QStringLiteral("yyyy-MM-dd HH:mm:ss"),
        QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"), QStringLiteral("yyyy-MM-ddTHH:mm:ss"),
        QStringLiteral("yyyy-MM-dd HH:mm"),        QStringLiteral("yyyy-MM-dd"),
    };
    return formats;
}

bool InInt32(qlonglong v)
{
    return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
}

// A number written as text: integers first (so large ones keep every digit),
// then decimals with either separator.
bool ParseNumberText(const QString &text, qlonglong *integer, double *real, bool *isInteger)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qlonglong i = trimmed.toLongLong(&ok);
    if (ok) {
        *integer = i;
        *real = static_cast<double>(i);
        *isInteger = true;
        return true;
    }
    QString decimal = trimmed;
    decimal.replace(QLatin1Char(','), QLatin1Char('.'));
    const double d = QLocale::c().toDouble(decimal, &ok);
    if (!ok || !std::isfinite(d))
        return false;
    *real = d;
    *isInteger = false;
    return true;
}

// An integer that a value stands for without loss, if any.
bool IntegralValue(const QVariant &value, qlonglong *out)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        *out = value.toLongLong();
        return true;
    case QMetaType::Double: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::floor(d) || std::fabs(d) > 9.0e15)
            return false;
        *out = static_cast<qlonglong>(d);
        return true;
    }
    case QMetaType::QString: {
        qlonglong i = 0;
        double d = 0;
        bool isInteger = false;
        if (!ParseNumberText(value.toString(), &i, &d, &isInteger))
            return false;
        if (isInteger) {
            *out = i;
            return true;
        }
        return IntegralValue(QVariant(d), out);
    }
    default:
        return false;
    }
}

bool RealValue(const QVariant &value, double *out)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Double:
        *out = value.toDouble();
        return true;
    case QMetaType::QString: {
        qlonglong i = 0;
        bool isInteger = false;
        return ParseNumberText(value.toString(), &i, out, &isInteger);
    }
    default:
        return false;
    }
}

bool BitValue(const QVariant &value, bool *out)
{
    double d = 0;
    if (RealValue(value, &d)) {
        *out = d != 0;
        return true;
    }
    if (value.typeId() == QMetaType::QString) {
        const QString t = value.toString().trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            *out = true;
            return true;
        }
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            *out = false;
            return true;
        }
    }
    return false;
}

// Characters as SQLite's length() counts them: code points, not UTF-16 units.
int CodePointCount(const QString &text)
{
    int count = 0;
    for (const QChar c : text)
        if (!c.isLowSurrogate())
            ++count;
    return count;
}

QVariant FromSqliteValue(sqlite3_value *value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(value));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(value)),
                                          sqlite3_value_bytes(value)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_value_blob(value)),
                                   sqlite3_value_bytes(value)));
    default:
        return QVariant();
    }
}

void ResultVariant(sqlite3_context *context, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
        sqlite3_result_int64(context, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_result_double(context, value.toDouble());
        break;
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_result_text(context, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_result_blob(context, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default:
        sqlite3_result_null(context);
    }
}

// The collation. ASCII-only prefixes are compared in place (the common case);
// anything else goes through Qt's Unicode case folding. Both paths fold to
// lower case, so they agree on every pair and the order stays total.
int NoCaseCollation(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    const auto *pa = static_cast<const unsigned char *>(a);
    const auto *pb = static_cast<const unsigned char *>(b);
    const int common = std::min(lengthA, lengthB);
    for (int i = 0; i < common; ++i) {
        unsigned char ca = pa[i];
        unsigned char cb = pb[i];
        if ((ca | cb) & 0x80)
            return CompareNoCase(QString::fromUtf8(reinterpret_cast<const char *>(pa), lengthA),
                                 QString::fromUtf8(reinterpret_cast<const char *>(pb), lengthB));
        if (ca >= 'A' && ca <= 'Z')
            ca += 32;
        if (cb >= 'A' && cb <= 'Z')
            cb += 32;
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return lengthA < lengthB ? -1 : (lengthA > lengthB ? 1 : 0);
}

// LIKE with "%" and "_" (and an optional escape character), case-blind for
// every alphabet. Matching runs on case-folded text.
bool LikeMatch(const QString &pattern, const QString &text, QChar escape, bool hasEscape)
{
    qsizetype p = 0, t = 0, starP = -1, starT = -1;
    while (t < text.size()) {
        if (p < pattern.size()) {
            const QChar pc = pattern.at(p);
            if (hasEscape && pc == escape && p + 1 < pattern.size()) {
                if (pattern.at(p + 1) == text.at(t)) {
                    p += 2;
                    ++t;
                    continue;
                }
            } else if (pc == QLatin1Char('%')) {
                starP = p++;
                starT = t;
                continue;
            } else if (pc == QLatin1Char('_') || pc == text.at(t)) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP < 0)
            return false;
        p = starP + 1;
        t = ++starT;
    }
    while (p < pattern.size() && pattern.at(p) == QLatin1Char('%'))
        ++p;
    return p == pattern.size();
}

void LikeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString pattern =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0]))).toCaseFolded();
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[1]))).toCaseFolded();
    QChar escape;
    bool hasEscape = false;
    if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
        const QString e = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[2])));
        if (e.size() != 1) {
            sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.at(0).toCaseFolded();
        hasEscape = true;
    }
    sqlite3_result_int(context, LikeMatch(pattern, text, escape, hasEscape) ? 1 : 0);
}

template <bool Upper>
void CaseFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                                           sqlite3_value_bytes(argv[0]));
    ResultVariant(context, Upper ? text.toUpper() : text.toLower());
}

void FitsFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const auto kind = static_cast<DbColumnKind>(sqlite3_value_int(argv[1]));
    const int size = sqlite3_value_int(argv[2]);
    sqlite3_result_int(context, ValueFitsKind(FromSqliteValue(argv[0]), kind, size) ? 1 : 0);
}

void ConvertFunction(sqlite3_context *context, int, sqlite3_value **argv)
{
    const auto kind = static_cast<DbColumnKind>(sqlite3_value_int(argv[1]));
    if ((kind == DbColumnKind::Text || kind == DbColumnKind::LongText)
        && sqlite3_value_type(argv[0]) != SQLITE_BLOB && sqlite3_value_type(argv[0]) != SQLITE_NULL) {
        // SQLite's own text form of a number is the one every other path shows.
        sqlite3_result_text(context, reinterpret_cast<const char *>(sqlite3_value_text(argv[0])),
                            sqlite3_value_bytes(argv[0]), SQLITE_TRANSIENT);
        return;
    }
    ResultVariant(context, ConvertToKind(FromSqliteValue(argv[0]), kind));
}

void Check(int rc, sqlite3 *db, const char *what)
{
    if (rc != SQLITE_OK)
        throw OrmenaError(QStringLiteral("Не удалось подготовить соединение с базой данных (%1: %2)")
                              .arg(QLatin1String(what), QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace

int CompareNoCase(const QString &a, const QString &b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void RegisterEngineFunctions(sqlite3 *db)
{
    const int utf8 = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    Check(sqlite3_create_collation_v2(db, kNoCaseCollation, SQLITE_UTF8, nullptr, NoCaseCollation, nullptr),
          db, "collation");
    Check(sqlite3_create_function_v2(db, "like", 2, utf8, nullptr, LikeFunction, nullptr, nullptr, nullptr), db,
          "like");
    Check(sqlite3_create_function_v2(db, "like", 3, utf8, nullptr, LikeFunction, nullptr, nullptr, nullptr), db,
          "like");
    Check(sqlite3_create_function_v2(db, "upper", 1, utf8, nullptr, CaseFunction<true>, nullptr, nullptr, nullptr),
          db, "upper");
    Check(sqlite3_create_function_v2(db, "lower", 1, utf8, nullptr, CaseFunction<false>, nullptr, nullptr, nullptr),
          db, "lower");
    Check(sqlite3_create_function_v2(db, "ormena_fits", 3, utf8, nullptr, FitsFunction, nullptr, nullptr, nullptr),
          db, "ormena_fits");
    Check(sqlite3_create_function_v2(db, "ormena_convert", 2, utf8, nullptr, ConvertFunction, nullptr, nullptr,
                                     nullptr),
          db, "ormena_convert");
}

QString DateTimeToStorageText(const QDateTime &value)
{
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QDateTime StorageTextToDateTime(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (const QString &format : DateTimeFormats()) {
        const QDateTime parsed = QDateTime::fromString(trimmed, format);
        if (parsed.isValid())
            return parsed;
    }
    return QDateTime();
}

bool ValueFitsKind(const QVariant &value, DbColumnKind kind, int size)
{
    if (!value.isValid())
        return kind != DbColumnKind::AutoInc;
    const bool isBytes = value.typeId() == QMetaType::QByteArray;
    qlonglong integer = 0;
    double real = 0;
    bool bit = false;
    switch (kind) {
    case DbColumnKind::Unknown:
        return true;
    case DbColumnKind::Text:
        return !isBytes && CodePointCount(value.toString()) <= size;
    case DbColumnKind::LongText:
        return !isBytes;
    case DbColumnKind::AutoInc:
    case DbColumnKind::Integer:
        return IntegralValue(value, &integer) && InInt32(integer);
    case DbColumnKind::Bit:
        return BitValue(value, &bit);
    case DbColumnKind::Float:
    case DbColumnKind::Money:
        return RealValue(value, &real);
    case DbColumnKind::DateTime:
        return value.typeId() == QMetaType::QString && StorageTextToDateTime(value.toString()).isValid();
    case DbColumnKind::Image:
    case DbColumnKind::Binary:
        return isBytes;
    }
    return false;
}

QVariant ConvertToKind(const QVariant &value, DbColumnKind kind)
{
    if (!value.isValid())
        return value;
    qlonglong integer = 0;
    double real = 0;
    bool bit = false;
    switch (kind) {
    case DbColumnKind::AutoInc:
    case DbColumnKind::Integer:
        return IntegralValue(value, &integer) ? QVariant(integer) : value;
    case DbColumnKind::Bit:
        return BitValue(value, &bit) ? QVariant(qlonglong(bit ? 1 : 0)) : value;
    case DbColumnKind::Float:
    case DbColumnKind::Money:
        return RealValue(value, &real) ? QVariant(real) : value;
    case DbColumnKind::DateTime: {
        const QDateTime parsed = StorageTextToDateTime(value.toString());
        return parsed.isValid() ? QVariant(DateTimeToStorageText(parsed)) : value;
    }
    case DbColumnKind::Text:
    case DbColumnKind::LongText:
        return value.typeId() == QMetaType::QByteArray ? value : QVariant(value.toString());
    case DbColumnKind::Image:
    case DbColumnKind::Binary:
    case DbColumnKind::Unknown:
        return value;
    }
    return value;
}

// The collation and SQL functions every engine connection registers: text
// compared without regard to case for every alphabet (Cyrillic included), LIKE,
// UPPER and LOWER that know more than ASCII, and the value tests a table
// rebuild uses to refuse data that does not fit a new column definition.
#pragma once

#include "db/sqlite_engine.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

struct sqlite3;

// The collation every text column is declared with.
inline constexpr const char *kNoCaseCollation = "ORMENA_NOCASE";

// Registers the collation and the functions on one connection; throws on failure.
void RegisterEngineFunctions(sqlite3 *db);

// The collation's order: -1, 0 or 1, case-blind for every alphabet.
int CompareNoCase(const QString &a, const QString &b);

// How date and time values are stored: text that sorts in time order.
QString DateTimeToStorageText(const QDateTime &value);
QDateTime StorageTextToDateTime(const QString &text);

// Whether a value of SQLite's storage (null, integer, real, text, blob) can be
// stored in a column of the given kind and size without loss, and the value it
// becomes there. Null always fits (a BIT column turns it into false).
bool ValueFitsKind(const QVariant &value, DbColumnKind kind, int size);
QVariant ConvertToKind(const QVariant &value, DbColumnKind kind);

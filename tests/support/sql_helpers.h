// Direct SQL for tests: seeding rows behind the program's back and reading the
// tables back, always with bound values.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class DbConnection;

void RunSql(DbConnection &connection, const QString &statement, const QVariantList &values = {});
// The first column of the first row, or an invalid QVariant when there is none.
QVariant QueryScalar(DbConnection &connection, const QString &statement, const QVariantList &values = {});
// Every row as its values joined by "|", a null written "<null>".
QStringList QueryRows(DbConnection &connection, const QString &statement);

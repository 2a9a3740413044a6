// The schema check run once at every start: it creates Ormena.mdb in the
// working folder when missing and brings the file into line with the schema —
// tables, columns, identity seeds, indexes and the reserved dictionary rows —
// under a wait window. A failure it does not absorb reaches the caller as an
// OrmenaError; a file that is not an SQLite database is never written to.
#pragma once

#include <QString>

class DbConnection;

// Checks Ormena.mdb in the current folder through a private connection.
void CheckDatabase();
// The same check of directory/Ormena.mdb through the given connection, which
// is closed again at the end (CheckDatabase passes its private one).
void CheckDatabaseAt(const QString &directory, DbConnection &connection);

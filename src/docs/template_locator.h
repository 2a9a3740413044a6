// Finding a template or report file that is not where it was expected: a fixed
// chain of other places (developer folders, the report store the organisation
// registry names, local and network report folders, the current folder and its
// "RPT" subfolder). The first place holding the file wins.
#pragma once

#include "docs/db_organ.h"

#include <QString>

// The fixed places of the search. The Windows originals (D:\WORK\FAST_REPORT…,
// G:\FastRep, a network share, F:\LOGIN) do not exist here, so they come from
// the settings; an empty place is not searched.
struct TemplatePlaces {
    QString developerTemplateDir; // tried first in search mode 0
    QString developerReportDir;   // tried first in search mode 1
    QString localReportDir;
    QString networkReportDir;
    QString loginDir; // holds organ.dbf when QVR names no login directory
};

void SetTemplatePlaces(const TemplatePlaces &places);
const TemplatePlaces &CurrentTemplatePlaces();

// Trims path and finds the file: true with path replaced by where it was found;
// fails with "Не найден файл\r" + path, or with the registry's failure.
bool FindTemplateFile(QString &path);

// True when the file exists at path (unchanged) or in one of the places (path
// replaced). Otherwise fails with "Не найден файл\r" + path when failWhenMissing,
// or shows that text in a message box and returns false. A registry failure
// ends the search and is passed on.
bool FindReportFile(QString &path, quint8 mode, bool failWhenMissing);

// The directory of an application's database by the registry, normalised;
// fails when the start directory is missing or the alias resolves to nothing.
void LocateAppDir(quint8 index, const QString &start, QString &directory);

// The alias under which the organisation's database list knows an
// application; "НЕТ АЛИАСА" for an index without one. Index 9 is the report store.
QString AppAlias(quint8 index);
inline constexpr quint8 kReportStoreApp = 9;

// Sets the case, then the start path, then the database alias, in that order.
void SetupOrgan(TDBOrgan &organ, TAdminCase adminCase, const QString &alias, const QString &start);

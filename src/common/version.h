// The program's version text, "%d.%d.%d.%d", compiled in from the build.
#pragma once

#include <QString>

QString GetExeVersion();
// Formats a dotted version as four numbers; a text that is not a version gives "-1.0.0.0".
QString FormatVersion(const QString &dotted);

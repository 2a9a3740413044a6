// Filling an SQL template: the parameter string is cut at every ";" and each
// parameter replaces the first "%S" found from the start of the text.
#pragma once

#include <QString>
#include <QStringList>

// Cuts the parameter string: every ";" ends a parameter (kept even when
// empty); the piece after the last ";" counts only when it is not empty.
QStringList SplitSqlParams(const QString &params);

// The template text with the parameters put in, or an empty string when the
// template holds nothing but blanks and control characters.
QString FillSqlTemplate(const QStringList &templateLines, const QString &params);

// The template's lines joined, each followed by a carriage return and line feed.
QString JoinTemplateLines(const QStringList &templateLines);

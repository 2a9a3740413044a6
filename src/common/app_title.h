// The application title: "Ormena" once the program entry has set it. Message
// boxes, the splash and the single-instance lock read it from here.
#pragma once

#include <QString>

QString ApplicationTitle();
void SetApplicationTitle(const QString &title);

// The main window's caption: the title followed by " {ver. " + version + "}".
QString MainTitle();
void SetMainTitle(const QString &title);

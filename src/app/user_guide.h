// The user guide: Ormena's Russian HTML guide, shipped with the program and
// shown in its own help window. The guide is looked for beside the executable
// and in the installed data folder; at most one guide window exists, and a
// guide that cannot be found is reported, never silently ignored.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The folders searched for the guide's start page "index.html", in order:
// "help" beside the executable, "../share/ormena/help" from the executable
// (the installed layout, and the build tree's), then "ormena/help" in the
// system's data folders (XDG_DATA_HOME, XDG_DATA_DIRS).
QStringList UserGuideSearchPlaces();
// Puts other folders in place of those above (tests, or a guide kept
// elsewhere); an empty list goes back to the usual places.
void SetUserGuideSearchPlaces(const QStringList &places);
// The full path of the guide's start page; empty when it is nowhere.
QString UserGuideFile();

// Shows the guide's contents (F1), or the section with the given anchor
// ("templates", "prefix", "keys", ...). The window is created on first use
// and raised afterwards. When the guide cannot be found, a message box names
// the places searched. Returns the window, or null when nothing was shown.
QWidget *ShowUserGuide(QWidget *parent = nullptr, const QString &anchor = QString());
// Closes the guide window when it is open (at the program's shutdown).
void CloseUserGuide();
// The open guide window, or null.
QWidget *UserGuideWindow();

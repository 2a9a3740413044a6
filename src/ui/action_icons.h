// The pictures of the program's commands: one coloured icon set (the full-colour
// Adwaita icons installed with the desktop's icon theme), the same on every
// desktop, with the style's standard icons standing in when a file is missing.
#pragma once

#include <QIcon>
#include <QStyle>

// The icon of the given Adwaita name, built from every size installed; the
// standard icon of the current style when no file of that name exists.
QIcon ActionIcon(const QString &name, QStyle::StandardPixmap fallback);

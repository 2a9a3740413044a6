#include "ui/action_icons.h"

#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace {

// Adwaita keeps its full-colour pictures in these folders; the symbolic ones
// (grey line drawings) are named "*-symbolic" and never match a plain name.
const char *const kSizes[] = {"16x16", "22x22", "24x24", "32x32", "48x48"};
const char *const kContexts[] = {"legacy", "actions", "places", "mimetypes", "devices", "apps", "status"};

QStringList IconFolders()
{
    QStringList folders;
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders.append(data + QStringLiteral("/icons/Adwaita"));
    if (!folders.contains(QStringLiteral("/usr/share/icons/Adwaita")))
        folders.append(QStringLiteral("/usr/share/icons/Adwaita"));
    return folders;
}

} // namespace

QIcon ActionIcon(const QString &name, QStyle::StandardPixmap fallback)
{
    static QHash<QString, QIcon> cache;
    const auto cached = cache.constFind(name);
    if (cached != cache.cend())
        return *cached;

    QIcon icon;
    static const QStringList folders = IconFolders();
    for (const QString &folder : folders) {
        for (const char *size : kSizes) {
            for (const char *context : kContexts) {
                const QString file = QStringLiteral("%1/%2/%3/%4.png")
                                         .arg(folder, QLatin1String(size), QLatin1String(context), name);
                if (QFileInfo::exists(file)) {
                    icon.addFile(file);
                    break;
                }
            }
        }
        if (!icon.isNull())
            break;
    }
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(fallback);
    cache.insert(name, icon);
    return icon;
}

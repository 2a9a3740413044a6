#include "docs/template_locator.h"

#include "common/app_title.h"
#include "common/errors.h"
#include "common/file_utils.h"
#include "common/message_boxes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

TemplatePlaces g_places;

QString NotFound(const QString &path)
{
    return QStringLiteral("Не найден файл\r") + path;
}

// Puts directory + file name into path when a file is there.
bool TryReportDir(const QString &directory, const QString &name, QString &path)
{
    const QString dir = NormalizeDir(directory);
    const QString fileName = QFileInfo(name).fileName();
    const QString candidate = dir.isEmpty() ? fileName : dir + QLatin1Char('/') + fileName;
    if (!QFileInfo(candidate).isFile())
        return false;
    path = candidate;
    return true;
}

bool TryPlace(const QString &place, const QString &name, QString &path)
{
    return !place.trimmed().isEmpty() && TryReportDir(place, name, path);
}

enum class Access { Common, StartPath, None };

Access AccessOf(quint8 index)
{
    switch (index) {
    case 0:
    case 4:
    case 6:
    case 9:
    case 14:
        return Access::Common;
    default:
        return index <= 17 ? Access::StartPath : Access::None;
    }
}

} // namespace

void SetTemplatePlaces(const TemplatePlaces &places)
{
    g_places = places;
}

const TemplatePlaces &CurrentTemplatePlaces()
{
    return g_places;
}

QString AppAlias(quint8 index)
{
    // Keys of the organisation's DBELIST.DBF, one per application of the
    // organisation; Ormena itself uses only the report store's (index 9).
    static const char *const aliases[] = {
        "APP00", "APP01", "APP02", "APP03", "APP04", "APP05", "APP06", "APP07", "APP08",
        "FASTREP", "APP10", "APP11", "APP12", nullptr, "APP14", "APP15", "APP16", "APP17",
    };
    if (index < std::size(aliases) && aliases[index])
        return QString::fromLatin1(aliases[index]);
    return QStringLiteral("НЕТ АЛИАСА");
}

void SetupOrgan(TDBOrgan &organ, TAdminCase adminCase, const QString &alias, const QString &start)
{
    organ.SetAdminCase(adminCase);
    organ.SetStartPath(start);
    organ.SetDBAlias(alias);
}

void LocateAppDir(quint8 index, const QString &start, QString &directory)
{
    directory.clear();
    const QString startDir = NormalizeDir(start.isEmpty() ? QDir::currentPath() : start);
    if (!DirectoryExists(startDir))
        throw OrmenaError(QStringLiteral("Каталог %1 не найден\rСообщите разработчику!").arg(startDir));

    TDBOrgan organ;
    switch (AccessOf(index)) {
    case Access::Common:
        SetupOrgan(organ, acCommon, AppAlias(index), QString());
        break;
    case Access::StartPath:
        SetupOrgan(organ, acStartPath, AppAlias(index), startDir);
        break;
    case Access::None:
        break;
    }
    directory = NormalizeDir(index == 13 ? organ.AdminPath() : organ.DBPath());
    if (directory.isEmpty())
        throw OrmenaError(QStringLiteral("Не найден алиас базы данных <%1> для приложения\r< %2 >\r[ %3 ]\r"
                                         "AdminPach = %4\r\rОбратитесь к разаботчику!")
                              .arg(AppAlias(index), ApplicationTitle(), QCoreApplication::applicationFilePath(),
                                   organ.AdminPath()));
}

bool FindReportFile(QString &path, quint8 mode, bool failWhenMissing)
{
    if (QFileInfo(path).isFile())
        return true;
    const QString name = path.trimmed();
    const QString current = NormalizeDir(QDir::currentPath());

    if (mode == 0 && TryPlace(g_places.developerTemplateDir, name, path))
        return true;
    if (mode == 1 && TryPlace(g_places.developerReportDir, name, path))
        return true;
    QString reportStore;
    LocateAppDir(kReportStoreApp, QString(), reportStore);
    if (TryReportDir(reportStore, name, path))
        return true;
    if (TryPlace(g_places.localReportDir, name, path) || TryPlace(g_places.networkReportDir, name, path))
        return true;
    if (TryReportDir(QString(), name, path))
        return true;
    if (TryReportDir(EntryNoCase(current, QStringLiteral("RPT")), name, path))
        return true;

    if (failWhenMissing)
        throw OrmenaError(NotFound(path));
    ShowMessageBox(NotFound(path), QString(), mkPlain);
    return false;
}

bool FindTemplateFile(QString &path)
{
    QString found = path.trimmed();
    if (FindReportFile(found, 0, true))
        path = found;
    return true;
}

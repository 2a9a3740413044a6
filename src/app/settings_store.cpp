#include "app/settings_store.h"

#include "common/message_boxes.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

const QString kFileName = QStringLiteral("Ormena.ini");
// The registry path of the program's keys, as QSettings groups.
const QStringList kRootSegments = {QStringLiteral("SOFTWARE"), QStringLiteral("Ormena")};

QString g_folderOverride;
std::unique_ptr<TSettingsKey> g_settingsKey;
// Damaged store files already saved aside in this process (one copy each).
QSet<QString> g_damagedFilesSaved;

QStringList splitPath(const QString &path)
{
    QString text = path;
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList segments;
    for (const QString &segment : text.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString trimmed = segment.trimmed();
        if (!trimmed.isEmpty())
            segments.append(trimmed);
    }
    return segments;
}

QString joinGroup(const QString &group, const QString &child)
{
    return group.isEmpty() ? child : group + QLatin1Char('/') + child;
}

// The spelling already stored for a name, so that names differing only in
// letter case address the same key or value.
QString storedSpelling(const QStringList &existing, const QString &name)
{
    for (const QString &candidate : existing) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return name;
}

QStringList childGroupsOf(QSettings &settings, const QString &group)
{
    if (group.isEmpty())
        return settings.childGroups();
    settings.beginGroup(group);
    const QStringList groups = settings.childGroups();
    settings.endGroup();
    return groups;
}

QStringList childKeysOf(QSettings &settings, const QString &group)
{
    if (group.isEmpty())
        return settings.childKeys();
    settings.beginGroup(group);
    const QStringList keys = settings.childKeys();
    settings.endGroup();
    return keys;
}

QString resolveGroup(QSettings &settings, QString group, const QStringList &segments)
{
    for (const QString &segment : segments)
        group = joinGroup(group, storedSpelling(childGroupsOf(settings, group), segment));
    return group;
}

// QSettings rewrites a file it could only partly parse without the lines it
// did not understand. Before that happens, keep a copy of the file as it was
// and tell the operator where it is. False when no copy could be made: the
// store is then left alone.
bool SaveDamagedFileAside(const QString &file)
{
    if (g_damagedFilesSaved.contains(file))
        return true;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString copy = file + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(copy); ++n)
        copy = file + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
    if (!QFile::copy(file, copy)) {
        ShowMessageBox(QStringLiteral("Файл настроек \"%1\" повреждён: часть его строк не удалось прочитать.\r"
                                      "Сохранить его копию не удалось, поэтому настройки программы в него "
                                      "записываться не будут, пока файл не будет исправлен или удалён.")
                           .arg(QDir::toNativeSeparators(file)),
                       QString(), mkWarning);
        return false;
    }
    g_damagedFilesSaved.insert(file);
    ShowMessageBox(QStringLiteral("Файл настроек \"%1\" повреждён: часть его строк не удалось прочитать.\r"
                                  "Копия файла сохранена как \"%2\"; прочитанные настройки будут записаны в "
                                  "файл заново.")
                       .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(copy)),
                   QString(), mkWarning);
    return true;
}

} // namespace

// ---- Where the store lives -------------------------------------------------

QString SettingsFolder()
{
    if (!g_folderOverride.isEmpty())
        return g_folderOverride;
    const QString fromEnvironment = qEnvironmentVariable("ORMENA_CONFIG_DIR").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Ormena");
}

QString SettingsFilePath()
{
    return QDir(SettingsFolder()).filePath(kFileName);
}

void SetSettingsFolder(const QString &folder)
{
    CloseSettingsKey();
    g_folderOverride = folder.trimmed();
}

ScopedSettingsFolder::ScopedSettingsFolder(const QString &folder)
    : m_previous(g_folderOverride)
{
    SetSettingsFolder(folder);
}

ScopedSettingsFolder::~ScopedSettingsFolder()
{
    SetSettingsFolder(m_previous);
}

// ---- The settings object ---------------------------------------------------

TSettingsKey::TSettingsKey(std::unique_ptr<QSettings> settings, QString group, QString keyPath)
    : m_settings(std::move(settings)), m_group(std::move(group)), m_keyPath(std::move(keyPath))
{
}

TSettingsKey::~TSettingsKey()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError)
        qWarning("Settings could not be written to %s", qPrintable(m_settings->fileName()));
}

QString TSettingsKey::groupOf(const QString &subKey) const
{
    return resolveGroup(*m_settings, m_group, splitPath(subKey));
}

QString TSettingsKey::valuePath(const QString &name, const QString &subKey) const
{
    const QString group = groupOf(subKey);
    return joinGroup(group, storedSpelling(childKeysOf(*m_settings, group), name));
}

QVariant TSettingsKey::rawValue(const QString &name, const QString &subKey) const
{
    return m_settings->value(valuePath(name, subKey));
}

std::optional<QString> TSettingsKey::ReadStringValue(const QString &name, const QString &subKey) const
{
    const QVariant value = rawValue(name, subKey);
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        // An unquoted text with commas, edited into the file by hand, comes
        // back split; it is the same text.
        return value.toStringList().join(QLatin1Char(','));
    default:
        return std::nullopt;
    }
}

bool TSettingsKey::ValueExists(const QString &name, const QString &subKey) const
{
    return m_settings->contains(valuePath(name, subKey));
}

bool TSettingsKey::KeyExists(const QString &subKey) const
{
    const QStringList segments = splitPath(subKey);
    if (segments.isEmpty())
        return true;
    const QString parent = resolveGroup(*m_settings, m_group, segments.mid(0, segments.size() - 1));
    const QStringList children = childGroupsOf(*m_settings, parent);
    return children.contains(segments.last(), Qt::CaseInsensitive);
}

QStringList TSettingsKey::ValueNames(const QString &subKey) const
{
    return childKeysOf(*m_settings, groupOf(subKey));
}

QString TSettingsKey::ReadString(const QString &name, const QString &defaultValue, const QString &subKey) const
{
    return ReadStringValue(name, subKey).value_or(defaultValue);
}

int TSettingsKey::ReadInteger(const QString &name, int defaultValue, const QString &subKey) const
{
    const std::optional<QString> text = ReadStringValue(name, subKey);
    if (!text)
        return defaultValue;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TSettingsKey::ReadBool(const QString &name, bool defaultValue, const QString &subKey) const
{
    const std::optional<QString> text = ReadStringValue(name, subKey);
    if (!text)
        return defaultValue;
    bool ok = false;
    const qlonglong value = text->trimmed().toLongLong(&ok, 10);
    return ok ? value != 0 : defaultValue;
}

std::optional<double> TSettingsKey::ReadDouble(const QString &name, const QString &subKey) const
{
    const QVariant value = rawValue(name, subKey);
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    const QByteArray bytes = value.toByteArray();
    if (bytes.size() != static_cast<qsizetype>(sizeof(double)))
        return std::nullopt;
    const double number = qFromLittleEndian<double>(bytes.constData());
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

void TSettingsKey::WriteString(const QString &name, const QString &value, const QString &subKey)
{
    m_settings->setValue(valuePath(name, subKey), value);
}

void TSettingsKey::WriteInteger(const QString &name, int value, const QString &subKey)
{
    WriteString(name, QString::number(value), subKey);
}

void TSettingsKey::WriteBool(const QString &name, bool value, const QString &subKey)
{
    WriteString(name, value ? QStringLiteral("1") : QStringLiteral("0"), subKey);
}

void TSettingsKey::WriteDouble(const QString &name, double value, const QString &subKey)
{
    // Stored as the registry keeps a double: its 8 bytes, least significant first.
    QByteArray bytes(sizeof(double), '\0');
    qToLittleEndian<double>(value, bytes.data());
    m_settings->setValue(valuePath(name, subKey), bytes);
}

void TSettingsKey::DeleteKey(const QString &subKey)
{
    if (splitPath(subKey).isEmpty())
        return; // the open key itself is not a sub-key
    m_settings->remove(groupOf(subKey));
}

// ---- Opening and closing ---------------------------------------------------

bool OpenSettingsKey(const QString &name)
{
    CloseSettingsKey();

    const QString folder = SettingsFolder();
    if (!QDir().mkpath(folder))
        return false;
    const QString file = SettingsFilePath();
    auto settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
    settings->childGroups(); // reads the file, so that its status is known
    if (settings->status() == QSettings::AccessError || !settings->isWritable())
        return false;
    if (settings->status() == QSettings::FormatError && !SaveDamagedFileAside(file))
        return false;

    QStringList segments = kRootSegments;
    const QStringList nameSegments = splitPath(name.trimmed());
    segments.append(nameSegments);
    const QString group = resolveGroup(*settings, QString(), segments);
    QString keyPath = QStringLiteral("SOFTWARE\\Ormena");
    if (!nameSegments.isEmpty())
        keyPath += QLatin1Char('\\') + nameSegments.join(QLatin1Char('\\'));
    g_settingsKey.reset(new TSettingsKey(std::move(settings), group, keyPath));
    return true;
}

void CloseSettingsKey()
{
    g_settingsKey.reset();
}

TSettingsKey *SettingsKey()
{
    return g_settingsKey.get();
}

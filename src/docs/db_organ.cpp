#include "docs/db_organ.h"

#include "common/file_utils.h"
#include "common/text_utils.h"
#include "docs/dbf_reader.h"
#include "docs/template_locator.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

namespace {

constexpr int kEnvironmentLimit = 255;

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

bool HasDrive(const QString &path)
{
    return path.size() >= 2 && path.at(1) == QLatin1Char(':') && path.at(0).isLetter();
}

// The parent directory as text; a drive root's parent is the root itself.
QString ParentOf(const QString &path)
{
    QString dir = path.trimmed();
    while (dir.size() > 1 && IsSeparator(dir.back()) && !(dir.size() == 3 && HasDrive(dir)))
        dir.chop(1);
    qsizetype cut = dir.size() - 1;
    while (cut >= 0 && !IsSeparator(dir.at(cut)))
        --cut;
    if (cut < 0)
        return QString();
    QString parent = dir.left(cut);
    if (parent.isEmpty())
        return QStringLiteral("/");
    if (parent.size() == 2 && HasDrive(parent))
        return parent + QLatin1Char('\\');
    return parent;
}

QString Trimmed(const std::optional<QString> &value)
{
    return value ? value->trimmed() : QString();
}

} // namespace

QString EntryNoCase(const QString &dir, const QString &name)
{
    const QString exact = dir.isEmpty() ? name : NormalizeDir(dir) + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact) || dir.isEmpty())
        return exact;
    const QStringList entries = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return NormalizeDir(dir) + QLatin1Char('/') + entry;
    return exact;
}

QString GetLoginDir()
{
    const QString qvr = qEnvironmentVariable("QVR").left(kEnvironmentLimit);
    const qsizetype at = qvr.indexOf(QLatin1String("USR:"));
    if (at < 0)
        return CurrentTemplatePlaces().loginDir;
    QString login = qvr.mid(at + 4);
    const qsizetype end = login.indexOf(QLatin1Char(';'));
    if (end >= 0)
        login.truncate(end);
    return login.trimmed();
}

QString FindAdminDir(const QString &start)
{
    QString dir = QDir::cleanPath(QDir::current().absoluteFilePath(start.isEmpty() ? QDir::currentPath() : start));
    for (;;) {
        const QString admin = EntryNoCase(dir, QStringLiteral("ADMIN"));
        if (QFileInfo(admin).isDir())
            return admin.trimmed();
        if (QDir(dir).isRoot() || dir.isEmpty())
            return QString();
        dir = ParentOf(dir);
    }
}

QString ResolveDbePath(const QString &adminPath, const QString &value)
{
    QString base = ParentOf(NormalizeDir(adminPath));
    QString between;
    if (!value.isEmpty() && IsSeparator(value.at(0))) {
        base = HasDrive(base) ? base.left(2) : QString();
    } else if (HasDrive(value)) {
        base.clear();
    } else if (!base.isEmpty() && !IsSeparator(base.back())) {
        between = HasDrive(base) ? QStringLiteral("\\") : QStringLiteral("/");
    }
    QString path = (base + between + value).trimmed();
    if (HasDrive(path))
        return path.toUpper();
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

void TDB::SetAlias(const QString &alias)
{
    const QString value = TrimUpper(alias);
    if (value == m_alias)
        return;
    m_alias = value;
    Refresh();
}

void TDB::Refresh()
{
    m_path.clear();
    m_name.clear();
    m_guideName.clear();
    const QString admin = m_owner.AdminPath();
    if (m_alias.isEmpty() || admin.isEmpty())
        return;
    const QString table = EntryNoCase(EntryNoCase(admin, QStringLiteral("DBE")), QStringLiteral("DBELIST.DBF"));
    if (!QFileInfo(table).isFile())
        return;
    const DbfTable dbelist(table);
    const int row = dbelist.findFirst(QStringLiteral("alias"), m_alias);
    if (row < 0)
        return;
    m_name = Trimmed(dbelist.value(row, QStringLiteral("fullname")));
    const QString path = Trimmed(dbelist.value(row, QStringLiteral("path")));
    if (!path.isEmpty())
        m_path = ResolveDbePath(admin, path);
    if (const auto guide = dbelist.value(row, QStringLiteral("guidename")))
        m_guideName = TrimUpper(*guide);
}

TDBOrgan::TDBOrgan()
    : m_db(std::make_unique<TDB>(*this))
{
    SetAdminCase(acStartPath);
}

TDBOrgan::~TDBOrgan() = default;

void TDBOrgan::SetAdminCase(TAdminCase value)
{
    if (value == m_adminCase)
        return;
    m_adminCase = value;
    switch (value) {
    case acOrgAlias:
        m_startPathWritable = false;
        m_aliasWritable = true;
        m_startPath.clear();
        break;
    case acStartPath:
        m_startPathWritable = true;
        m_aliasWritable = false;
        break;
    case acCommon:
        m_aliasWritable = true;
        m_startPathWritable = false;
        m_orgAlias = QStringLiteral("COMMON");
        m_aliasWritable = false;
        m_startPath.clear();
        break;
    }
    Refresh();
}

QString TDBOrgan::StartPath() const
{
    if (m_startPath.isEmpty() && m_adminCase == acStartPath)
        return QDir::currentPath().trimmed();
    return m_startPath.trimmed();
}

void TDBOrgan::SetStartPath(const QString &value)
{
    if (!m_startPathWritable)
        return;
    if (value.trimmed() != m_startPath.trimmed()) {
        m_startPath = value;
        Refresh();
    }
    if (!m_startPath.isEmpty() && (m_adminCase == acOrgAlias || m_adminCase == acCommon))
        m_startPath.clear();
}

void TDBOrgan::SetOrgAlias(const QString &value)
{
    if (!m_aliasWritable)
        return;
    const QString alias = TrimUpper(value);
    if (alias == m_orgAlias)
        return;
    m_orgAlias = alias;
    Refresh();
}

void TDBOrgan::Refresh()
{
    m_adminPath.clear();
    m_orgName.clear();
    switch (m_adminCase) {
    case acStartPath:
        m_adminPath = FindAdminDir(m_startPath);
        LookupOrganByAdminPath(m_adminPath);
        break;
    case acOrgAlias:
    case acCommon:
        LookupOrganByAlias(m_orgAlias);
        m_startPath.clear();
        break;
    }
    m_db->Refresh();
}

// Runs take on the row of organ.dbf in the login folder whose keyField holds
// key; nothing happens when there is no login folder, no table or no such row.
static void WithOrganRow(const QString &keyField, const QString &key,
                         const std::function<void(const DbfTable &, int)> &take)
{
    const QString login = GetLoginDir();
    if (login.isEmpty())
        return;
    const QString table = EntryNoCase(login, QStringLiteral("organ.dbf"));
    if (!QFileInfo(table).isFile())
        return;
    const DbfTable organ(table);
    const int row = organ.findFirst(keyField, key);
    if (row >= 0)
        take(organ, row);
}

void TDBOrgan::LookupOrganByAlias(const QString &alias)
{
    WithOrganRow(QStringLiteral("alias"), alias, [this](const DbfTable &organ, int row) {
        m_orgName = Trimmed(organ.value(row, QStringLiteral("org_name")));
        m_adminPath = Trimmed(organ.value(row, QStringLiteral("adm_path")));
    });
}

void TDBOrgan::LookupOrganByAdminPath(const QString &path)
{
    WithOrganRow(QStringLiteral("adm_path"), path, [this](const DbfTable &organ, int row) {
        m_orgName = Trimmed(organ.value(row, QStringLiteral("org_name")));
        m_orgAlias = Trimmed(organ.value(row, QStringLiteral("alias")));
    });
}

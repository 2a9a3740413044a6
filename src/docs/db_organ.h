// The organisation's alias registry: TDBOrgan resolves an organisation and its
// administration directory from organ.dbf in the login directory, its child TDB
// resolves a database alias to a directory from DBELIST.DBF below that
// administration directory. Both only read; a missing table leaves them empty.
#pragma once

#include <QString>

#include <memory>

enum TAdminCase { acOrgAlias = 0, acStartPath = 1, acCommon = 2 };

class TDBOrgan;

class TDB {
public:
    explicit TDB(TDBOrgan &owner) : m_owner(owner) {}

    QString Alias() const { return m_alias; }
    // Stores the trimmed, upper-cased alias and looks it up again when it changed.
    void SetAlias(const QString &alias);
    QString Path() const { return m_path; }
    QString Name() const { return m_name; }
    QString GuideName() const { return m_guideName; }
    void Refresh();

private:
    TDBOrgan &m_owner;
    QString m_alias;
    QString m_path;
    QString m_name;
    QString m_guideName;
};

class TDBOrgan {
public:
    // Starts in the start-path case, which runs a first look-up.
    TDBOrgan();
    ~TDBOrgan();
    TDBOrgan(const TDBOrgan &) = delete;
    TDBOrgan &operator=(const TDBOrgan &) = delete;

    TAdminCase AdminCase() const { return m_adminCase; }
    void SetAdminCase(TAdminCase value);
    // The stored start path, or the current directory when it is empty in the
    // start-path case; trimmed.
    QString StartPath() const;
    // Accepted only in the start-path case.
    void SetStartPath(const QString &value);
    QString OrgAlias() const { return m_orgAlias; }
    // Accepted only in the organisation-alias case.
    void SetOrgAlias(const QString &value);
    QString OrgName() const { return m_orgName; }
    QString AdminPath() const { return m_adminPath; }
    QString DBAlias() const { return m_db->Alias(); }
    void SetDBAlias(const QString &value) { m_db->SetAlias(value); }
    QString DBPath() const { return m_db->Path(); }
    QString DBName() const { return m_db->Name(); }
    QString DBGuide() const { return m_db->GuideName(); }
    TDB &DB() { return *m_db; }

    void Refresh();

private:
    void LookupOrganByAlias(const QString &alias);
    void LookupOrganByAdminPath(const QString &path);

    TAdminCase m_adminCase = acOrgAlias;
    QString m_startPath;
    QString m_orgAlias;
    QString m_orgName;
    QString m_adminPath;
    bool m_startPathWritable = false;
    bool m_aliasWritable = false;
    std::unique_ptr<TDB> m_db;
};

// The login directory: the text after the first "USR:" of the environment
// variable QVR up to the next ";", trimmed; without "USR:" the configured
// login directory (TemplatePlaces::loginDir, empty by default).
QString GetLoginDir();

// The nearest "ADMIN" directory in start (the current directory when empty) or
// any directory above it, up to the root; empty when there is none.
QString FindAdminDir(const QString &start);

// The directory a DBELIST.DBF path value names, relative to the parent of the
// administration directory: "\DOCS" stays on the parent's drive, "E:\X" stands
// as it is, "X" lies beside the administration directory. Paths with a drive
// letter come back upper-cased; paths without one keep their case and use "/".
QString ResolveDbePath(const QString &adminPath, const QString &value);

// The entry name of dir, letter case ignored (tables copied from Windows keep
// whatever case they had); dir + "/" + name when there is none.
QString EntryNoCase(const QString &dir, const QString &name);

// The per-user settings store: keys under "SOFTWARE\Ormena" holding named values
// in fixed forms (decimal-text whole numbers, "1"/"0" flags, 8-byte doubles).
// There is one settings object per process; a reader gets its default for any
// missing or malformed value, and a key that cannot be opened is reported only
// by OpenSettingsKey returning false.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>

class QSettings;

// ---- Where the store lives -------------------------------------------------

// The folder holding the store's file: the folder given to SetSettingsFolder,
// else the environment variable ORMENA_CONFIG_DIR, else <user config>/Ormena.
QString SettingsFolder();
// The store's file, "Ormena.ini" in SettingsFolder().
QString SettingsFilePath();
// Points the store at a folder of the caller's own (tests, a portable set-up);
// an empty folder goes back to the default. Closes the open settings object.
void SetSettingsFolder(const QString &folder);

// Points the store at a folder for one scope and puts the previous one back.
class ScopedSettingsFolder {
public:
    explicit ScopedSettingsFolder(const QString &folder);
    ~ScopedSettingsFolder();
    ScopedSettingsFolder(const ScopedSettingsFolder &) = delete;
    ScopedSettingsFolder &operator=(const ScopedSettingsFolder &) = delete;

private:
    QString m_previous;
};

// ---- The settings object ---------------------------------------------------

// One open key of the store. Values are named, optionally below a sub-key of
// the open key (a sub-key is created when a value is written into it). Key and
// value names match without regard to letter case, as registry names do.
class TSettingsKey {
public:
    ~TSettingsKey();
    TSettingsKey(const TSettingsKey &) = delete;
    TSettingsKey &operator=(const TSettingsKey &) = delete;

    // The open key as the registry would name it, e.g. "SOFTWARE\Ormena\Data".
    QString KeyPath() const { return m_keyPath; }

    bool ValueExists(const QString &name, const QString &subKey = QString()) const;
    bool KeyExists(const QString &subKey) const;
    QStringList ValueNames(const QString &subKey = QString()) const;

    // A string value, or nothing when the value is missing or in another form.
    std::optional<QString> ReadStringValue(const QString &name, const QString &subKey = QString()) const;
    // A string value; any other form (binary, missing) gives the default.
    QString ReadString(const QString &name, const QString &defaultValue = QString(),
                       const QString &subKey = QString()) const;
    // A whole number stored as decimal text; text that is not one gives the default.
    int ReadInteger(const QString &name, int defaultValue, const QString &subKey = QString()) const;
    // A flag stored as text: true for any whole number other than 0, false for 0;
    // text that is not a whole number gives the default.
    bool ReadBool(const QString &name, bool defaultValue, const QString &subKey = QString()) const;
    // A double stored as a binary value of exactly 8 bytes. Anything else - a
    // missing value, another form or length, a value that is not a finite
    // number - is a failed read.
    std::optional<double> ReadDouble(const QString &name, const QString &subKey = QString()) const;

    void WriteString(const QString &name, const QString &value, const QString &subKey = QString());
    void WriteInteger(const QString &name, int value, const QString &subKey = QString());
    void WriteBool(const QString &name, bool value, const QString &subKey = QString());
    void WriteDouble(const QString &name, double value, const QString &subKey = QString());

    // Deletes a sub-key of the open key with every value and key below it.
    void DeleteKey(const QString &subKey);

private:
    friend bool OpenSettingsKey(const QString &name);
    TSettingsKey(std::unique_ptr<QSettings> settings, QString group, QString keyPath);

    QString groupOf(const QString &subKey) const;
    QString valuePath(const QString &name, const QString &subKey) const;
    QVariant rawValue(const QString &name, const QString &subKey) const;

    std::unique_ptr<QSettings> m_settings;
    QString m_group;   // QSettings group of the open key, "SOFTWARE/Ormena/Data"
    QString m_keyPath; // the same key, registry style
};

// Opens "SOFTWARE\Ormena\" + the trimmed name ("SOFTWARE\Ormena" for an empty
// name), creating what is missing, as the one process-wide settings object.
// The object left open by an earlier call is released first. False when the
// store cannot be opened or written; SettingsKey() is then null.
bool OpenSettingsKey(const QString &name);
// Releases the settings object (its changes are written to the store).
void CloseSettingsKey();
// The settings object opened by the last OpenSettingsKey, or null.
TSettingsKey *SettingsKey();

// Calls CloseSettingsKey when the scope ends, on every way out.
class SettingsKeyCloser {
public:
    SettingsKeyCloser() = default;
    ~SettingsKeyCloser() { CloseSettingsKey(); }
    SettingsKeyCloser(const SettingsKeyCloser &) = delete;
    SettingsKeyCloser &operator=(const SettingsKeyCloser &) = delete;
};

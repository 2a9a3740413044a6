// Path and file routines: directory normalisation, the private temporary
// folder, attribute tests, and deletion and copying that keep retrying while a
// file is locked, showing a blinking wait window as they wait.
#pragma once

#include <QString>

// Removes every trailing "\" and "/", then trims blanks. Letter case is kept:
// Linux file names are case-sensitive. With addSeparator one "/" is appended.
QString NormalizeDir(const QString &path, bool addSeparator = false);

// The per-user private temporary folder (created 0700 when missing), normalised.
QString GetTempDir();
// The same folder with a trailing separator, as the system would report it.
QString RawTempPath();

bool DirectoryExists(const QString &path);
qint64 FileSizeOf(const QString &path);
// 5 when the path lies on a CD-ROM file system, 3 (a fixed drive) otherwise.
int DriveTypeOf(const QString &path);
bool IsReadOnly(const QString &path);
bool SetReadOnly(const QString &path, bool readOnly);

// True when the file was deleted by this call or did not exist.
bool DeleteFileRetry(const QString &path, const QString &lockedMessage, bool cancelAllowed);
// True when the file was copied; a copy that keeps failing gives up after
// kCopyAttemptLimit attempts and returns false.
bool CopyFileRetry(const QString &source, const QString &destination);
inline constexpr int kCopyAttemptLimit = 20;

// Pause of the retry pacer in milliseconds (tests shorten it).
void SetRetryPauseMs(int pauseMs);

// Writes a file readable only by its owner (0600): produced documents may hold secrets.
bool RestrictToOwner(const QString &path);

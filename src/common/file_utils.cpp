#include "common/file_utils.h"

#include "common/message_boxes.h"
#include "common/wait_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <memory>
#include <unistd.h>

namespace {

int g_retryPauseMs = 500;
// The pacer shared by nested retry operations; the outermost one owns it.
TWaitProcess *g_sharedPacer = nullptr;

class SharedPacer {
public:
    SharedPacer(const QString &message, const QString &title, bool cancelAllowed)
    {
        if (!g_sharedPacer) {
            m_owned = std::make_unique<TWaitProcess>(message, title, cancelAllowed, g_retryPauseMs, 1);
            g_sharedPacer = m_owned.get();
        }
    }
    ~SharedPacer()
    {
        if (m_owned)
            g_sharedPacer = nullptr;
    }
    bool Step() { return g_sharedPacer->Step(); }

private:
    std::unique_ptr<TWaitProcess> m_owned;
};

} // namespace

void SetRetryPauseMs(int pauseMs)
{
    g_retryPauseMs = pauseMs;
}

QString NormalizeDir(const QString &path, bool addSeparator)
{
    QString result = path;
    while (!result.isEmpty() && (result.back() == QLatin1Char('\\') || result.back() == QLatin1Char('/')))
        result.chop(1);
    result = result.trimmed();
    if (addSeparator)
        result += QLatin1Char('/');
    return result;
}

QString GetTempDir()
{
    const QString folder = QDir::tempPath() + QStringLiteral("/ormena-") + QString::number(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return NormalizeDir(folder);
}

QString RawTempPath()
{
    return GetTempDir() + QLatin1Char('/');
}

bool DirectoryExists(const QString &path)
{
    return QFileInfo(path).isDir();
}

qint64 FileSizeOf(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile() ? info.size() : 0;
}

int DriveTypeOf(const QString &path)
{
    const QByteArray type = QStorageInfo(QFileInfo(path).absolutePath()).fileSystemType();
    return (type == "iso9660" || type == "udf") ? 5 : 3;
}

bool IsReadOnly(const QString &path)
{
    return !(QFile::permissions(path) & QFileDevice::WriteOwner);
}

bool SetReadOnly(const QString &path, bool readOnly)
{
    if (IsReadOnly(path) == readOnly)
        return true;
    QFileDevice::Permissions permissions = QFile::permissions(path);
    if (readOnly)
        permissions &= ~(QFileDevice::WriteOwner | QFileDevice::WriteUser);
    else
        permissions |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    return QFile::setPermissions(path, permissions);
}

bool RestrictToOwner(const QString &path)
{
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

static bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool DeleteFileRetry(const QString &path, const QString &lockedMessage, bool cancelAllowed)
{
    if (!FileExists(path))
        return true;
    if (IsReadOnly(path))
        SetReadOnly(path, false);
    SharedPacer pacer(lockedMessage, QStringLiteral("Удаляем файл"), cancelAllowed);
    bool deleted = false;
    for (;;) {
        QCoreApplication::processEvents();
        if (QFile::remove(path))
            deleted = true;
        else if (!pacer.Step())
            break;
        if (!FileExists(path))
            break;
    }
    return deleted;
}

bool CopyFileRetry(const QString &source, const QString &destination)
{
    const QString lockedMessage = QStringLiteral("Файл ") + source + QStringLiteral("\r")
        + QStringLiteral(" временно недоступен для копирования");
    if (!QFileInfo(source).isFile()) {
        ShowMessageBox(QStringLiteral("Файл не найден:\r") + source, QStringLiteral("Ошибка!"), mkError);
        return false;
    }
    if (FileExists(destination)
        && !DeleteFileRetry(destination, QStringLiteral("Файл временно недоступен для перезаписи\r") + destination,
                            true))
        return false;

    SharedPacer pacer(lockedMessage, QStringLiteral("Копируем файл"), false);
    for (int attempt = 1;; ++attempt) {
        QCoreApplication::processEvents();
        if (QFile::copy(source, destination)) {
            // A copy keeps the source's permissions; make it writable in any case
            // (a file from a CD-ROM would otherwise stay read-only).
            if (DriveTypeOf(source) == 5 || IsReadOnly(destination))
                SetReadOnly(destination, false);
            return true;
        }
        if (attempt >= kCopyAttemptLimit || !pacer.Step())
            return false;
    }
}

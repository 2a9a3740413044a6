#include "common/file_utils.h"
#include "common/message_box_presenter.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {
void WriteFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}
} // namespace

TEST(FileUtils, NormalizeDir)
{
    const struct {
        QString in;
        bool separator;
        QString out;
    } cases[] = {
        {QStringLiteral("/tmp/Work/"), false, QStringLiteral("/tmp/Work")},
        {QStringLiteral("/tmp/Work//"), true, QStringLiteral("/tmp/Work/")},
        {QStringLiteral("c:\\temp\\"), false, QStringLiteral("c:\\temp")},
        {QStringLiteral("  /tmp/Шаблоны \\/"), false, QStringLiteral("/tmp/Шаблоны")},
        // A blank after the last separator protects that separator.
        {QStringLiteral("/tmp/x/ "), false, QStringLiteral("/tmp/x/")},
        {QString(), false, QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NormalizeDir(c.in, c.separator), c.out) << c.in.toStdString();
}

TEST(FileUtils, PrivateTempFolderIsOwnerOnly)
{
    const QString dir = GetTempDir();
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(dir.endsWith(QLatin1Char('/')));
    EXPECT_EQ(RawTempPath(), dir + QLatin1Char('/'));
    const QFileDevice::Permissions permissions = QFile::permissions(dir);
    EXPECT_FALSE(permissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther));
}

TEST(FileUtils, SizeAndReadOnlyAttribute)
{
    TempWorkspace ws;
    const QString path = ws.file(QStringLiteral("a.doc"));
    EXPECT_EQ(FileSizeOf(path), 0);
    WriteFile(path, "12345");
    EXPECT_EQ(FileSizeOf(path), 5);
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_TRUE(SetReadOnly(path, true));
    EXPECT_TRUE(IsReadOnly(path));
    EXPECT_TRUE(SetReadOnly(path, true)); // already in that state
    EXPECT_TRUE(SetReadOnly(path, false));
    EXPECT_FALSE(IsReadOnly(path));
    EXPECT_EQ(DriveTypeOf(path), 3);
}

TEST(FileUtils, DeleteFileRetry)
{
    TempWorkspace ws;
    ScriptedMessageBoxes boxes;
    EXPECT_TRUE(DeleteFileRetry(ws.file(QStringLiteral("missing.doc")), QStringLiteral("x"), true));

    const QString readOnly = ws.file(QStringLiteral("ro.doc"));
    WriteFile(readOnly, "data");
    SetReadOnly(readOnly, true);
    EXPECT_TRUE(DeleteFileRetry(readOnly, QStringLiteral("Удаление временного файла..."), true));
    EXPECT_FALSE(QFileInfo::exists(readOnly));
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST(FileUtils, CopyFileRetry)
{
    TempWorkspace ws;
    SetRetryPauseMs(1);
    const QString source = ws.file(QStringLiteral("Договор.doc"));
    const QString target = ws.file(QStringLiteral("tmp_Договор.doc"));

    {
        ScriptedMessageBoxes boxes;
        EXPECT_FALSE(CopyFileRetry(source, target));
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Файл не найден:\r") + source);
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
    }

    WriteFile(source, "new");
    WriteFile(target, "old");
    SetReadOnly(source, true);
    EXPECT_TRUE(CopyFileRetry(source, target));
    QFile copy(target);
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), QByteArray("new"));
    EXPECT_FALSE(IsReadOnly(target)); // the copy can be written again

    // A destination folder that does not exist can never be written: the copy ends with false.
    EXPECT_FALSE(CopyFileRetry(source, ws.file(QStringLiteral("no/such/dir/x.doc"))));
    SetRetryPauseMs(500);
}

// The data module's operations on the template folder and the temporary
// document: the folder check at start-up, the template file of the current
// template, and writing, reading and removing the temporary document.
#include "db/data_module.h"

#include "common/application_control.h"
#include "common/errors.h"
#include "common/file_utils.h"
#include "common/message_boxes.h"
#include "common/wait_form.h"

#include <QFile>
#include <QFileInfo>

void TfData::CheckTemplateFolder(const QString &folder)
{
    TemplateDir = folder;
    if (DirectoryExists(folder))
        return;
    ShowMessageBox(QStringLiteral("Нет директории для хранения шаблонов документов\r") + folder
                       + QStringLiteral("\r\rВозможно программа запущена не в своем каталоге\r"
                                        "либо обратитесь в отдел АСУП для создания директории."),
                   QStringLiteral("Ошибка запуска!"), mkPlain);
    TerminateApplication();
}

QString TfData::GetTemplateFile()
{
    const QString name = Shablon->Active() ? Shablon->AsString(QStringLiteral("Shablon")).trimmed() : QString();
    if (name.isEmpty())
        throw OrmenaError(QStringLiteral("Не указан файл шаблона для выбранного документа"));
    const QString full = TemplateDir + QLatin1Char('/') + name;
    if (!QFileInfo(full).isFile())
        throw OrmenaError(QStringLiteral("Шаблон документа отсутствует по указанному пути\r") + full);
    return full;
}

bool TfData::DeleteTempDocument()
{
    if (TempDocPath.isEmpty() || !QFileInfo::exists(TempDocPath))
        return true;
    return DeleteFileRetry(TempDocPath, QStringLiteral("Удаление временного файла..."), true);
}

bool TfData::SaveStoredDocument()
{
    if (!SaveDocToDb || !Fio->Active() || Fio->IsNull(QStringLiteral("Doc")) || !DeleteTempDocument())
        return false;
    QFile file(TempDocPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw OrmenaError(QStringLiteral("Не могу записать файл\r") + TempDocPath + QStringLiteral("\r")
                          + file.errorString());
    RestrictToOwner(TempDocPath);
    const QByteArray content = Fio->Value(QStringLiteral("Doc")).toByteArray();
    if (file.write(content) != content.size())
        throw OrmenaError(QStringLiteral("Не могу записать файл\r") + TempDocPath + QStringLiteral("\r")
                          + file.errorString());
    return true;
}

bool TfData::HasStoredDocument()
{
    if (!SaveDocToDb || !Fio->Active() || Fio->IsNull(QStringLiteral("Doc")))
        return false;
    if (!SaveStoredDocument())
        return true;
    if (FileSizeOf(TempDocPath) != 0)
        return true;
    DeleteTempDocument();
    return false;
}

bool TfData::StoreDocument()
{
    if (!SaveDocToDb)
        return false;
    if (!TempDocPath.isEmpty() && QFileInfo(TempDocPath).isFile()) {
        QFile file(TempDocPath);
        if (!file.open(QIODevice::ReadOnly))
            throw OrmenaError(QStringLiteral("Не могу прочитать файл\r") + TempDocPath + QStringLiteral("\r")
                              + file.errorString());
        Fio->Edit();
        Fio->SetValue(QStringLiteral("Doc"), file.readAll());
        Fio->Post();
    }
    return true;
}

TaReplace TfData::BuildReplaceList()
{
    TaReplace list;
    const bool blankSecrets =
        AskYesNo(QStringLiteral("Формировать Секретные поля в документе пустыми ?"), QStringLiteral("Вопрос."));
    ScopedWaitForm wait(QStringLiteral("Формирование полей для документа..."), QStringLiteral("Ожидайте!"),
                        wsProgress);
    const int rows = FioValue->RecordCount();
    wait->SetRange(0, rows);
    try {
        for (int row = 0; row < rows; ++row) {
            const QString value = FioValue->ValueAt(row, QStringLiteral("Value_")).toString().trimmed();
            const bool secret = FioValue->ValueAt(row, QStringLiteral("isSecure")).toBool();
            const QString replacement = value.isEmpty() || (secret && blankSecrets) ? QStringLiteral(" ") : value;
            list.append({QLatin1Char('&') + FioValue->ValueAt(row, QStringLiteral("Name")).toString().trimmed(),
                         replacement});
            wait->SetPosition(row + 1);
        }
    } catch (...) {
        FioValue->First();
        throw;
    }
    FioValue->First();
    return list;
}

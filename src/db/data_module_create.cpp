// The start-up checks the data module runs when it is created: schema check,
// working folder, temporary document, and opening the working database. A
// failed check only requests termination; start-up goes on to its end.
#include "db/data_module.h"

#include "common/app_title.h"
#include "common/application_control.h"
#include "common/errors.h"
#include "common/file_utils.h"
#include "common/message_boxes.h"
#include "common/version.h"
#include "db/check_database.h"

#include <QDir>

void TfData::DataModuleCreate()
{
    SetMainTitle(ApplicationTitle() + QStringLiteral(" {ver. ") + GetExeVersion() + QStringLiteral("}"));

    try {
        CheckDatabase();
    } catch (const OrmenaError &error) {
        ShowError(QStringLiteral("Ошибка проверки базы..."), error.message());
        RequestTermination();
    } catch (const std::exception &error) {
        ShowError(QStringLiteral("Ошибка проверки базы..."), QString::fromUtf8(error.what()));
        RequestTermination();
    }

    ProgramDir = NormalizeDir(QDir::currentPath());
    TempDocPath = GetTempDir() + QStringLiteral("/tmp.doc");
    CheckTemplateFolder(ProgramDir + QStringLiteral("/Shablon"));

    if (!DeleteTempDocument()) {
        const bool goOn = AskYesNo(
            QStringLiteral("Временный файл для создания документов не был удален\r"
                           "При продолжении работы с программой возможно Вы не сможете\r"
                           "формировать документы.\r"
                           "Возможно у Вас запущена еще одна копия программы или\r"
                           "Вы забыли закрыть сформированный документ в приложении\r"
                           "LibreOffice Writer.\r\r"
                           "Продолжить работу с программой ?"),
            QStringLiteral("Предупреждение!"));
        if (!goOn)
            RequestTermination();
    }

    OpenDatabase(false);
}

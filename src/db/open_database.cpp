// OpenDatabase: points the connection at the working or the demonstration
// file and reads every list again, returning to the saved positions.
#include "db/data_module.h"

#include "app/idle_exit.h"
#include "common/application_control.h"
#include "common/errors.h"
#include "common/message_boxes.h"
#include "common/wait_form.h"
#include "db/ado_dao_tools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString TfData::DatabaseFileName(bool demo)
{
    return demo ? QStringLiteral("OrmenaDemo.mdb") : QStringLiteral("Ormena.mdb");
}

void TfData::OpenDatabase(bool demo)
{
    const QString fileName = DatabaseFileName(demo);
    const QString path = ProgramDir + QLatin1Char('/') + fileName;
    if (demo && !QFileInfo::exists(path)) {
        ShowMessageBox(QStringLiteral("Не могу открыть демонстрационную базу. Нет файла\r") + path, QString(),
                       mkError);
        return;
    }
    Con->close();
    SetIdleLimit(10);
    ScopedWaitForm wait(QStringLiteral("Открытие базы..."), QStringLiteral("Подождите!"), wsAnimation);
    wait->PlaceAt(5);
    try {
        SetDatabasePath(*Con, fileName, ProgramDir, true, omReadWrite);
        Shablon->Open();
        tSprField->Open();
        if (!RestorePosition())
            LoadDocuments(0);
    } catch (const std::exception &error) {
        const QString reason = dynamic_cast<const OrmenaError *>(&error)
            ? static_cast<const OrmenaError &>(error).message()
            : QString::fromUtf8(error.what());
        ShowMessageBox(QStringLiteral("Ошибка открытия базы по указанному пути\r")
                           + QDir::toNativeSeparators(QDir::currentPath()) + QStringLiteral("\r\rТекст ошибки:\r")
                           + reason,
                       QStringLiteral("Ошибка!"), mkPlain);
        RequestTermination();
        QCoreApplication::processEvents();
        return;
    }
    Q_EMIT databaseOpened();
}

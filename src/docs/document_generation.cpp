#include "docs/document_generation.h"

#include "common/errors.h"
#include "common/message_boxes.h"
#include "common/msg_component.h"
#include "common/wait_form.h"
#include "db/data_module.h"
#include "docs/word_automation.h"

#include <QCoreApplication>

void CreateDocumentWorkflow(TfData &data, TMSG &msg, int &msgAnswer)
{
    ScopedWaitForm wait(QStringLiteral("Формирование документа..."), QStringLiteral("Ожидайте!"), wsAnimation);
    auto say = [&wait](const QString &text) {
        wait->SetMessage(text);
        QCoreApplication::processEvents();
    };

    if (!data.FioValue->Active() || data.FioValue->IsEmpty())
        throw OrmenaError(QStringLiteral("Формирование документа не возможно\r"
                                         "нет списка полей данных для выбранного документа!"));

    msg.Buttons = TBrowseInfoButtons::Yes_No_Cancel;
    msg.Icon = TBrowseInfoIcons::Exclamation;
    msg.MsgType = TBrowseInfoMsgType::IconMsg;
    msg.Text = QStringLiteral("Существует уже созданный документ для\r") + data.Fio->AsString(QStringLiteral("Name"))
        + QStringLiteral("\r\rДа - открыть существующий\rНет - создать новый и переписать старый\r"
                         "Отмена - ничего не делать.");
    msg.Title = QStringLiteral("Что делать ?");

    say(QStringLiteral("Удаление временных файлов..."));
    if (!data.DeleteTempDocument())
        return;

    say(QStringLiteral("проверка есть ли созданный документ..."));
    if (data.HasStoredDocument()) {
        msg.Execute();
        if (msgAnswer == 2) {
            say(QStringLiteral("сохраняем документ на диске..."));
            data.SaveStoredDocument();
            OpenWordDocument(data.TempDocPath);
            return; // nothing is stored back from a reopened document
        }
        if (msgAnswer != 3) {
            msgAnswer = 0;
            return;
        }
    }

    say(QStringLiteral("получение шаблона документа..."));
    const QString templatePath = data.GetTemplateFile();
    const TaReplace list = data.BuildReplaceList();
    say(QStringLiteral("формирование..."));
    QString result;
    FillTemplateCopy(templatePath, list, result);
    // A failed production returns no path: the temporary document keeps its
    // previous, still usable path (its file was removed above), so nothing
    // stale is stored and the next run has a path to clean.
    if (!result.isEmpty())
        data.TempDocPath = result;
    else
        return;

    say(QStringLiteral("сохраняем документ в базе..."));
    if (data.SaveDocToDb)
        data.StoreDocument();
}

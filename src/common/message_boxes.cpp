#include "common/message_boxes.h"

#include "common/app_title.h"
#include "common/errors.h"
#include "common/message_box_presenter.h"

QString DefaultCaption(MessageKind kind)
{
    switch (kind) {
    case mkPlain:
        return ApplicationTitle();
    case mkInformation:
        return QStringLiteral("Для информации.");
    case mkQuestion:
        return QStringLiteral("?");
    case mkWarning:
        return QStringLiteral("Предупреждение!");
    case mkError:
        return QStringLiteral("Ошибка!");
    }
    return ApplicationTitle();
}

static QMessageBox::Icon IconOf(MessageKind kind)
{
    switch (kind) {
    case mkPlain:
        return QMessageBox::NoIcon;
    case mkInformation:
        return QMessageBox::Information;
    case mkQuestion:
        return QMessageBox::Question;
    case mkWarning:
        return QMessageBox::Warning;
    case mkError:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ShowMessageBox(const QString &text, const QString &caption, MessageKind kind)
{
    MessageBoxRequest request;
    request.text = text;
    request.caption = caption.isEmpty() ? DefaultCaption(kind) : caption;
    request.icon = IconOf(kind);
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Ok;
    request.systemModal = (kind == mkWarning);
    return CurrentMessageBoxPresenter().present(request);
}

void ShowError(const QString &message, const QString &errorText)
{
    const QString shownError = errorText.trimmed().isEmpty() ? QStringLiteral("Отсутствует.") : errorText;
    const QString text = message + QStringLiteral("\r")
        + QStringLiteral("Сообщите разработчику  где возникла ошибка и ее текст\r"
                         "если не сможете устранить ее самостоятельно.")
        + QStringLiteral("\r\r") + QStringLiteral("Текст ошибки:") + QStringLiteral("\r") + shownError;
    ShowMessageBox(text, QStringLiteral("Ошибка!"), mkError);
}

bool AskYesNo(const QString &text, const QString &caption)
{
    MessageBoxRequest request;
    request.text = text;
    request.caption = caption;
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::Yes;
    request.escapeButton = QMessageBox::No;
    return CurrentMessageBoxPresenter().present(request) == QMessageBox::Yes;
}

QString UnhandledErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > QLatin1Char('.').unicode())
        return message + QLatin1Char('.');
    return message;
}

void ShowUnhandledError(const QString &message)
{
    MessageBoxRequest request;
    request.text = UnhandledErrorText(message);
    request.caption = ApplicationTitle();
    request.icon = QMessageBox::Critical;
    request.buttons = QMessageBox::Ok;
    request.defaultButton = QMessageBox::Ok;
    request.escapeButton = QMessageBox::Ok;
    CurrentMessageBoxPresenter().present(request);
}

void ShowUnhandledError(const std::exception &error)
{
    if (dynamic_cast<const SilentAbort *>(&error))
        return;
    if (const auto *ormenaError = dynamic_cast<const OrmenaError *>(&error)) {
        ShowUnhandledError(ormenaError->message());
        return;
    }
    ShowUnhandledError(QString::fromUtf8(error.what()));
}

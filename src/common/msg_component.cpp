#include "common/msg_component.h"

#include "common/app_title.h"
#include "common/message_box_presenter.h"

#include <QApplication>
#include <QInputDialog>

namespace {

bool QtInputPrompt(const QString &title, const QString &prompt, QString &text)
{
    bool ok = false;
    const QString entered = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal,
                                                  QString(), &ok);
    if (ok)
        text = entered;
    return ok;
}

TMSG::InputPrompt g_inputPrompt = QtInputPrompt;

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton first;
    QMessageBox::StandardButton escape;
};

ButtonSet ButtonSetOf(TBrowseInfoButtons buttons)
{
    using B = QMessageBox;
    switch (buttons) {
    case TBrowseInfoButtons::Ok:
        return {B::Ok, B::Ok, B::Ok};
    case TBrowseInfoButtons::Ok_Cancel:
        return {B::Ok | B::Cancel, B::Ok, B::Cancel};
    case TBrowseInfoButtons::Abort_Retry_Ignore:
        return {B::Abort | B::Retry | B::Ignore, B::Abort, B::NoButton};
    case TBrowseInfoButtons::Yes_No_Cancel:
        return {B::Yes | B::No | B::Cancel, B::Yes, B::Cancel};
    case TBrowseInfoButtons::Yes_No:
        return {B::Yes | B::No, B::Yes, B::NoButton};
    case TBrowseInfoButtons::Retry_Cancel:
        return {B::Retry | B::Cancel, B::Retry, B::Cancel};
    default:
        // The help sets are not used by the program; they show a plain OK box.
        return {B::Ok, B::Ok, B::Ok};
    }
}

QMessageBox::Icon IconOf(TBrowseInfoIcons icon)
{
    switch (icon) {
    case TBrowseInfoIcons::None: return QMessageBox::NoIcon;
    case TBrowseInfoIcons::Error: return QMessageBox::Critical;
    case TBrowseInfoIcons::Question: return QMessageBox::Question;
    case TBrowseInfoIcons::Exclamation: return QMessageBox::Warning;
    case TBrowseInfoIcons::Information: return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TMSG::TMSG(QObject *parent)
    : QObject(parent)
{
}

void TMSG::SetInputPrompt(InputPrompt prompt)
{
    g_inputPrompt = prompt ? std::move(prompt) : InputPrompt(QtInputPrompt);
}

bool TMSG::Execute()
{
    MessageBoxRequest request;
    switch (MsgType) {
    case TBrowseInfoMsgType::Standart:
        request.text = Text;
        request.caption = ApplicationTitle();
        CurrentMessageBoxPresenter().present(request);
        return true;
    case TBrowseInfoMsgType::EditMsg: {
        QString entered;
        if (g_inputPrompt(Title, Description, entered)) {
            Text = entered;
            return true;
        }
        return false;
    }
    case TBrowseInfoMsgType::IconMsg:
        break;
    }

    const ButtonSet set = ButtonSetOf(Buttons);
    request.text = Text;
    request.caption = Title;
    request.icon = IconOf(Icon);
    request.buttons = set.buttons;
    request.defaultButton = set.first;
    request.escapeButton = set.escape;
    const QMessageBox::StandardButton pressed = CurrentMessageBoxPresenter().present(request);

    const Notify *event = nullptr;
    switch (pressed) {
    case QMessageBox::Ok: event = &OnOkClick; break;
    case QMessageBox::Cancel: event = &OnCancelClick; break;
    case QMessageBox::Yes: event = &OnYesClick; break;
    case QMessageBox::No: event = &OnNoClick; break;
    case QMessageBox::Ignore: event = &OnIgnoreClick; break;
    case QMessageBox::Retry: event = &OnRetryClick; break;
    case QMessageBox::Abort: event = &OnAbortClick; break;
    default: break;
    }
    if (event && *event)
        (*event)(this);
    return true;
}

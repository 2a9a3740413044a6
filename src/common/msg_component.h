// TMSG, the configurable message component: a plain message, an input prompt,
// or a system box with a chosen button set and icon whose answer is reported
// through one event per button.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

enum class TBrowseInfoButtons {
    Ok, Ok_Cancel, Abort_Retry_Ignore, Yes_No_Cancel, Yes_No, Retry_Cancel,
    Help, Cancel_Help, Ok_Cancel_Help, Help_Ok_Cancel_Help, Ok_Cancel_Help_Abort_Retry
};
enum class TBrowseInfoIcons { None, Error, Question, Exclamation, Information };
enum class TBrowseInfoMsgType { Standart, IconMsg, EditMsg };

class TMSG : public QObject {
    Q_OBJECT
public:
    explicit TMSG(QObject *parent = nullptr);

    using Notify = std::function<void(QObject *sender)>;
    Notify OnOkClick, OnCancelClick, OnYesClick, OnNoClick, OnIgnoreClick, OnRetryClick, OnAbortClick;

    TBrowseInfoButtons Buttons = TBrowseInfoButtons::Ok;
    TBrowseInfoIcons Icon = TBrowseInfoIcons::None;
    TBrowseInfoMsgType MsgType = TBrowseInfoMsgType::Standart;
    QString Text;
    QString Title;
    QString Description;

    // Shows the dialog that MsgType selects; the answer arrives through the events.
    bool Execute();

    // The input dialog used for EditMsg; tests replace it. Returns false on Cancel.
    using InputPrompt = std::function<bool(const QString &title, const QString &prompt, QString &text)>;
    static void SetInputPrompt(InputPrompt prompt);
};

#include "common/app_title.h"
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "common/message_boxes.h"
#include "common/msg_component.h"

#include <gtest/gtest.h>

TEST(MessageBoxes, KindsGiveCaptionIconAndModality)
{
    struct Case {
        MessageKind kind;
        QString caption;
        QMessageBox::Icon icon;
        bool systemModal;
    } cases[] = {
        {mkPlain, QStringLiteral("Ormena"), QMessageBox::NoIcon, false},
        {mkInformation, QStringLiteral("Для информации."), QMessageBox::Information, false},
        {mkQuestion, QStringLiteral("?"), QMessageBox::Question, false},
        {mkWarning, QStringLiteral("Предупреждение!"), QMessageBox::Warning, true},
        {mkError, QStringLiteral("Ошибка!"), QMessageBox::Critical, false},
    };
    for (const Case &c : cases) {
        ScriptedMessageBoxes boxes;
        ShowMessageBox(QStringLiteral("текст"), QString(), c.kind);
        ShowMessageBox(QStringLiteral("текст"), QStringLiteral("Своя"), c.kind);
        ASSERT_EQ(boxes.shown().size(), 2);
        EXPECT_EQ(boxes.shown()[0].caption, c.caption) << int(c.kind);
        EXPECT_EQ(boxes.shown()[1].caption, QStringLiteral("Своя"));
        EXPECT_EQ(boxes.shown()[0].icon, c.icon);
        EXPECT_EQ(boxes.shown()[0].systemModal, c.systemModal);
        EXPECT_EQ(boxes.shown()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
}

TEST(MessageBoxes, PlainCaptionFollowsTheTitleAtTheTimeOfTheCall)
{
    ScriptedMessageBoxes boxes;
    SetApplicationTitle(QStringLiteral("Другое"));
    ShowMessageBox(QStringLiteral("x"), QString(), mkPlain);
    SetApplicationTitle(QStringLiteral("Ormena"));
    EXPECT_EQ(boxes.shown().at(0).caption, QStringLiteral("Другое"));
}

TEST(MessageBoxes, ShowErrorComposesTheReport)
{
    const QString advice = QStringLiteral("\rСообщите разработчику  где возникла ошибка и ее текст\r"
                                          "если не сможете устранить ее самостоятельно.\r\rТекст ошибки:\r");
    const struct {
        QString errorText;
        QString shown;
    } cases[] = {
        {QString(), QStringLiteral("Отсутствует.")},
        {QStringLiteral("   "), QStringLiteral("Отсутствует.")},
        {QStringLiteral("  диск полон "), QStringLiteral("  диск полон ")},
    };
    for (const auto &c : cases) {
        ScriptedMessageBoxes boxes;
        ShowError(QStringLiteral("Ошибка проверки базы..."), c.errorText);
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Ошибка проверки базы...") + advice + c.shown);
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
    }
}

TEST(MessageBoxes, AskYesNoKeepsAnEmptyCaptionAndDefaultsToYes)
{
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::Yes);
    boxes.setNextAnswer(QMessageBox::No);
    EXPECT_TRUE(AskYesNo(QStringLiteral("Удалить?"), QString()));
    EXPECT_FALSE(AskYesNo(QStringLiteral("Удалить?"), QStringLiteral("Внимание")));
    EXPECT_EQ(boxes.shown()[0].caption, QString());
    EXPECT_EQ(boxes.shown()[0].defaultButton, QMessageBox::Yes);
    EXPECT_EQ(boxes.shown()[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Question);
}

TEST(MessageBoxes, UnhandledErrorFullStopRule)
{
    const struct {
        QString message;
        QString shown;
    } cases[] = {
        {QStringLiteral("Нет файла"), QStringLiteral("Нет файла.")},
        {QStringLiteral("Код 42"), QStringLiteral("Код 42.")},
        {QStringLiteral("Почему?"), QStringLiteral("Почему?.")},
        {QStringLiteral("Итог:"), QStringLiteral("Итог:.")},
        {QStringLiteral("Стоп!"), QStringLiteral("Стоп!")},
        {QStringLiteral("(скобка)"), QStringLiteral("(скобка)")},
        {QStringLiteral("Уже."), QStringLiteral("Уже.")},
        {QStringLiteral("пробел "), QStringLiteral("пробел ")},
        {QString(), QString()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UnhandledErrorText(c.message), c.shown) << c.message.toStdString();
}

TEST(MessageBoxes, UnhandledErrorUsesTitleAndErrorIconButNeverShowsASilentAbort)
{
    ScriptedMessageBoxes boxes;
    ShowUnhandledError(SilentAbort());
    EXPECT_TRUE(boxes.shown().isEmpty());
    ShowUnhandledError(OrmenaError(QStringLiteral("Нет связи")));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Нет связи."));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ormena"));
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
}

TEST(MessageBoxes, CarriageReturnsShowAsLineBreaks)
{
    EXPECT_EQ(DisplayText(QStringLiteral("a\rb\r\rc")), QStringLiteral("a\nb\n\nc"));
}

TEST(MsgComponent, ButtonPressRaisesItsEvent)
{
    const struct {
        TBrowseInfoButtons set;
        QMessageBox::StandardButton pressed;
        QString event;
    } cases[] = {
        {TBrowseInfoButtons::Yes_No_Cancel, QMessageBox::Yes, QStringLiteral("yes")},
        {TBrowseInfoButtons::Yes_No_Cancel, QMessageBox::No, QStringLiteral("no")},
        {TBrowseInfoButtons::Yes_No_Cancel, QMessageBox::Cancel, QStringLiteral("cancel")},
        {TBrowseInfoButtons::Abort_Retry_Ignore, QMessageBox::Ignore, QStringLiteral("ignore")},
        {TBrowseInfoButtons::Retry_Cancel, QMessageBox::Retry, QStringLiteral("retry")},
        {TBrowseInfoButtons::Ok_Cancel, QMessageBox::Ok, QStringLiteral("ok")},
    };
    for (const auto &c : cases) {
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(c.pressed);
        TMSG msg;
        QString raised;
        msg.OnYesClick = [&](QObject *) { raised += QStringLiteral("yes"); };
        msg.OnNoClick = [&](QObject *) { raised += QStringLiteral("no"); };
        msg.OnCancelClick = [&](QObject *) { raised += QStringLiteral("cancel"); };
        msg.OnIgnoreClick = [&](QObject *) { raised += QStringLiteral("ignore"); };
        msg.OnRetryClick = [&](QObject *) { raised += QStringLiteral("retry"); };
        msg.OnOkClick = [&](QObject *) { raised += QStringLiteral("ok"); };
        msg.MsgType = TBrowseInfoMsgType::IconMsg;
        msg.Buttons = c.set;
        msg.Icon = TBrowseInfoIcons::Question;
        msg.Title = QStringLiteral("Что делать ?");
        msg.Execute();
        EXPECT_EQ(raised, c.event);
        EXPECT_EQ(boxes.shown().at(0).caption, QStringLiteral("Что делать ?"));
        EXPECT_EQ(boxes.shown().at(0).icon, QMessageBox::Question);
    }
}

TEST(MsgComponent, EscapeOnYesNoCancelCountsAsCancel)
{
    ScriptedMessageBoxes boxes; // no answer scripted: the box is closed with its escape button
    TMSG msg;
    bool cancelled = false;
    msg.OnCancelClick = [&](QObject *) { cancelled = true; };
    msg.MsgType = TBrowseInfoMsgType::IconMsg;
    msg.Buttons = TBrowseInfoButtons::Yes_No_Cancel;
    msg.Execute();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(boxes.shown().at(0).defaultButton, QMessageBox::Yes);
}

TEST(MsgComponent, EditMsgReturnsTheEnteredText)
{
    TMSG msg;
    msg.MsgType = TBrowseInfoMsgType::EditMsg;
    msg.Text = QStringLiteral("старое");
    TMSG::SetInputPrompt([](const QString &, const QString &, QString &text) {
        text = QStringLiteral("новое");
        return true;
    });
    msg.Execute();
    EXPECT_EQ(msg.Text, QStringLiteral("новое"));
    TMSG::SetInputPrompt([](const QString &, const QString &, QString &) { return false; });
    msg.Execute();
    EXPECT_EQ(msg.Text, QStringLiteral("новое"));
    TMSG::SetInputPrompt({});
}

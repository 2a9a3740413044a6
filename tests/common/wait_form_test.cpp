#include "common/message_box_presenter.h"
#include "common/wait_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

TEST(WaitForm, CaptionAndSpacedMessage)
{
    ScopedWaitForm untitled(QStringLiteral("a,b+c"), QString(), 2);
    EXPECT_EQ(untitled->windowTitle(), QStringLiteral("Ожидайте!"));
    EXPECT_EQ(untitled->message(), QStringLiteral("a, b+ c"));
    ScopedWaitForm titled(QStringLiteral("x"), QStringLiteral("Подождите!"), 2);
    EXPECT_EQ(titled->windowTitle(), QStringLiteral("Подождите!"));
}

TEST(WaitForm, StyleBitsDecideWhatTakesRoom)
{
    ScopedWaitForm bare(QStringLiteral("Только текст"), QString(), 0);
    EXPECT_FALSE(bare->animation()->isVisible());
    EXPECT_FALSE(bare->progressBar()->isVisible());
    EXPECT_FALSE(bare->cancelButton()->isVisible());
    EXPECT_FALSE(bare->staticLabel()->isVisible());
    EXPECT_EQ(bare->height(), bare->waitLabel()->height() + 20);

    ScopedWaitForm full(QStringLiteral("Всё"), QString(), wsCancel | wsAnimation | wsProgress | wsPleaseWait);
    EXPECT_TRUE(full->animation()->isVisible());
    EXPECT_TRUE(full->progressBar()->isVisible());
    EXPECT_TRUE(full->cancelButton()->isVisible());
    EXPECT_EQ(full->cancelButton()->text(), QStringLiteral("Отмена (Esc)"));
    EXPECT_EQ(full->staticLabel()->text(), QStringLiteral("Пожалуйста, подождите"));
    EXPECT_EQ(full->cancelButton()->y(), full->progressBar()->y() + full->progressBar()->height() + 5);
    EXPECT_EQ(full->height(), full->staticLabel()->y() + full->staticLabel()->height());
}

TEST(WaitForm, LongMessageWrapsAtHalfTheScreen)
{
    const int half = QGuiApplication::primaryScreen()->geometry().width() / 2;
    ScopedWaitForm form(QString(400, QLatin1Char('w')) + QStringLiteral(" ") + QString(400, QLatin1Char('w')), QString(), 2);
    EXPECT_EQ(form->waitLabel()->width(), half - 20);
    EXPECT_EQ(form->waitLabel()->x(), 10);
    EXPECT_GE(form->width(), half);
}

TEST(WaitForm, PlaceAtTable)
{
    ScopedWaitForm form(QStringLiteral("Место"), QString(), 2);
    const int W = QGuiApplication::primaryScreen()->geometry().width();
    const int H = QGuiApplication::primaryScreen()->availableGeometry().height();
    const int w = form->frameGeometry().width();
    const int h = form->frameGeometry().height();
    const struct {
        int code, left, top;
    } cases[] = {{0, 0, 0}, {1, W - w, 0}, {2, 0, H - h}, {3, W - w, H - h}, {4, (W - w) / 2, 0},
                 {5, (W - w) / 2, H - h}, {6, 0, (H - h) / 2}, {7, W - w, (H - h) / 2}, {8, (W - w) / 2, (H - h) / 2}};
    for (const auto &c : cases) {
        form->PlaceAt(c.code);
        EXPECT_EQ(form->pos(), QPoint(c.left, c.top)) << c.code;
    }
}

TEST(WaitForm, DisablesOtherWindowsAndNests)
{
    QWidget main;
    main.show();
    {
        ScopedWaitForm outer(QStringLiteral("1"), QString(), 2);
        EXPECT_FALSE(main.isEnabled());
        {
            ScopedWaitForm inner(QStringLiteral("2"), QString(), 2);
            EXPECT_FALSE(outer->isEnabled());
        }
        EXPECT_TRUE(outer->isEnabled());
        EXPECT_FALSE(main.isEnabled());
    }
    EXPECT_TRUE(main.isEnabled());
}

TEST(WaitForm, RefusesToCloseAndBlinksBetweenTwoColours)
{
    ScopedWaitForm form(QStringLiteral("Ждём"), QString(), 2);
    form->close();
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(form.get(), Qt::Key_F4, Qt::AltModifier);
    EXPECT_TRUE(form->isVisible());
    const QColor first = form->messageColor();
    form->Blink();
    EXPECT_NE(form->messageColor(), first);
    form->Blink();
    EXPECT_EQ(form->messageColor(), first);
}

TEST(WaitForm, CancelAsksAndOnlyYesSetsTheFlag)
{
    ScriptedMessageBoxes boxes;
    ScopedWaitForm form(QStringLiteral("Удаляем"), QString(), wsCancel);
    boxes.setNextAnswer(QMessageBox::No);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->cancelled());
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Прервать операцию?"));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ormena"));
    EXPECT_EQ(boxes.shown()[0].defaultButton, QMessageBox::No);
    boxes.setNextAnswer(QMessageBox::Yes);
    form->cancelButton()->click();
    EXPECT_TRUE(form->cancelled());
}

TEST(WaitProcess, PacesAttemptsAndStopsOnCancel)
{
    ScriptedMessageBoxes boxes;
    TWaitProcess pacer(QStringLiteral("Файл занят"), QStringLiteral("Удаляем файл"), true, 0, 2);
    EXPECT_TRUE(pacer.Step()); // first failure: below the attempts per pause
    EXPECT_EQ(pacer.waitForm(), nullptr);
    EXPECT_TRUE(pacer.Step()); // second: pause, then the window appears
    ASSERT_NE(pacer.waitForm(), nullptr);
    EXPECT_EQ(pacer.waitForm()->windowTitle(), QStringLiteral("Удаляем файл"));
    EXPECT_TRUE(pacer.waitForm()->cancelButton()->isVisibleTo(pacer.waitForm()));

    boxes.setNextAnswer(QMessageBox::No);
    pacer.waitForm()->cancelButton()->click();
    EXPECT_TRUE(pacer.Step());
    EXPECT_TRUE(pacer.Step()); // blinks, not cancelled
    boxes.setNextAnswer(QMessageBox::Yes);
    pacer.waitForm()->cancelButton()->click();
    EXPECT_TRUE(pacer.Step());
    EXPECT_FALSE(pacer.Step());
}

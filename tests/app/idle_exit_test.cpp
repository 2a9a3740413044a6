#include "app/idle_exit.h"
#include "app/idle_exit_form.h"
#include "common/application_control.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>

namespace {

QDateTime At(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

// A clock the test sets by hand, so no test waits real minutes.
struct FakeClock {
    QDateTime now;
    TNowFunction function()
    {
        return [this] { return now; };
    }
};

// Every test starts and ends without a pending termination request.
class IdleExitTest : public ::testing::Test {
protected:
    IdleExitTest() { ResetTerminationRequest(); }
    ~IdleExitTest() override { ResetTerminationRequest(); }
};

TIdleExitForm *OpenCountdown()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *form = qobject_cast<TIdleExitForm *>(widget);
        if (form && form->isVisible())
            return form;
    }
    return nullptr;
}

} // namespace

TEST(IdleMinutes, CountsClockMinuteBoundaries)
{
    struct Case {
        const char *from;
        const char *to;
        int expected;
    };
    const QList<Case> cases = {
        {"2024-03-05 10:00:59", "2024-03-05 10:10:00", 10},
        {"2024-03-05 10:00:00", "2024-03-05 10:09:59", 9},
        {"2024-03-05 10:00:00", "2024-03-05 10:00:59", 0},
        {"2024-03-05 10:00:59", "2024-03-05 10:01:00", 1},
        {"2024-03-05 23:55:30", "2024-03-06 00:05:00", 10},
        {"2024-03-05 23:59:59", "2024-03-06 00:00:00", 1},
        {"2024-12-31 23:50:00", "2025-01-01 00:00:00", 10},
        {"2024-03-05 10:00:00", "2024-03-07 10:00:00", 2880},
        {"2024-03-05 10:10:00", "2024-03-05 10:00:00", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.from) + " -> " + c.to);
        EXPECT_EQ(IdleMinutes(At(c.from), At(c.to)), c.expected);
    }
}

// Input of every kind that reaches the application counts; painting, timers,
// the toolkit's own queued work and a window appearing do not.
TEST_F(IdleExitTest, InputCountsAsActivityButPaintAndTimersDoNot)
{
    FakeClock clock{At("2024-03-05 09:00:00")};
    TIdleExit watcher(clock.function(), [] { return false; });
    QWidget widget;
    widget.resize(200, 100);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));

    struct Case {
        const char *what;
        std::function<void()> act;
        bool counts;
    };
    const QList<Case> cases = {
        {"mouse movement", [&] {
             QCoreApplication::postEvent(&widget, new QMouseEvent(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5),
                                                                  Qt::NoButton, Qt::NoButton, Qt::NoModifier));
         }, true},
        {"mouse click", [&] { QTest::mouseClick(&widget, Qt::LeftButton); }, true},
        {"key stroke", [&] { QTest::keyClick(&widget, Qt::Key_A); }, true},
        {"wheel", [&] {
             QCoreApplication::postEvent(&widget, new QWheelEvent(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120),
                                                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                                                                  false));
         }, true},
        {"paint", [&] { widget.repaint(); }, false},
        {"update", [&] { widget.update(); }, false},
        {"timer", [&] {
             bool fired = false;
             QTimer::singleShot(1, [&] { fired = true; });
             ASSERT_TRUE(QTest::qWaitFor([&] { return fired; }, 1000));
         }, false},
        {"queued call", [&] { QMetaObject::invokeMethod(&widget, [] {}, Qt::QueuedConnection); }, false},
        {"a window appears", [&] {
             QWidget other;
             other.show();
             ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
         }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QDateTime before = watcher.LastActivity();
        clock.now = clock.now.addSecs(90);
        c.act();
        QCoreApplication::processEvents();
        EXPECT_EQ(watcher.LastActivity(), c.counts ? clock.now : before);
    }
}

// The check runs once a second, counts clock minutes against the limit, stops
// itself while the countdown runs, and after a cancelled countdown counts again
// from the moment the countdown closed.
TEST_F(IdleExitTest, CountdownStartsAtTheLimitAndCancelStartsAFreshCount)
{
    FakeClock clock{At("2024-03-05 10:00:59")};
    int asked = 0;
    bool answer = false;
    TIdleExit *self = nullptr;
    TIdleExit watcher(clock.function(), [&] {
        ++asked;
        EXPECT_FALSE(self->CheckTimer()->isActive()) << "only one countdown at a time";
        clock.now = clock.now.addSecs(61); // the countdown takes its time
        return answer;
    });
    self = &watcher;
    EXPECT_EQ(watcher.CheckTimer()->interval(), 1000);
    EXPECT_TRUE(watcher.CheckTimer()->isActive());
    EXPECT_EQ(watcher.IdleLimit(), 15);
    watcher.SetIdleLimit(10);

    clock.now = At("2024-03-05 10:09:59");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 0);
    clock.now = At("2024-03-05 10:10:00");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(TerminationRequested());
    EXPECT_EQ(watcher.LastActivity(), At("2024-03-05 10:11:01"));
    EXPECT_TRUE(watcher.CheckTimer()->isActive());

    // The next countdown comes after another ten idle minutes.
    clock.now = At("2024-03-05 10:20:59");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 1);
    clock.now = At("2024-03-05 10:21:00");
    answer = true;
    watcher.CheckIdle();
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(TerminationRequested());
    // Terminating: no further countdown while the shutdown is on its way.
    EXPECT_FALSE(watcher.CheckTimer()->isActive());
    clock.now = clock.now.addSecs(3600);
    watcher.CheckIdle();
    EXPECT_EQ(asked, 2);
}

TEST_F(IdleExitTest, AnIdleSpanOverMidnightCounts)
{
    FakeClock clock{At("2024-03-05 23:55:30")};
    int asked = 0;
    TIdleExit watcher(clock.function(), [&] { return ++asked, false; });
    watcher.SetIdleLimit(10);
    clock.now = At("2024-03-06 00:04:59");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 0);
    clock.now = At("2024-03-06 00:05:00");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 1);
}

TEST_F(IdleExitTest, AClockSetBackStartsTheCountFromItsNewReading)
{
    FakeClock clock{At("2024-03-05 12:00:00")};
    int asked = 0;
    TIdleExit watcher(clock.function(), [&] { return ++asked, false; });
    watcher.SetIdleLimit(10);
    clock.now = At("2024-03-05 09:00:00");
    watcher.CheckIdle();
    EXPECT_EQ(watcher.LastActivity(), clock.now);
    clock.now = At("2024-03-05 09:10:00");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 1);
}

TEST_F(IdleExitTest, TheFirstWatcherIsTheProcessWideOne)
{
    EXPECT_EQ(IdleExit(), nullptr);
    SetIdleLimit(10); // no watcher: nothing to do, nothing breaks
    {
        TIdleExit watcher;
        EXPECT_EQ(IdleExit(), &watcher);
        EXPECT_EQ(watcher.IdleLimit(), 15);
        SetIdleLimit(10); // what opening a database does
        EXPECT_EQ(watcher.IdleLimit(), 10);
    }
    EXPECT_EQ(IdleExit(), nullptr);
}

// While the program waits for the operator to finish in another program, no
// countdown starts; the end of the wait counts as activity.
TEST_F(IdleExitTest, APauseHoldsTheCountdownBack)
{
    FakeClock clock{At("2024-03-05 10:00:00")};
    int asked = 0;
    TIdleExit watcher(clock.function(), [&] { return ++asked, false; });
    watcher.SetIdleLimit(10);
    {
        ScopedIdlePause pause;
        clock.now = At("2024-03-05 10:30:00");
        watcher.CheckIdle();
        EXPECT_EQ(asked, 0);
        clock.now = At("2024-03-05 10:31:00");
    }
    EXPECT_EQ(watcher.LastActivity(), At("2024-03-05 10:31:00"));
    watcher.CheckIdle();
    EXPECT_EQ(asked, 0);
    clock.now = At("2024-03-05 10:41:00");
    watcher.CheckIdle();
    EXPECT_EQ(asked, 1);
}

// A start-up that waits on a message box before the database is opened gets
// its countdown over the box, with the 15-minute limit.
TEST_F(IdleExitTest, AMessageBoxOpenForFifteenMinutesBeforeTheDatabaseGetsTheCountdown)
{
    FakeClock clock{At("2024-03-05 09:00:00")};
    QList<int> limitsAsked;
    TIdleExit watcher(clock.function(), [&] {
        limitsAsked.append(IdleExit()->IdleLimit());
        return false;
    });
    watcher.CheckTimer()->setInterval(5);

    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ormena"), QStringLiteral("Вопрос при запуске"));
    int countdownsBeforeLimit = -1;
    QTimer::singleShot(0, &box, [&] {
        clock.now = At("2024-03-05 09:14:59");
        QTest::qWait(100); // many checks run inside the box's own loop
        countdownsBeforeLimit = int(limitsAsked.size());
        clock.now = At("2024-03-05 09:15:00");
        EXPECT_TRUE(QTest::qWaitFor([&] { return !limitsAsked.isEmpty(); }, 5000));
        box.done(0);
    });
    box.exec();
    EXPECT_EQ(countdownsBeforeLimit, 0);
    EXPECT_EQ(limitsAsked, QList<int>{15});
}

TEST(IdleExitForm, ShowsTheCountdownWindow)
{
    TIdleExitForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Подготовка к завершению программы"));
    EXPECT_EQ(form.size(), QSize(742, 138));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(form.label1()->text(), QStringLiteral("Подготовка ..."));
    EXPECT_TRUE(form.label2()->text().isEmpty());
    EXPECT_EQ(form.label2()->height(), 49);
    EXPECT_EQ(form.progressBar1()->minimum(), 0);
    EXPECT_EQ(form.progressBar1()->maximum(), 60);
    EXPECT_EQ(form.progressBar1()->value(), 0);
    EXPECT_EQ(form.button1()->text(), QStringLiteral("Отмена"));
    EXPECT_TRUE(form.reportTimer()->isActive());
    EXPECT_EQ(form.reportTimer()->interval(), 1000);
}

// The texts run from 59 seconds down to 0; the tick after 0 closes the window
// with OK, so the countdown lasts 61 ticks.
TEST(IdleExitForm, CountsDownSixtySecondsAndClosesAtTheSixtyFirstTick)
{
    TIdleExitForm form;
    form.show();
    form.ReportTimerTimer();
    EXPECT_EQ(form.label1()->text(), QStringLiteral("До завершения программы осталось: 59 секунд(ы)"));
    EXPECT_TRUE(form.label2()->text().startsWith(QStringLiteral("Программа продолжительное время не получала")));
    EXPECT_TRUE(form.label2()->text().contains(QStringLiteral("будет завершена.\nТак что или вы работаете")));
    EXPECT_TRUE(form.label2()->text().endsWith(QStringLiteral("тогда программа будет выгружена")));
    for (int tick = 2; tick <= 60; ++tick)
        form.ReportTimerTimer();
    EXPECT_EQ(form.progressBar1()->value(), 60);
    EXPECT_EQ(form.label1()->text(), QStringLiteral("До завершения программы осталось: 0 секунд(ы)"));
    EXPECT_TRUE(form.isVisible());
    form.ReportTimerTimer();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.result(), TIdleExitForm::mrOk);
}

// "Отмена", Esc or the window frame stop the shutdown only while the window
// still shows a second or more; during the last second the result is OK.
TEST(IdleExitForm, CancelStopsTheShutdownOnlyBeforeTheZeroLine)
{
    enum How { Button, Escape, Frame };
    struct Case {
        const char *what;
        int ticks;
        How how;
        int expected;
    };
    const QList<Case> cases = {
        {"button at once", 0, Button, TIdleExitForm::mrCancel},
        {"button at 1 second", 59, Button, TIdleExitForm::mrCancel},
        {"button at 0 seconds", 60, Button, TIdleExitForm::mrOk},
        {"Esc at 30 seconds", 30, Escape, TIdleExitForm::mrCancel},
        {"frame at 30 seconds", 30, Frame, TIdleExitForm::mrCancel},
        {"frame at 0 seconds", 60, Frame, TIdleExitForm::mrOk},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TIdleExitForm form;
        form.show();
        for (int i = 0; i < c.ticks; ++i)
            form.ReportTimerTimer();
        switch (c.how) {
        case Button:
            QTest::mouseClick(form.button1(), Qt::LeftButton);
            break;
        case Escape:
            QTest::keyClick(&form, Qt::Key_Escape);
            break;
        case Frame:
            form.close();
            break;
        }
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), c.expected);
        EXPECT_FALSE(form.reportTimer()->isActive());
    }
}

// The whole path with the real window: the watcher opens the countdown, the
// window's own timer drives it, the mouse moves over it all the while. Moving
// the mouse counts as activity but does not stop the countdown; the program
// then ends. Pressing "Отмена" instead keeps it running.
TEST_F(IdleExitTest, MouseMovementOverTheCountdownDoesNotStopIt)
{
    for (const bool pressCancel : {false, true}) {
        SCOPED_TRACE(pressCancel ? "Отмена pressed" : "mouse moved only");
        ResetTerminationRequest();
        FakeClock clock{At("2024-03-05 10:00:00")};
        TIdleExit watcher(clock.function()); // the real countdown window
        watcher.SetIdleLimit(10);
        clock.now = At("2024-03-05 10:10:00");

        int moves = 0;
        int steps = 0;
        QString lastLine;
        QTimer driver;
        driver.setInterval(1);
        QObject::connect(&driver, &QTimer::timeout, [&] {
            TIdleExitForm *form = OpenCountdown();
            if (!form)
                return;
            if (++steps > 20000) { // a countdown that never ends fails instead of hanging
                form->reject();
                return;
            }
            if (form->reportTimer()->interval() != 2)
                form->reportTimer()->setInterval(2); // setting it restarts it: only once
            lastLine = form->label1()->text();
            clock.now = clock.now.addMSecs(500);
            const QPointF where(100 + moves % 300, 60);
            QCoreApplication::postEvent(form, new QMouseEvent(QEvent::MouseMove, where, form->mapToGlobal(where),
                                                              Qt::NoButton, Qt::NoButton, Qt::NoModifier));
            ++moves;
            if (pressCancel && form->progressBar1()->value() >= 10)
                QTest::mouseClick(form->button1(), Qt::LeftButton);
        });
        driver.start();
        watcher.CheckIdle();
        driver.stop();

        EXPECT_GT(moves, 0);
        EXPECT_GT(watcher.LastActivity(), At("2024-03-05 10:10:00")) << "the movement was counted";
        if (pressCancel) {
            EXPECT_FALSE(TerminationRequested());
            EXPECT_EQ(watcher.LastActivity(), clock.now);
            EXPECT_TRUE(watcher.CheckTimer()->isActive());
        } else {
            EXPECT_TRUE(TerminationRequested());
            EXPECT_EQ(lastLine, QStringLiteral("До завершения программы осталось: 0 секунд(ы)"));
        }
        EXPECT_EQ(OpenCountdown(), nullptr);
    }
}

// The end of a countdown that ran out reaches the main loop: the loop ends,
// so the normal shutdown that follows it saves what it saves.
TEST_F(IdleExitTest, ARunOutCountdownEndsTheMainLoop)
{
    FakeClock clock{At("2024-03-05 10:00:00")};
    TIdleExit watcher(clock.function());
    watcher.CheckTimer()->setInterval(5);
    QWidget mainWindow;
    mainWindow.show();

    bool stoppedBySafety = false;
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [&] {
        stoppedBySafety = true;
        if (TIdleExitForm *form = OpenCountdown())
            form->reject();
        QCoreApplication::exit(1);
    });
    safety.start(20000);
    QTimer driver;
    driver.setInterval(1);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (TIdleExitForm *form = OpenCountdown(); form && form->reportTimer()->interval() != 1)
            form->reportTimer()->setInterval(1);
    });
    driver.start();
    QTimer::singleShot(0, [&] { clock.now = At("2024-03-05 10:15:00"); });

    RunMessageLoop();
    EXPECT_FALSE(stoppedBySafety);
    EXPECT_TRUE(TerminationRequested());
    EXPECT_EQ(OpenCountdown(), nullptr);
}

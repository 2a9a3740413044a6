#include "app/single_instance.h"
#include "common/application_control.h"
#include "common/message_box_presenter.h"
#include "ui/main_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTimer>
#include <QUuid>
#include <gtest/gtest.h>

// Runs in a child process started by SecondInstanceIsRefused: tries to become
// the instance for the title in ORMENA_TEST_TITLE and prints what it showed.
TEST(SingleInstanceChild, TryToStart)
{
    const QString title = qEnvironmentVariable("ORMENA_TEST_TITLE");
    if (title.isEmpty())
        GTEST_SKIP() << "only run as the second process of SecondInstanceIsRefused";
    QCoreApplication::setApplicationName(title);
    ScriptedMessageBoxes boxes;
    ResetTerminationRequest();
    TfMain main;
    main.start();
    if (!boxes.shown().isEmpty())
        printf("BOX:%s|%s\n", boxes.shown()[0].text.toUtf8().constData(),
               boxes.shown()[0].caption.toUtf8().constData());
    printf("TERMINATION:%d\n", TerminationRequested() ? 1 : 0);
    fflush(stdout);
    ResetTerminationRequest();
}

TEST(SingleInstance, SecondInstanceIsRefusedAndTheFirstIsAskedToComeToTheFront)
{
    const QString title = QStringLiteral("OrmenaTest-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    TOneProgram first;
    ASSERT_TRUE(first.acquire(title));
    QSignalSpy activation(&first, &TOneProgram::activationRequested);

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORMENA_TEST_TITLE"), title);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(env);
    second.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=SingleInstanceChild.TryToStart")});
    ASSERT_TRUE(second.waitForStarted(10000));
    QElapsedTimer timer;
    timer.start();
    while (second.state() != QProcess::NotRunning && timer.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        second.waitForFinished(50);
    }
    ASSERT_EQ(second.exitCode(), 0);
    const QString output = QString::fromUtf8(second.readAllStandardOutput());
    EXPECT_TRUE(output.contains(QStringLiteral("BOX:У Вас уже запущена одна копия программы\r") + title
                                + QStringLiteral("|Предупреждение!")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("TERMINATION:1")));

    for (int i = 0; i < 40 && activation.isEmpty(); ++i)
        activation.wait(50);
    EXPECT_FALSE(activation.isEmpty());
}

TEST(SingleInstance, LockIsFreedWithItsHolder)
{
    const QString title = QStringLiteral("OrmenaTest-") + QUuid::createUuid().toString(QUuid::Id128).left(8);
    {
        TOneProgram first;
        ASSERT_TRUE(first.acquire(title));
    }
    TOneProgram again;
    EXPECT_TRUE(again.acquire(title));
}

TEST(MessageLoop, TerminationRequestedBeforeTheLoopEndsItAtItsFirstTurn)
{
    ResetTerminationRequest();
    RequestTermination();
    bool ranPending = false;
    QTimer::singleShot(0, [&] { ranPending = true; });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_TRUE(ranPending);
    ResetTerminationRequest();
}

TEST(MessageLoop, TerminationWhileRunningEndsTheLoop)
{
    ResetTerminationRequest();
    QTimer::singleShot(10, [] { RequestTermination(); });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunMessageLoop(), 0);
    EXPECT_LT(timer.elapsed(), 5000);
    ResetTerminationRequest();
}

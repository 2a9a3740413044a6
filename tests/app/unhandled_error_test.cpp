#include "common/errors.h"
#include "common/message_box_presenter.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

// An exception that leaves an event handler is shown by the application object
// and the loop goes on with the next event.
TEST(UnhandledError, EventLoopShowsWhatLeavesAHandler)
{
    ScriptedMessageBoxes boxes;
    bool nextEventRan = false;
    QTimer::singleShot(0, [] { throw OrmenaError(QStringLiteral("Шаблон не найден")); });
    QTimer::singleShot(0, [] { throw SilentAbort(); });
    QTimer::singleShot(0, [&] { nextEventRan = true; });
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Шаблон не найден."));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ormena"));
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(nextEventRan);
}

// Runs every GoogleTest case inside one QApplication on the offscreen platform,
// with the message boxes scripted so that no test ever waits on a modal box.
#include "app/ormena_application.h"
#include "common/app_title.h"
#include "common/message_box_presenter.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    OrmenaApplication app(argc, argv);
    SetApplicationTitle(QStringLiteral("Ormena"));
    ScriptedMessageBoxes unansweredBoxes; // the fallback when a test installs none
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

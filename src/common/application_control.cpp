#include "common/application_control.h"

#include <QCoreApplication>

namespace {
bool g_requested = false;
bool g_loopRunning = false;
}

void RequestTermination()
{
    g_requested = true;
    if (g_loopRunning)
        QCoreApplication::quit();
}

bool TerminationRequested()
{
    return g_requested;
}

void TerminateApplication()
{
    RequestTermination();
    QCoreApplication::processEvents();
}

int RunMessageLoop()
{
    if (g_requested) {
        // The loop takes its first turn and finds the request.
        QCoreApplication::processEvents();
        return 0;
    }
    g_loopRunning = true;
    const int result = QCoreApplication::exec();
    g_loopRunning = false;
    return result;
}

void ResetTerminationRequest()
{
    g_requested = false;
}

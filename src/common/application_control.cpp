#include "common/application_control.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace {
bool g_requested = false;
bool g_loopRunning = false;
}

void RequestTermination()
{
    g_requested = true;
    if (g_loopRunning) {
        QCoreApplication::quit();
        return;
    }
    // Before the main loop runs (during start-up) a modal box may hold its own
    // loop: close it, so a request made over it (the idle countdown) takes
    // effect instead of waiting for the operator's answer.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
    }
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

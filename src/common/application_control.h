// The request to end the program. A request never stops running code: it ends
// the main message loop at its next turn, also when made before the loop runs.
#pragma once

void RequestTermination();
bool TerminationRequested();
// Requests termination and lets pending events run once.
void TerminateApplication();
// Runs the main message loop; returns at once when termination was requested.
int RunMessageLoop();
// Forgets an earlier request (tests run several start-ups in one process).
void ResetTerminationRequest();

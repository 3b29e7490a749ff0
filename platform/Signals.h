// Termination signals (SIGTERM, SIGINT, SIGHUP) as events of the GUI thread.
//
// The signal handler only writes the signal's number into a pipe; the GUI
// thread watches the pipe and runs the program's handler during its event
// processing (Run, ProcessMessages, a modal loop), so the handler may do
// anything an event handler may, such as closing the main window. When the
// application is terminated after the handler, every modal loop still open
// (forms, message boxes, file dialogs) ends as if cancelled.
#pragma once

#include <functional>

using TTerminationSignalEvent = std::function<void(int Signal)>;

// Installs Handler for the three signals (GUI thread). An empty Handler
// gives the signals their default action back.
void SetTerminationSignalHandler(TTerminationSignalEvent Handler);

// The program's forms: the main window and the dialogs, created once at
// start in a fixed order and kept until the program ends.
#pragma once

#include "workbench/Main.h"

// Creates the main window (the application's main form) and then every
// dialog, each owned by the application.
void CreateApplicationForms(const TMainFormOptions& Options);

// A request to end the program (SIGTERM, SIGINT, SIGHUP) closes the main
// window as its close button does, also while a dialog is open, so a
// recording is closed in order.
void CloseMainFormOnTerminationSignal();

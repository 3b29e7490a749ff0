// Program entry.
#include "platform/Application.h"

int main(int argc, char** argv)
{
    InitApplication(argc, argv);
    Application->SetTitle("RO Ziv Ozezudo");
    // The main loop runs once there is a main window to show.
    DoneApplication();
    return 0;
}

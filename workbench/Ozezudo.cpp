// Program entry: the application, its forms and the main loop.
//
//   ozezudo [--port DEVICE]
//
// --port opens DEVICE (a serial device or a pseudo-terminal) at start in
// place of the port kept in the settings file, for this run only.
#include "platform/Application.h"
#include "platform/Classes.h"
#include "platform/SerialPorts.h"
#include "platform/Signals.h"
#include "platform/SysUtils.h"
#include "workbench/Appforms.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char** argv)
{
    TMainFormOptions Options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0 && i + 1 < argc) {
            const std::string Device = argv[++i];
            Options.PortOverride = DeviceToPortNumber(Device);
            if (Options.PortOverride == 0)
                std::fprintf(stderr, "ozezudo: %s is not a serial device\n", Device.c_str());
        }
    }
    InitApplication(argc, argv);
    try {
        Application->SetTitle("RO Ziv Ozezudo");
        Options.ExeName = Application->ExeName();
        CreateApplicationForms(Options);
        CloseMainFormOnTerminationSignal();
        MainForm->Show();
        Application->Run();
    } catch (const Exception& E) {
        Application->HandleException(E);
    }
    SetTerminationSignalHandler(nullptr);
    DoneApplication();
    return 0;
}

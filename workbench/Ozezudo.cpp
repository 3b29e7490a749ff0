// Program entry: the application, its forms and the main loop.
//
//   ozezudo [--port DEVICE] [--help]
//
// --port opens DEVICE (a serial device or a pseudo-terminal) at start in
// place of the port kept in the settings file, for this run only. A missing
// or unknown device, or an unknown option, is refused with exit status 2.
#include "platform/Application.h"
#include "platform/Classes.h"
#include "platform/SerialPorts.h"
#include "platform/Signals.h"
#include "platform/SysUtils.h"
#include "workbench/Appforms.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

const char* const Usage =
    "usage: ozezudo [--port DEVICE]\n"
    "The companion program of the gas-flow and ventilator analyzer.\n"
    "  --port DEVICE  talk to the analyzer on DEVICE for this run, in place of the\n"
    "                 port kept in the settings file: a serial device such as\n"
    "                 /dev/ttyUSB0 (the user must be in the dialout group) or the\n"
    "                 pseudo-terminal of the analyzer simulator\n"
    "  --help         print this and exit\n"
    "Without --port the program opens the port chosen last in\n"
    "Communications > Comm Port.\n";

// A command-line fault: says so on standard error; the program ends with 2.
int Refuse(const std::string& Message)
{
    std::fprintf(stderr, "ozezudo: %s\n%s", Message.c_str(), Usage);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    TMainFormOptions Options;
    for (int i = 1; i < argc; ++i) {
        const std::string Arg = argv[i];
        if (Arg == "--help" || Arg == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (Arg == "--port") {
            if (i + 1 >= argc)
                return Refuse("--port needs a device, for example --port /dev/ttyUSB0");
            const std::string Device = argv[++i];
            std::error_code Ec;
            if (!std::filesystem::exists(Device, Ec))
                return Refuse(Device + " does not exist");
            Options.PortOverride = DeviceToPortNumber(Device);
            if (Options.PortOverride == 0)
                return Refuse(Device + " is not a serial device");
            continue;
        }
        // The window system's own options (-platform, -display ...) pass on.
        if (Arg.rfind("--", 0) == 0)
            return Refuse("unknown option " + Arg);
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

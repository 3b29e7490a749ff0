// Fuzz target: arbitrary bytes read as a report form file. Reading may fail
// (RpLoadReport then answers nil after its message), never crash or leak.
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "report/RpExtra.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool Ready = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        EnsureApplication();
        RegisterRpClasses();
        SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
            A.ModalResult = 1;
            return true;
        });
        return true;
    }();
    (void)Ready;
    static const std::string Name = "/tmp/reportform_fuzz_" + std::to_string(::getpid()) + ".rpf";
    {
        std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
        Out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    }
    ClearAnsweredDialogs();
    if (TRpReport* Report = RpLoadReport(Name))
        RpFreeReport(Report);
    return 0;
}

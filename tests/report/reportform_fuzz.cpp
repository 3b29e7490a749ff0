// Fuzz target: arbitrary bytes read as a report form file. Reading may fail
// (RpLoadReport then answers nil after its message), never crash or leak.
#include "platform/DialogHook.h"
#include "report/RpExtra.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool Quiet = (SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
                                   A.ModalResult = 1;
                                   return true;
                               }),
                               true);
    (void)Quiet;
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

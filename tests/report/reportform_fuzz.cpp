// Fuzz target: arbitrary bytes read as a report form file. Reading may fail
// (RpLoadReport then answers nil after its message), never crash or leak.
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "report/RpExtra.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// The form file in the temporary folder ($TMPDIR), removed when the fuzzer
// ends.
const std::string& FormFile()
{
    static const std::string Name =
        (std::filesystem::temp_directory_path() / ("reportform_fuzz_" + std::to_string(::getpid()) + ".rpf")).string();
    // Registered after Name is made, so it runs before Name goes.
    static const bool Removed = (std::atexit([] { std::remove(FormFile().c_str()); }), true);
    (void)Removed;
    return Name;
}

}  // namespace

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
    const std::string& Name = FormFile();
    {
        std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
        Out.write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));
    }
    ClearAnsweredDialogs();
    if (TRpReport* Report = RpLoadReport(Name))
        RpFreeReport(Report);
    return 0;
}

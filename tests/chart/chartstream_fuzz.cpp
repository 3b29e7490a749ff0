// Fuzz target: arbitrary bytes read as the stored form of a chart (series of
// every kind on the library, functions, tools, custom axes, mark items and
// point data). Built with clang and -fsanitize=fuzzer,address,undefined
// against the chart library, seeded with the golden chart form. A damaged
// form may only raise EReadError and must leave nothing behind; a form that
// reads writes text that reads back into a chart writing the same bytes.
#include "chart/Chart.h"
#include "platform/Application.h"
#include "platform/DialogHook.h"
#include "platform/Filer.h"
#include "platform/Streams.h"
#include "tests/support/FormFuzz.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

bool Setup()
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    EnsureApplication();
    RegisterChartClasses();
    // The obsolete "Multiplier" speaks to the developer: answered at once.
    SetDialogAnswerer([](const TDialogRequest&, TDialogAnswer& A) {
        A.ModalResult = 1;
        return true;
    });
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool Ready = Setup();
    (void)Ready;
    return formfuzz::ReadWriteReadWrite(Data, Size);
}

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

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::unique_ptr<TComponent> ReadForm(TStream& S)
{
    S.SetPosition(0);
    return std::unique_ptr<TComponent>(S.ReadComponent(nullptr));
}

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

    TMemoryStream In;
    if (Size > 0)
        In.WriteBuffer(Data, static_cast<int64_t>(Size));
    std::unique_ptr<TComponent> Form;
    try {
        Form = ReadForm(In);
    } catch (const EReadError&) {
        return 0;
    }

    TMemoryStream First;
    First.WriteComponent(Form.get());
    std::unique_ptr<TComponent> Again = ReadForm(First);
    TMemoryStream Second;
    Second.WriteComponent(Again.get());
    if (First.Size() != Second.Size() ||
        std::memcmp(First.Memory(), Second.Memory(), static_cast<size_t>(First.Size())) != 0)
        std::abort();
    return 0;
}

// Fuzz target: arbitrary bytes read as a form of the test component classes
// (nested components, sub-objects, a collection, references, binary and list
// values). Built with clang and -fsanitize=fuzzer,address,undefined against
// the platform library. A damaged form may only raise EReadError and must
// leave nothing behind; a form that reads writes text that reads back into a
// form writing the same bytes.
#include "FormTestClasses.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool Registered = (RegisterTestClasses(), true);
    (void)Registered;

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

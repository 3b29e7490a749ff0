// Fuzz target: arbitrary bytes read as a form of the test component classes
// (nested components, sub-objects, a collection, references, binary and list
// values). Built with clang and -fsanitize=fuzzer,address,undefined against
// the platform library. A damaged form may only raise EReadError and must
// leave nothing behind; a form that reads writes text that reads back into a
// form writing the same bytes.
#include "FormTestClasses.h"

#include "platform/Filer.h"
#include "platform/Streams.h"
#include "tests/support/FormFuzz.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    static const bool Registered = (RegisterTestClasses(), true);
    (void)Registered;
    return formfuzz::ReadWriteReadWrite(Data, Size);
}

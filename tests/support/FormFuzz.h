// The check every form-reading fuzz target makes: arbitrary bytes read as a
// form may only raise EReadError; a form that reads writes text that reads
// back into a form writing the same bytes (anything else aborts).
#pragma once

#include "platform/Filer.h"
#include "platform/Streams.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace formfuzz {

inline std::unique_ptr<TComponent> ReadForm(TStream& S)
{
    S.SetPosition(0);
    return std::unique_ptr<TComponent>(S.ReadComponent(nullptr));
}

inline int ReadWriteReadWrite(const uint8_t* Data, size_t Size)
{
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

}  // namespace formfuzz

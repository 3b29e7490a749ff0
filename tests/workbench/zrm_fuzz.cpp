// Fuzz target: arbitrary text through the handheld file reader, and
// arbitrary images through the record parser and every sample. Built with
// clang and -fsanitize=fuzzer,address,undefined; any crash or sanitizer
// report is a fault.
//
// The text is read as a handheld file; whatever it gives (or, when it is
// refused, the input bytes themselves) is then parsed as an image.
#include "workbench/Zrmobilefilerecord.h"

#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    std::vector<uint8_t> Image;
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    const TZrmReadResult Result = ParseZrmText(Text, Image);
    if (Result != zrRead && !Image.empty())
        __builtin_trap();   // a refused file writes no image
    if (Result != zrRead)
        Image.assign(Data, Data + Size);

    static TZRMobSavedRecord Record;
    const bool Loaded = Record.LoadFromImage(Image.data(), Image.size());
    if (Loaded != (Image.size() >= ZrmImageSize))
        __builtin_trap();
    float Sum = 0;
    for (int k = -1; k <= ZrmSampleRoom; ++k) {
        const TWaveformSample S = Record.GetSample(k);
        Sum += S.Flow + S.Volume + S.AirwayPressure + S.LowPressure + S.HighPressure;
        if (k >= Record.SampleCount() && S.Flow != NoValue)
            __builtin_trap();
    }
    if (Record.SampleCount() > ZrmSampleRoom)
        __builtin_trap();
    for (int Id = 0; Id < ParameterCount; ++Id)
        Sum += Record.ParamStats(Id).MaxValue() + Record.Parameters().GetValue(Id);
    volatile float Keep = Sum;
    (void)Keep;
    return 0;
}

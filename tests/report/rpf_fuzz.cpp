// Fuzz target: arbitrary bytes read as a saved report file (header, record
// chain, every page through GetPage and GetPageEx) and as an outline stream.
// Built with clang and -fsanitize=fuzzer,address,undefined against the
// report library; a damaged file may only raise ERpError.
//
// The first input byte picks the road: even reads the rest as the file; odd
// takes a well-formed report (plain, with links, or coded) and patches it
// with the rest, three bytes per patch (offset low, offset high, value), so
// that the fuzzer reaches the pages behind a valid header at once.
#include "report/RpOutline.h"
#include "report/RpPageList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::unique_ptr<TMetafile> Page(int Number)
{
    auto M = std::make_unique<TMetafile>();
    M->SetWidth(400);
    M->SetHeight(600);
    TMetafileCanvas C(M.get(), nullptr);
    for (int I = 0; I < Number + 1; ++I) {
        C.Brush()->SetColor(RGB(I * 40, Number * 30, 90));
        C.Rectangle(10 + I, 20 + Number, 200 - I, 60 + I);
        C.MoveTo(I, Number);
        C.LineTo(300 - I, 500 - Number);
    }
    return M;
}

Bytes Report(int Kind)
{
    TRpPageList L;
    L.SetStream(std::make_unique<TRpStream>(RpDefaultMemoryLimit));
    L.SetCompression(Kind == 2);
    THyperlinkList Links;
    Links.push_back(std::make_unique<THyperlink>(Rect(1, 2, 3, 4), "ext:x"));
    Links.push_back(std::make_unique<THyperlink>(Rect(5, 6, 7, 8), "help:topic"));
    for (int N = 1; N <= 3; ++N) {
        if (Kind == 1)
            L.AddPageEx(Page(N).get(), &Links);
        else
            L.AddPage(Page(N).get());
    }
    L.Finish();
    TMemoryStream Out;
    L.Stream()->SaveToStream(&Out);
    return Bytes(Out.Memory(), Out.Memory() + Out.Size());
}

const Bytes& Base(int Kind)
{
    static const Bytes Files[3] = {Report(0), Report(1), Report(2)};
    return Files[Kind];
}

void ReadPages(TRpPageList& L)
{
    const int Count = std::min(L.PageCount(), 64);
    for (int Pass = 0; Pass < 2; ++Pass) {
        for (int I = 1; I <= Count; ++I) {
            const int N = Pass == 0 ? I : Count + 1 - I;
            try {
                if (Pass == 0) {
                    L.GetPage(N);
                } else {
                    std::unique_ptr<TMetafile> M;
                    std::unique_ptr<THyperlinkList> Links;
                    L.GetPageEx(N, M, Links);
                }
            } catch (const ERpError&) {
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    Bytes File;
    if (Data[0] % 2 == 0) {
        File.assign(Data + 1, Data + Size);
    } else {
        File = Base((Data[0] >> 1) % 3);
        for (size_t I = 1; I + 2 < Size; I += 3) {
            const size_t At = (Data[I] | static_cast<size_t>(Data[I + 1]) << 8) % File.size();
            File[At] = Data[I + 2];
        }
        if (Data[0] & 0x80)
            File.resize(File.size() - std::min<size_t>(File.size(), Data[Size - 1]));
    }

    TRpPageList L;
    auto S = std::make_unique<TRpStream>(INT32_MAX);
    S->WriteBuffer(File.data(), static_cast<int64_t>(File.size()));
    try {
        L.LoadFromStream(std::move(S), "fuzz.rpf");
        ReadPages(L);
    } catch (const ERpError&) {
    }

    TRpOutline Outline;
    TMemoryStream O;
    O.WriteBuffer(File.data(), static_cast<int64_t>(File.size()));
    O.SetPosition(0);
    try {
        Outline.LoadFromStream(&O);
    } catch (const ERpError&) {
    } catch (const EReadError&) {
    }
    return 0;
}

// Saved reports: coding and decoding page-sized buffers with the splay-tree
// code (10 MB/s or more each way), and opening a 500-page report and decoding
// its page 250 (under 50 ms together, whatever the size of its pages).
// zlib's deflate and inflate run on the same page in the same process; the
// counters give our speed as a share of theirs and the sizes of both codes.
#include "report/RpPageList.h"
#include "report/RpStream.h"

#include <benchmark/benchmark.h>

#ifdef OZ_HAVE_ZLIB
#include <zlib.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A report page as the printer records it: frames, ruled lines, bars and
// curves, Shapes figures in all.
std::unique_ptr<TMetafile> ReportPage(int Number, int Shapes)
{
    auto M = std::make_unique<TMetafile>();
    M->SetWidth(794);
    M->SetHeight(1123);
    TMetafileCanvas C(M.get(), nullptr);
    for (int I = 0; I < Shapes; ++I) {
        const int Y = 40 + (I * 7) % 1000;
        C.Pen()->SetColor(I % 3 ? clBlack : clNavy);
        C.Brush()->SetColor(I % 5 ? clWhite : RGB(200, 220, 255));
        switch (I % 4) {
        case 0: C.Rectangle(40, Y, 754, Y + 18); break;
        case 1:
            C.MoveTo(40, Y);
            C.LineTo(754, Y);
            break;
        case 2: C.Rectangle(60 + (I * 13 + Number) % 600, Y, 80 + (I * 13 + Number) % 600, Y + 40); break;
        default: {
            std::vector<TPoint> Curve;
            for (int K = 0; K < 24; ++K)
                Curve.push_back({40 + K * 30, Y + ((K * 37 + I + Number) % 50)});
            C.Polyline(Curve);
        }
        }
    }
    return M;
}

const Bytes& PageBuffer()
{
    static const Bytes B = ReportPage(1, 600)->SaveToBytes();
    return B;
}

Bytes Code(const Bytes& Data)
{
    TMemoryStream Out;
    TRpCompress Coder(&Out, true);
    Coder.CompressBuffer(Data.data(), Data.size());
    Coder.Flush();
    return Bytes(Out.Memory(), Out.Memory() + Out.Size());
}

#ifdef OZ_HAVE_ZLIB
struct TZlibFigures {
    double DeflateMBs = 0, InflateMBs = 0;
    size_t Size = 0;
};

// zlib at its default level on the same page, timed here once.
const TZlibFigures& Zlib()
{
    static const TZlibFigures F = [] {
        TZlibFigures R;
        const Bytes& Page = PageBuffer();
        Bytes Packed(compressBound(Page.size())), Back(Page.size());
        constexpr int Rounds = 200;
        using Clock = std::chrono::steady_clock;
        uLongf PackedSize = 0;
        auto T0 = Clock::now();
        for (int I = 0; I < Rounds; ++I) {
            PackedSize = Packed.size();
            compress2(Packed.data(), &PackedSize, Page.data(), Page.size(), Z_DEFAULT_COMPRESSION);
        }
        auto T1 = Clock::now();
        for (int I = 0; I < Rounds; ++I) {
            uLongf BackSize = Back.size();
            uncompress(Back.data(), &BackSize, Packed.data(), PackedSize);
        }
        auto T2 = Clock::now();
        const double MB = static_cast<double>(Page.size()) * Rounds / 1e6;
        R.DeflateMBs = MB / std::chrono::duration<double>(T1 - T0).count();
        R.InflateMBs = MB / std::chrono::duration<double>(T2 - T1).count();
        R.Size = PackedSize;
        return R;
    }();
    return F;
}
#endif

void Figures(benchmark::State& State, double OurSeconds, bool Coding)
{
    const double MBs = static_cast<double>(PageBuffer().size()) * static_cast<double>(State.iterations()) / 1e6 / OurSeconds;
    State.counters["MB/s"] = MBs;
    if (MBs < 10)
        State.SkipWithError("slower than 10 MB/s");
    State.counters["page_bytes"] = static_cast<double>(PageBuffer().size());
    State.counters["code_bytes"] = static_cast<double>(Code(PageBuffer()).size());
#ifdef OZ_HAVE_ZLIB
    const TZlibFigures& Z = Zlib();
    State.counters["zlib_MB/s"] = Coding ? Z.DeflateMBs : Z.InflateMBs;
    State.counters["speed_vs_zlib"] = MBs / (Coding ? Z.DeflateMBs : Z.InflateMBs);
    State.counters["zlib_bytes"] = static_cast<double>(Z.Size);
#endif
}

void BM_CodePage(benchmark::State& State)
{
    const Bytes& Page = PageBuffer();
    TMemoryStream Out;
    double Seconds = 0;
    for (auto _ : State) {
        const auto T0 = std::chrono::steady_clock::now();
        Out.SetSize(0);
        TRpCompress Coder(&Out, true);
        Coder.CompressBuffer(Page.data(), Page.size());
        Coder.Flush();
        benchmark::DoNotOptimize(Out.Memory());
        Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Page.size()));
    Figures(State, Seconds, true);
}
BENCHMARK(BM_CodePage)->Unit(benchmark::kMicrosecond);

void BM_DecodePage(benchmark::State& State)
{
    const Bytes& Page = PageBuffer();
    const Bytes Coded = Code(Page);
    TMemoryStream In;
    In.WriteBuffer(Coded.data(), static_cast<int64_t>(Coded.size()));
    Bytes Back(Page.size());
    double Seconds = 0;
    for (auto _ : State) {
        const auto T0 = std::chrono::steady_clock::now();
        In.SetPosition(0);
        TRpCompress Decoder(&In, false, static_cast<int64_t>(Coded.size()));
        Decoder.ExpandBuffer(Back.data(), Back.size());
        benchmark::DoNotOptimize(Back.data());
        Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
    }
    if (Back != Page)
        State.SkipWithError("decoded page differs");
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Page.size()));
    Figures(State, Seconds, false);
}
BENCHMARK(BM_DecodePage)->Unit(benchmark::kMicrosecond);

std::string ReportFileName(int Shapes, bool Coded)
{
    return (std::filesystem::temp_directory_path() / ("rpf_bench_" + std::to_string(::getpid()) + "_" +
                                                      std::to_string(Shapes) + (Coded ? "c" : "p") + ".rpf"))
        .string();
}

// A 500-page report file, pages of Shapes figures, plain or coded; made once.
std::string ReportFile(int Shapes, bool Coded)
{
    const std::string Name = ReportFileName(Shapes, Coded);
    if (std::filesystem::exists(Name))
        return Name;
    TRpPageList L;
    L.SetStream(std::make_unique<TRpStream>(RpDefaultMemoryLimit));
    L.SetCompression(Coded);
    for (int N = 1; N <= 500; ++N)
        L.AddPage(ReportPage(N, Shapes).get());
    L.Finish();
    L.SaveToFile(Name);
    return Name;
}

// Args: figures per page, coded (1) or plain (0).
void BM_Open500PagesAndShowPage250(benchmark::State& State)
{
    const std::string Name = ReportFile(static_cast<int>(State.range(0)), State.range(1) != 0);
    double Worst = 0;
    for (auto _ : State) {
        const auto T0 = std::chrono::steady_clock::now();
        TRpPageList L;
        L.LoadFromFile(Name);
        std::unique_ptr<TMetafile> Page = L.GetPage(250);
        benchmark::DoNotOptimize(Page.get());
        Worst = std::max(Worst, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T0).count());
        if (!Page || L.PageCount() != 500)
            State.SkipWithError("page 250 missing");
    }
    State.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(Name)) / 1e6;
    State.counters["worst_ms"] = Worst;
    if (Worst >= 50)
        State.SkipWithError("50 ms exceeded");
}
BENCHMARK(BM_Open500PagesAndShowPage250)
    ->Args({40, 0})
    ->Args({40, 1})
    ->Args({2000, 0})
    ->Args({2000, 1})
    ->Unit(benchmark::kMillisecond);

// Removes the report files when the program ends.
struct TCleanup {
    ~TCleanup()
    {
        for (int Shapes : {40, 2000})
            for (bool Coded : {false, true}) {
                std::error_code Ignored;
                std::filesystem::remove(ReportFileName(Shapes, Coded), Ignored);
            }
    }
} Cleanup;

}  // namespace

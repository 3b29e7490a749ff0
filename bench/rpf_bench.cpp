// Saved reports: coding and decoding page-sized buffers with the splay-tree
// code (10 MB/s or more each way), and opening a 500-page report and decoding
// its page 250 (under 50 ms together, whatever the size of its pages).
// zlib at level 1 deflates and inflates the same page in the same process,
// alternating with ours round by round; "ratio" is our time over zlib's
// (the median of the rounds), beside the sizes of both codes.
#include "SideBySide.h"
#include "report/RpPageList.h"
#include "report/RpStream.h"

#include <benchmark/benchmark.h>

#ifdef OZ_HAVE_ZLIB
#include <zlib.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <tuple>
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


// Our time and, where zlib is there, its time on the same page in the same
// round; rounds alternate which of the two goes first.
struct TRounds {
    double Ours = 0, Theirs = 0;
    std::vector<double> Ratios;
    void Add(double A, double B)
    {
        Ours += A;
        Theirs += B;
        if (B > 0)
            Ratios.push_back(A / B);
    }
};

void Figures(benchmark::State& State, const TRounds& R, size_t TheirBytes)
{
    const double N = static_cast<double>(State.iterations());
    const double MBs = static_cast<double>(PageBuffer().size()) * N / 1e6 / R.Ours;
    State.counters["MB/s"] = MBs;
    if (MBs < 10)
        State.SkipWithError("slower than 10 MB/s");
    State.counters["page_bytes"] = static_cast<double>(PageBuffer().size());
    State.counters["code_bytes"] = static_cast<double>(Code(PageBuffer()).size());
    if (R.Theirs > 0) {
        State.counters["zlib_MB/s"] = static_cast<double>(PageBuffer().size()) * N / 1e6 / R.Theirs;
        State.counters["zlib_bytes"] = static_cast<double>(TheirBytes);
        // Ours / zlib's time: the median of the rounds' ratios, which a busy
        // machine moves least; the ratio of the sums beside it.
        State.counters["ratio"] = Median(R.Ratios);
        State.counters["ratio_of_sums"] = R.Ours / R.Theirs;
    }
}

#ifdef OZ_HAVE_ZLIB
// zlib at its fastest level, the one a program that codes every page as it
// is printed would pick.
constexpr int ZlibLevel = 1;

Bytes Deflate(const Bytes& Data, Bytes& Packed)
{
    uLongf Size = static_cast<uLongf>(Packed.size());
    if (compress2(Packed.data(), &Size, Data.data(), Data.size(), ZlibLevel) != Z_OK)
        return {};
    return Bytes(Packed.begin(), Packed.begin() + static_cast<long>(Size));
}
#endif

// Coding a page, zlib's deflate of the same page alternating with it.
void BM_CodePage(benchmark::State& State)
{
    const Bytes& Page = PageBuffer();
    TMemoryStream Out;
    TRounds R;
    size_t TheirBytes = 0;
#ifdef OZ_HAVE_ZLIB
    Bytes Packed(compressBound(Page.size()));
#endif
    TAlternation Alternation;
    for (auto _ : State) {
        auto Ours = [&] {
            return Seconds([&] {
                Out.SetSize(0);
                TRpCompress Coder(&Out, true);
                Coder.CompressBuffer(Page.data(), Page.size());
                Coder.Flush();
                benchmark::DoNotOptimize(Out.Memory());
            });
        };
        double A = 0, B = 0;
#ifdef OZ_HAVE_ZLIB
        auto Theirs = [&] {
            return Seconds([&] {
                uLongf Size = static_cast<uLongf>(Packed.size());
                compress2(Packed.data(), &Size, Page.data(), Page.size(), ZlibLevel);
                TheirBytes = Size;
                benchmark::DoNotOptimize(Packed.data());
            });
        };
        std::tie(A, B) = Alternation.Round(Ours, Theirs);
#else
        A = Ours();
#endif
        R.Add(A, B);
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Page.size()));
    Figures(State, R, TheirBytes);
}
BENCHMARK(BM_CodePage)->Unit(benchmark::kMicrosecond);

// Decoding a page, zlib's inflate of the same page alternating with it.
void BM_DecodePage(benchmark::State& State)
{
    const Bytes& Page = PageBuffer();
    const Bytes Coded = Code(Page);
    TMemoryStream In;
    In.WriteBuffer(Coded.data(), static_cast<int64_t>(Coded.size()));
    Bytes Back(Page.size());
    TRounds R;
    size_t TheirBytes = 0;
#ifdef OZ_HAVE_ZLIB
    Bytes Scratch(compressBound(Page.size()));
    const Bytes Packed = Deflate(Page, Scratch);
    TheirBytes = Packed.size();
    Bytes TheirBack(Page.size());
#endif
    TAlternation Alternation;
    for (auto _ : State) {
        auto Ours = [&] {
            return Seconds([&] {
                In.SetPosition(0);
                TRpCompress Decoder(&In, false, static_cast<int64_t>(Coded.size()));
                Decoder.ExpandBuffer(Back.data(), Back.size());
                benchmark::DoNotOptimize(Back.data());
            });
        };
        double A = 0, B = 0;
#ifdef OZ_HAVE_ZLIB
        auto Theirs = [&] {
            return Seconds([&] {
                uLongf Size = static_cast<uLongf>(TheirBack.size());
                uncompress(TheirBack.data(), &Size, Packed.data(), Packed.size());
                benchmark::DoNotOptimize(TheirBack.data());
            });
        };
        std::tie(A, B) = Alternation.Round(Ours, Theirs);
#else
        A = Ours();
#endif
        R.Add(A, B);
    }
    if (Back != Page)
        State.SkipWithError("decoded page differs");
#ifdef OZ_HAVE_ZLIB
    if (TheirBack != Page)
        State.SkipWithError("zlib's page differs");
#endif
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Page.size()));
    Figures(State, R, TheirBytes);
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

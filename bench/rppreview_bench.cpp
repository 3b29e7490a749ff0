// The preview's page work on a trend-report-sized run of 230 pages: taking
// one page from the page list and painting it at 100 % (under 30 ms), and
// searching every page for a text (under 1 s for the run). Each page change
// and each thumbnail does the first afresh; the find does the second.
#include "bench/BenchMain.h"
#include "platform/Application.h"
#include "platform/Graphics.h"
#include "report/RpExtra.h"
#include "report/dialogs/RpPreview.h"
#include "report/RpPrntr.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Pages = 230;

// A run like the trend report's: a heading, a table of readings and a trend
// curve on every page, recorded at the screen's resolution on A4.
TRpPrinter& TrendRun()
{
    static TRpPrinter* const P = [] {
        EnsureApplication();
        auto* R = new TRpPrinter(nullptr);
        R->SetPaperSize(TRpPaperSize::A4);
        R->SetDestination(rpdMetafile);
        R->BeginDoc();
        for (int N = 1; N <= Pages; ++N) {
            R->NewPage();
            TCanvas* C = R->GetCanvas();
            C->Font()->SetName("Arial");
            C->Font()->SetSize(14);
            C->TextOut(R->XPos(200), R->YPos(150), "Trend test - page " + std::to_string(N));
            C->Font()->SetSize(9);
            for (int Row = 0; Row < 40; ++Row) {
                const int Y = R->YPos(300 + Row * 45);
                C->TextOut(R->XPos(200), Y, "2026-12-" + std::to_string(1 + Row % 28) + " 10:" + std::to_string(Row));
                C->TextOut(R->XPos(800), Y, std::to_string(20.5 + (N * Row % 17) * 0.25) + " ppm");
                C->TextOut(R->XPos(1300), Y, std::to_string(1013 + (N + Row) % 9) + " hPa");
                C->MoveTo(R->XPos(200), Y + 14);
                C->LineTo(R->XPos(1900), Y + 14);
            }
            std::vector<TPoint> Curve;
            for (int K = 0; K < 200; ++K)
                Curve.push_back({R->XPos(200 + K * 8), R->YPos(2300 + ((K * 37 + N) % 300))});
            C->Polyline(Curve);
        }
        R->EndDoc();
        // The run's page list lives in a temporary file while the run does.
        AtBenchEnd([R] { delete R; });
        return R;
    }();
    return *P;
}

void BM_DecodeAndPaintPage(benchmark::State& State)
{
    TRpPrinter& P = TrendRun();
    const int W = P.XSize(P.PaperWidthValue()) + 4;
    const int H = P.YSize(P.PaperLengthValue()) + 4;
    TBitmap Image(W, H);
    int N = 1;
    for (auto _ : State) {
        const std::unique_ptr<TMetafile> Page = P.Page(N);
        PaintPageToCanvas(Page.get(), Image.Canvas(), Rect(0, 0, W, H), false);
        N = N % Pages + 1;
    }
}
BENCHMARK(BM_DecodeAndPaintPage)->Unit(benchmark::kMillisecond);

void BM_SearchAllPages(benchmark::State& State)
{
    TRpPrinter& P = TrendRun();
    int Found = 0;
    for (auto _ : State) {
        Found = 0;
        for (int N = 1; N <= Pages; ++N)
            if (const std::unique_ptr<TMetafile> Page = P.Page(N); StrInMetafile("page 17", Page.get(), false))
                ++Found;
        benchmark::DoNotOptimize(Found);
    }
    State.counters["pages_found"] = Found;
}
BENCHMARK(BM_SearchAllPages)->Unit(benchmark::kMillisecond);

}  // namespace

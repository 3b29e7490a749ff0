// Copying one bitmap onto another at its own size, as the instrument widgets
// do at 60 Hz: CopyRect from the source's canvas and StretchDraw of the
// bitmap, square sizes from small to a full screen.
#include "AllocationCount.h"
#include "platform/Application.h"
#include "platform/Graphics.h"

#include <benchmark/benchmark.h>

namespace {

struct TPair {
    explicit TPair(int W, int H) : Source(W, H), Dest(W, H)
    {
        EnsureApplication();
        // Something drawn on both, so that both carry open painters as in use.
        Source.Canvas()->Brush()->SetColor(clYellow);
        Source.Canvas()->Ellipse(0, 0, W, H);
        Dest.Canvas()->Pen()->SetColor(clRed);
        Dest.Canvas()->MoveTo(0, 0);
        Dest.Canvas()->LineTo(W, H);
    }
    TBitmap Source;
    TBitmap Dest;
};

void Sizes(benchmark::internal::Benchmark* B)
{
    for (int S : {100, 180, 200, 256, 400, 600})
        B->Args({S, S});
    B->Args({1920, 1080});
}

void BM_CopyRect(benchmark::State& State)
{
    const int W = static_cast<int>(State.range(0)), H = static_cast<int>(State.range(1));
    TPair P(W, H);
    const TRect R{0, 0, W, H};
    long Allocations = 0;
    for (auto _ : State) {
        const long Before = AllocationCount();
        P.Dest.Canvas()->CopyRect(R, P.Source.Canvas(), R);
        Allocations += AllocationCount() - Before;
    }
    State.counters["allocs"] = benchmark::Counter(static_cast<double>(Allocations) / State.iterations());
}
BENCHMARK(BM_CopyRect)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

void BM_StretchDraw(benchmark::State& State)
{
    const int W = static_cast<int>(State.range(0)), H = static_cast<int>(State.range(1));
    TPair P(W, H);
    const TRect R{0, 0, W, H};
    for (auto _ : State)
        P.Dest.Canvas()->StretchDraw(R, &P.Source);
}
BENCHMARK(BM_StretchDraw)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

// A bitmap with a transparent colour (glyphs, needles) at its own size.
void BM_StretchDrawTransparent(benchmark::State& State)
{
    const int W = static_cast<int>(State.range(0)), H = static_cast<int>(State.range(1));
    TPair P(W, H);
    P.Source.SetTransparent(true);
    P.Source.SetTransparentColor(clWhite);
    const TRect R{0, 0, W, H};
    for (auto _ : State)
        P.Dest.Canvas()->StretchDraw(R, &P.Source);
}
BENCHMARK(BM_StretchDrawTransparent)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

// As an instrument draws a frame: a line on the source, then the copy.
void BM_DrawThenStretchDraw(benchmark::State& State)
{
    const int W = static_cast<int>(State.range(0)), H = static_cast<int>(State.range(1));
    TPair P(W, H);
    const TRect R{0, 0, W, H};
    int i = 0;
    for (auto _ : State) {
        P.Source.Canvas()->MoveTo(0, i % H);
        P.Source.Canvas()->LineTo(W, (i * 7) % H);
        P.Dest.Canvas()->StretchDraw(R, &P.Source);
        ++i;
    }
}
BENCHMARK(BM_DrawThenStretchDraw)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

void BM_DrawThenCopyRect(benchmark::State& State)
{
    const int W = static_cast<int>(State.range(0)), H = static_cast<int>(State.range(1));
    TPair P(W, H);
    const TRect R{0, 0, W, H};
    int i = 0;
    for (auto _ : State) {
        P.Source.Canvas()->MoveTo(0, i % H);
        P.Source.Canvas()->LineTo(W, (i * 7) % H);
        P.Dest.Canvas()->CopyRect(R, P.Source.Canvas(), R);
        ++i;
    }
}
BENCHMARK(BM_DrawThenCopyRect)->Apply(Sizes)->Unit(benchmark::kMicrosecond);

// Drawing a bitmap scaled to twice its size (not the 60 Hz path; shown so
// that a change of the copy path does not hide a cost of scaling).
void BM_StretchDrawScaled(benchmark::State& State)
{
    const int W = static_cast<int>(State.range(0)), H = static_cast<int>(State.range(1));
    TPair P(W, H);
    TBitmap Big(2 * W, 2 * H);
    for (auto _ : State)
        Big.Canvas()->StretchDraw({0, 0, 2 * W, 2 * H}, &P.Source);
}
BENCHMARK(BM_StretchDrawScaled)->Args({200, 200})->Unit(benchmark::kMicrosecond);

} // namespace

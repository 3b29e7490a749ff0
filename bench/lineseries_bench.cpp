// Repaint of an 800 x 400 2-D chart holding one series of 100,000 points:
// as a line, as an area and as a point series.
#include "AllocationCount.h"
#include "chart/Chart.h"
#include "chart/SeriesArea.h"
#include "chart/SeriesLine.h"
#include "platform/Application.h"
#include "platform/Forms.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int PointCount = 100000;

template <class TKind>
struct TBigChart {
    TBigChart()
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 820, 420);
        Chart = new TChart(Form.get());
        Chart->SetParent(Form.get());
        Chart->SetBounds(0, 0, 800, 400);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
        Series = new TKind(Form.get());
        Series->SetSeriesColor(clRed);
        for (int i = 0; i < PointCount; ++i) {
            const double T = i * 0.001;
            Series->AddXY(T, 100 * std::sin(T * 3) + 20 * std::sin(T * 47));
        }
        Chart->AddSeries(Series);
        Chart->Draw();
    }
    std::unique_ptr<TForm> Form;
    TChart* Chart = nullptr;
    TKind* Series = nullptr;
};

template <class TKind>
void Repaint(benchmark::State& State)
{
    TBigChart<TKind> C;
    long Allocations = 0;
    for (auto _ : State) {
        const long Before = AllocationCount();
        C.Chart->Invalidate();
        C.Chart->Draw();
        Allocations += AllocationCount() - Before;
    }
    State.counters["allocs/repaint"] = benchmark::Counter(static_cast<double>(Allocations) / State.iterations());
}

void BM_RepaintLine100k(benchmark::State& State) { Repaint<TLineSeries>(State); }
void BM_RepaintArea100k(benchmark::State& State) { Repaint<TAreaSeries>(State); }
void BM_RepaintPoint100k(benchmark::State& State) { Repaint<TPointSeries>(State); }
BENCHMARK(BM_RepaintLine100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintArea100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPoint100k)->Unit(benchmark::kMillisecond);

} // namespace

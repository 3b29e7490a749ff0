// Live plotting: one point added to a fast line series with repainting off
// (its segment drawn onto the window), the full repaint of a monitor chart,
// and the memory a stored point takes.
#include "AllocationCount.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "platform/Forms.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

// A monitor chart as the main window sets it up: 800 x 250, 2-D, labelled
// axes, no legend, two series over a 15 s sweep.
struct TMonitor {
    TMonitor()
    {
        EnsureApplication();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 820, 270);
        Chart = new TChart(Form.get());
        Chart->SetParent(Form.get());
        Chart->SetBounds(0, 0, 800, 250);
        Chart->SetView3D(false);
        Chart->Legend()->SetVisible(false);
        Chart->Title()->SetVisible(false);
        Chart->BottomAxis()->SetMinMax(0, 15);
        Chart->LeftAxis()->SetMinMax(-120, 120);
        for (int s = 0; s < 2; ++s) {
            auto* S = new TFastLineSeries(Form.get());
            S->SetSeriesColor(s == 0 ? clRed : clBlue);
            S->SetFastPen(true);
            Chart->AddSeries(S);
            Series[s] = S;
        }
        Chart->Draw();
    }
    void Fill(int Points)
    {
        for (int i = 0; i < Points; ++i) {
            const double T = i * 0.01;
            Series[0]->AddXY(T, 100 * std::sin(T * 3));
            Series[1]->AddXY(T, 60 * std::cos(T * 2));
        }
    }
    std::unique_ptr<TForm> Form;
    TChart* Chart = nullptr;
    TFastLineSeries* Series[2] = {nullptr, nullptr};
};

void BM_AddXYIncremental(benchmark::State& State)
{
    TMonitor M;
    TFastLineSeries* S = M.Series[0];
    S->SetAutoRepaint(false);
    int i = 0;
    long Allocations = 0;
    for (auto _ : State) {
        // A sweep of 1,500 points, then a new sweep as the monitor does.
        if (i == 1500) {
            State.PauseTiming();
            S->Clear();
            M.Chart->Draw();
            S->SetAutoRepaint(false);
            i = 0;
            State.ResumeTiming();
        }
        const double T = i * 0.01;
        const long Before = AllocationCount();
        S->AddXY(T, 100 * std::sin(T * 3));
        Allocations += AllocationCount() - Before;
        ++i;
    }
    State.counters["allocs/point"] = benchmark::Counter(static_cast<double>(Allocations) / State.iterations());
}
BENCHMARK(BM_AddXYIncremental);

void BM_FullRepaintMonitor(benchmark::State& State)
{
    TMonitor M;
    M.Fill(1500);
    for (auto _ : State) {
        M.Chart->Invalidate();
        M.Chart->Draw();
    }
}
BENCHMARK(BM_FullRepaintMonitor)->Unit(benchmark::kMicrosecond);

void BM_MemoryPerPoint(benchmark::State& State)
{
    EnsureApplication();
    double Bytes = 0;
    for (auto _ : State) {
        State.PauseTiming();
        TFastLineSeries S(nullptr);
        S.SetAutoRepaint(false);
        S.AddXY(0, 0);
        const long Before = AllocationCount();
        State.ResumeTiming();
        for (int i = 1; i <= 100000; ++i)
            S.AddXY(i, i);
        State.PauseTiming();
        // Value lists grow by doubling: capacity over count is the real cost.
        const double Capacity = static_cast<double>(S.XValues()->Capacity());
        Bytes = 2 * sizeof(double) * Capacity / 100000.0;
        benchmark::DoNotOptimize(Before);
        State.ResumeTiming();
    }
    State.counters["bytes/point"] = Bytes;
}
BENCHMARK(BM_MemoryPerPoint)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

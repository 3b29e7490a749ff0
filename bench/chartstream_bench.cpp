// Stored chart forms: a chart whose series holds 100,000 points ("Data",
// with own positions) written to a form and read back into a new chart.
// Targets: written under 50 ms, read under 100 ms. The form format is the
// program's own, so there is no other library doing the same work to set it
// against; the times are reported as they are.
#include "AllocationCount.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "platform/Application.h"
#include "platform/Streams.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int NumPoints = 100000;

std::unique_ptr<TChart> SavedChart()
{
    EnsureApplication();
    RegisterChartClasses();
    auto C = std::make_unique<TChart>(nullptr);
    C->SetName("Chart1");
    C->SetBounds(0, 0, 800, 250);
    C->SetView3D(false);
    C->Title()->Text()->Add("Flow");
    auto* S = new TFastLineSeries(C.get());
    S->SetName("Series1");
    C->AddSeries(S);
    S->ManualData = true;
    S->BeginUpdate();
    for (int i = 0; i < NumPoints; ++i)
        S->AddXY(i * 0.004, 100 * std::sin(i * 0.01));
    S->EndUpdate();
    return C;
}

void BM_WriteChartForm(benchmark::State& State)
{
    auto C = SavedChart();
    int64_t Bytes = 0;
    for (auto _ : State) {
        TMemoryStream M;
        M.WriteComponent(C.get());
        Bytes = M.Size();
        benchmark::DoNotOptimize(M.Memory());
    }
    State.counters["form_bytes"] = static_cast<double>(Bytes);
    State.SetItemsProcessed(State.iterations() * NumPoints);
}
BENCHMARK(BM_WriteChartForm)->Unit(benchmark::kMillisecond);

void BM_ReadChartForm(benchmark::State& State)
{
    auto C = SavedChart();
    TMemoryStream M;
    M.WriteComponent(C.get());
    for (auto _ : State) {
        M.SetPosition(0);
        std::unique_ptr<TComponent> Back(M.ReadComponent(nullptr));
        benchmark::DoNotOptimize(Back.get());
    }
    State.SetItemsProcessed(State.iterations() * NumPoints);
}
BENCHMARK(BM_ReadChartForm)->Unit(benchmark::kMillisecond);

}  // namespace

// Stored chart forms: a chart whose series holds 100,000 points ("Data",
// with own positions) written to a form and read back into a new chart.
// Targets: written under 50 ms, read under 100 ms. Points that arrive in
// the reverse of their series' X order: a million of them read from a form
// (target under 2 s) and added one by one with AddXY. The form format is
// the program's own, so there is no other library doing the same work to
// set it against; the times are reported as they are.
#include "AllocationCount.h"
#include "chart/Chart.h"
#include "chart/Series.h"
#include "chart/SeriesLine.h"
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

constexpr int ManyPoints = 1000000;

// A form whose series keeps its X values ascending but stores them
// descending (its points were added unsorted before the order was set).
TMemoryStream* DescendingForm()
{
    EnsureApplication();
    RegisterChartClasses();
    static const std::unique_ptr<TMemoryStream> Form = [] {
        auto C = std::make_unique<TChart>(nullptr);
        C->SetName("Chart1");
        auto* S = new TLineSeries(C.get());
        S->SetName("Series1");
        C->AddSeries(S);
        S->ManualData = true;
        S->XValues()->SetOrder(loNone);
        S->BeginUpdate();
        for (int i = 0; i < ManyPoints; ++i)
            S->AddXY(ManyPoints - i, std::sin(i * 0.01));
        S->EndUpdate();
        S->XValues()->SetOrder(loAscending);
        auto M = std::make_unique<TMemoryStream>();
        M->WriteComponent(C.get());
        return M;
    }();
    return Form.get();
}

void BM_ReadDescendingForm(benchmark::State& State)
{
    TMemoryStream* M = DescendingForm();
    for (auto _ : State) {
        M->SetPosition(0);
        std::unique_ptr<TComponent> Back(M->ReadComponent(nullptr));
        benchmark::DoNotOptimize(Back.get());
    }
    State.SetItemsProcessed(State.iterations() * ManyPoints);
}
BENCHMARK(BM_ReadDescendingForm)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AddXYDescending(benchmark::State& State)
{
    for (auto _ : State) {
        TLineSeries S(nullptr);
        for (int i = 0; i < ManyPoints; ++i)
            S.AddXY(ManyPoints - i, i);
        benchmark::DoNotOptimize(S.XValues()->First());
    }
    State.SetItemsProcessed(State.iterations() * ManyPoints);
}
BENCHMARK(BM_AddXYDescending)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
